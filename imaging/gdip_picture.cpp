#include "imaging/gdip_picture.h"

#include "imaging/codecs/png_row_picture.h"
#include "imaging/gp_graphics.h"
#include "imaging/gp_image.h"
#include "imaging/gp_raw_format.h"
#include "toolkit/file_names.h"
#include "toolkit/graphics/bitmap.h"
#include "toolkit/graphics/canvas.h"
#include "toolkit/graphics/picture.h"

#include <QBuffer>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
[[noreturn]] void ThrowNoMemory()
{
    throw std::runtime_error("Could not allocate memory for image");
}

QByteArray ReadWholeStream(QIODevice* Stream)
{
    if (Stream->size() > MaxEncodedBytes)
        throw std::runtime_error("picture data too large");
    try {
        return Stream->readAll();
    } catch (const std::bad_alloc&) {
        ThrowNoMemory();
    }
}
} // namespace

TGDIPPicture::TGDIPPicture(QObject* Parent) : TGraphic(Parent) {}

TGDIPPicture::~TGDIPPicture() = default;

void TGDIPPicture::SetEncodedData(const QByteArray& Data)
{
    FEncodedData = Data;
    FDecoded.reset();
}

const TDecodedImage* TGDIPPicture::Decode()
{
    if (FEmpty || FEncodedData.isEmpty())
        return nullptr;
    if (!FDecoded) {
        try {
            // The window shows what decodes of a damaged file, and says so.
            TDecodeOptions options;
            options.KeepDamaged = true;
            FDecoded = DecodeImageQuickly(FEncodedData, options);
        } catch (const std::bad_alloc&) {
            ThrowNoMemory();
        }
        FLastError = FDecoded->Status == TGpStatus::Ok && !FDecoded->Damaged ? QString() : FDecoded->Reason;
    }
    return &*FDecoded;
}

const QImage& TGDIPPicture::DecodedImage()
{
    static const QImage none;
    const TDecodedImage* decoded = Decode();
    return decoded ? decoded->Image : none;
}

const TImagePackets& TGDIPPicture::Packets()
{
    static const TImagePackets none;
    const TDecodedImage* decoded = Decode();
    return decoded && decoded->Status == TGpStatus::Ok ? decoded->Packets : none;
}

bool TGDIPPicture::MeasureImage()
{
    const TDecodedImage* decoded = Decode();
    if (!decoded)
        return false;
    FImageWidth = decoded->Image.width();
    FImageHeight = decoded->Image.height();
    return true;
}

void TGDIPPicture::DrawInRect(TCanvas& Canvas, const QRect& Rect)
{
    const TDecodedImage* decoded = Decode();
    if (!decoded || decoded->Image.isNull())
        return;
    if (RawFormatKindOf(RawFormatFromReaderFormat(decoded->Format)) == ImageRawFormat::RawBmp) {
        // A BMP is drawn by the toolkit at its own size, leaving out the
        // colour of its bottom-left pixel, as the classic picture did.
        TBitmap bitmap;
        QBuffer buffer(&FEncodedData);
        buffer.open(QIODevice::ReadOnly);
        try {
            bitmap.LoadStream(&buffer);
        } catch (const std::runtime_error&) {
            return;
        }
        bitmap.SetTransparent(true);
        bitmap.SetAutoTransparentColor();
        bitmap.DrawInRect(Canvas, QRect(Rect.topLeft(), QSize(bitmap.Width(), bitmap.Height())));
        return;
    }
    FImageWidth = decoded->Image.width();
    FImageHeight = decoded->Image.height();
    Canvas.DrawImageSmooth(Rect, decoded->Image, true);
}

void TGDIPPicture::DrawAt(TGPGraphics& Graphics, int X, int Y)
{
    if (FEmpty || FEncodedData.isEmpty())
        return;
    TGPImage image(FEncodedData);
    Graphics.DrawImageAt(&image, X, Y);
}

void TGDIPPicture::CopyFrom(const TPersistent* Source)
{
    FEmpty = true;
    if (!Source) {
        SetEncodedData(QByteArray());
        FLastError.clear();
        Changed();
        if (OnClear)
            OnClear(this);
        return;
    }
    if (const auto* picture = qobject_cast<const TGDIPPicture*>(Source)) {
        SetEncodedData(picture->FEncodedData);
        // The same bytes decode to the same pixels: sharing them spares a
        // second decoding (and its memory) of a large photo.
        FDecoded = picture->FDecoded;
        FEmpty = FEncodedData.isEmpty();
        Changed();
    } else if (const auto* bitmap = qobject_cast<const TBitmap*>(Source)) {
        SetEncodedData(bitmap->SaveToBmp());
        FEmpty = false;
        Changed();
    } else if (const auto* holder = qobject_cast<const TPicture*>(Source)) {
        QByteArray bytes;
        if (TGraphic* graphic = holder->Graphic()) {
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            graphic->SaveStream(&buffer);
        }
        SetEncodedData(bytes);
        FEmpty = false;
        Changed();
    } else {
        // Unknown sources leave the picture marked empty; its old bytes stay
        // in the buffer, unused, and nobody is told.
        return;
    }
    MeasureImage();
}

void TGDIPPicture::LoadFile(const QString& FileName)
{
    try {
        // Opened without blocking and checked before reading: a FIFO would
        // otherwise wait for a writer for ever, a device never end.
        const int descriptor =
            ::open(FileNameBytes(FileName).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (descriptor < 0)
            throw std::runtime_error(QStringLiteral("cannot open it: %1")
                                         .arg(QString::fromLocal8Bit(std::strerror(errno)))
                                         .toStdString());
        QFile file;
        struct stat status {
        };
        const bool regular = ::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode);
        if (!regular || !file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
            ::close(descriptor);
            throw std::runtime_error("it is not a regular file");
        }
        if (file.size() > MaxEncodedBytes)
            throw std::runtime_error(
                QStringLiteral("it is too large to be a picture (%1 bytes)").arg(file.size()).toStdString());
        QByteArray bytes = ReadWholeStream(&file);
        if (file.error() != QFileDevice::NoError)
            throw std::runtime_error(
                QStringLiteral("cannot read it: %1").arg(file.errorString()).toStdString());
        FLastError.clear();
        SetEncodedData(bytes);
        FEmpty = false;
        if (OnClear)
            OnClear(this);
        MeasureImage();
        Changed();
    } catch (const std::exception& error) {
        FEmpty = true;
        FLastError = QString::fromStdString(error.what());
    } catch (...) {
        FEmpty = true;
        FLastError = QStringLiteral("it cannot be loaded");
    }
}

void TGDIPPicture::LoadStream(QIODevice* Stream)
{
    if (!Stream)
        return;
    if (!Stream->isSequential())
        Stream->seek(0);
    SetEncodedData(ReadWholeStream(Stream));
    FLastError.clear();
    FEmpty = false;
    MeasureImage();
    Changed();
}

void TGDIPPicture::SaveStream(QIODevice* Stream)
{
    if (Stream)
        Stream->write(FEncodedData);
}

void TGDIPPicture::ReadStoredData(QIODevice* Stream)
{
    if (!Stream)
        return;
    SetEncodedData(ReadWholeStream(Stream));
    FLastError.clear();
    FEmpty = false;
}

void TGDIPPicture::WriteStoredData(QIODevice* Stream)
{
    SaveStream(Stream);
}
