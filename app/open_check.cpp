#include "app/open_check.h"

#include "imaging/gdip_picture.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>

namespace
{
// Decodes the candidate once; the decoding is kept with its bytes, so the
// window's picture takes both over without decoding again.
TCheckedPicture Checked(std::unique_ptr<TGDIPPicture> Candidate, const QString& Unreadable)
{
    if (Candidate->IsEmpty())
        return {nullptr, Candidate->LastError().isEmpty() ? Unreadable : Candidate->LastError()};
    if (Candidate->EncodedData().isEmpty())
        return {nullptr, QStringLiteral("the file is empty (0 bytes)")};
    if (Candidate->DecodedImage().isNull()) {
        const QString reason = Candidate->LastError();
        return {nullptr,
                reason.isEmpty() ? QStringLiteral("it is not a picture that can be decoded") : reason};
    }
    // Damage that still decodes in part is kept as the reason beside the picture.
    const QString damage = Candidate->LastError();
    return {std::move(Candidate), damage};
}
} // namespace

TCheckedPicture CheckedPictureFromFile(const QString& FileName)
{
    if (QFileInfo(FileName).isDir())
        return {nullptr, QStringLiteral("it is a folder, not a file")};
    auto candidate = std::make_unique<TGDIPPicture>();
    candidate->LoadFile(FileName);
    return Checked(std::move(candidate), QStringLiteral("the file cannot be read"));
}

TCheckedPicture CheckedPictureFromImage(const QImage& Image)
{
    if (Image.isNull())
        return {nullptr, QStringLiteral("there is no picture to take")};
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    // Level 1: pasted screenshots should arrive at once, not compress well.
    writer.setCompression(1);
    if (!writer.write(Image))
        return {nullptr,
                QStringLiteral("the pasted picture could not be kept: %1").arg(writer.errorString())};
    buffer.close();
    buffer.open(QIODevice::ReadOnly);
    auto candidate = std::make_unique<TGDIPPicture>();
    candidate->LoadStream(&buffer);
    return Checked(std::move(candidate), QStringLiteral("the pasted picture could not be kept"));
}
