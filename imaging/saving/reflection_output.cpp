#include "imaging/saving/reflection_output.h"

#include "imaging/png/png_encoder.h"
#include "imaging/reflection/composed_rows.h"
#include "imaging/reflection/reflection_builder.h"
#include "imaging/reflection/reflection_composer.h"
#include "imaging/saving/image_encoders.h"
#include "imaging/saving/image_saving.h"
#include "imaging/saving/output_target.h"
#include "imaging/saving/save_progress.h"

#include <QUuid>

#include <algorithm>
#include <limits>

namespace
{
std::optional<QUuid> EncoderFor(ImageSaveFormat Format, QString* Reason)
{
    const std::optional<QUuid> encoder = FindImageEncoder(Format);
    if (!encoder && Reason)
        *Reason =
            QStringLiteral("no encoder for %1")
                .arg(MimeTypeOfSaveFormat(Format).isEmpty() ? QStringLiteral("format %1").arg(int(Format))
                                                            : MimeTypeOfSaveFormat(Format));
    return encoder;
}

TGpStatus Fail(QString* Reason, TGpStatus Status, const QString& Text)
{
    if (Reason)
        *Reason = Text;
    return Status;
}

// The picture's rows where they lie; anything but ARGB32 is converted once.
struct TPictureInMemory {
    QImage Image;
    TPictureRows Rows;

    explicit TPictureInMemory(const QImage& Picture)
        : Image(Picture.format() == QImage::Format_ARGB32 ? Picture
                                                          : Picture.convertToFormat(QImage::Format_ARGB32))
    {
        Rows.Width = Image.width();
        Rows.Height = Image.height();
        Rows.Row = [this](int Y) { return reinterpret_cast<const std::uint32_t*>(Image.constScanLine(Y)); };
    }
};

// Streams the composition of a picture in memory to Sink as PNG. Only a
// composition whose alpha cannot be told from the values alone (no fade, no
// gap) is made whole, so that the encoder may look at every pixel first.
TGpStatus WriteReflectionPng(const QImage& Picture, const TReflectionParameters& Parameters,
                             const std::function<bool(const char*, qint64)>& Sink, QString* Reason,
                             const TPngEncodeOptions& Options = {})
{
    if (Picture.isNull())
        return Fail(Reason, TGpStatus::InvalidParameter, QStringLiteral("no image to save"));
    if (!TComposedRows::AlwaysTranslucent(Picture.height(), Parameters)) {
        const QImage composed = RenderReflection(Picture, Parameters);
        if (composed.isNull())
            return Fail(Reason, TGpStatus::OutOfMemory,
                        QStringLiteral("out of memory composing the reflection"));
        QString error;
        // The encoder looks at the whole image: the bytes EncodeImage writes.
        const QByteArray file = EncodePng(composed, Options, &error);
        if (file.isEmpty() || !Sink(file.constData(), file.size()))
            return Fail(Reason, TGpStatus::GenericError,
                        QStringLiteral("could not write the PNG image%1")
                            .arg(error.isEmpty() ? QString() : QStringLiteral(": ") + error));
        return TGpStatus::Ok;
    }
    const TPictureInMemory picture(Picture);
    if (picture.Image.isNull())
        return Fail(Reason, TGpStatus::OutOfMemory, QStringLiteral("out of memory converting the image"));
    TComposedRows rows(picture.Rows, Parameters);
    return WriteComposedPng(rows, true, Sink, Reason, Options) ? TGpStatus::Ok : TGpStatus::GenericError;
}
} // namespace

QImage RenderReflection(const QImage& Picture, const TReflectionParameters& Parameters)
{
    return ComposeReflection(Picture, BuildReflectionImage(Picture, Parameters), Parameters);
}

TGpStatus EncodeReflection(const QImage& Composed, ImageSaveFormat Format, QIODevice* Device, QString* Reason,
                           int Quality)
{
    const TEncoderParameters parameters = BuildQualityParameters(Quality);
    const std::optional<QUuid> encoder = EncoderFor(Format, Reason);
    if (!encoder)
        return TGpStatus::InvalidParameter;
    return EncodeImage(Composed, *encoder, &parameters, Device, Reason);
}

TGpStatus SaveReflectionFile(const QImage& Composed, ImageSaveFormat Format, const QString& FileName,
                             QString* Reason, int Quality)
{
    const TEncoderParameters parameters = BuildQualityParameters(Quality);
    const std::optional<QUuid> encoder = EncoderFor(Format, Reason);
    if (!encoder)
        return TGpStatus::InvalidParameter;
    return SaveImageFile(Composed, FileName, *encoder, &parameters, Reason);
}

bool WriteComposedPng(TComposedRows& Rows, bool Alpha, const std::function<bool(const char*, qint64)>& Sink,
                      QString* Reason, const TPngEncodeOptions& Options)
{
    TPngRowPicture picture;
    picture.Width = Rows.Width();
    picture.Height = Rows.Height();
    picture.Alpha = Alpha;
    // Bands are fed on the compressing threads: they report to the progress
    // of the thread that started the save, and stop the encoding once the
    // save is cancelled.
    TSaveProgress* progress = CurrentSaveProgress();
    picture.Feed = [&Rows, progress](int First, int Count, std::uint32_t* Out, std::size_t Stride) {
        if (progress && progress->Cancelled())
            return false;
        const bool fed = Rows.Read(First, Count, Out, Stride);
        if (progress && Rows.Height() > 0)
            progress->Report(double(First + Count) / Rows.Height());
        return fed;
    };
    QString error;
    const TPngByteSink bytes = [&](const std::uint8_t* Data, std::size_t Size) {
        return Sink(reinterpret_cast<const char*>(Data), qint64(Size));
    };
    if (WritePngRows(picture, bytes, Options, &error))
        return true;
    if (Reason)
        *Reason = progress && progress->Cancelled() ? QStringLiteral("cancelled")
                  : Rows.OutOfMemory()              ? QStringLiteral("out of memory composing the reflection")
                                       : QStringLiteral("could not write the PNG image: %1").arg(error);
    return false;
}

TGpStatus SaveReflectionFile(const QImage& Picture, const TReflectionParameters& Parameters,
                             ImageSaveFormat Format, const QString& FileName, QString* Reason, int Quality)
{
    if (Format != ImageSaveFormat::Png) {
        const QImage composed = RenderReflection(Picture, Parameters);
        if (composed.isNull())
            return Fail(Reason, TGpStatus::OutOfMemory,
                        QStringLiteral("not enough memory for a %1 × %2 image")
                            .arg(Picture.width())
                            .arg(ComposedHeight(Picture.height(), Parameters)));
        return SaveReflectionFile(composed, Format, FileName, Reason, Quality);
    }
    TOutputFile file;
    if (!file.Open(FileName, Reason))
        return TGpStatus::Win32Error;
    const TGpStatus status = WriteReflectionPng(
        Picture, Parameters, [&file](const char* Data, qint64 Size) { return file.Write(Data, Size); },
        Reason);
    if (status != TGpStatus::Ok && !file.Failed())
        return status;
    return file.Commit(Reason) ? status : TGpStatus::Win32Error;
}

QByteArray EncodeReflectionPng(const QImage& Picture, const TReflectionParameters& Parameters,
                               QString* Reason, const TPngEncodeOptions& Options)
{
    QByteArray bytes;
    try {
        // Room for the largest file the encoder can make, taken only as it
        // is written, so the bytes are never copied to a larger home.
        const qint64 rows = ComposedHeight(Picture.height(), Parameters);
        bytes.reserve(qsizetype(std::min<qint64>(rows * (qint64(Picture.width()) * 4 + 1) * 101 / 100 + 4096,
                                                 std::numeric_limits<qsizetype>::max() / 2)));
    } catch (const std::bad_alloc&) {
    }
    const TGpStatus status = WriteReflectionPng(
        Picture, Parameters,
        [&bytes](const char* Data, qint64 Size) {
            bytes.append(Data, qsizetype(Size));
            return true;
        },
        Reason, Options);
    if (status != TGpStatus::Ok)
        return {};
    return bytes;
}
