#include "imaging/codecs/image_decoding.h"

#include "imaging/codecs/damage_checks.h"
#include "imaging/codecs/decoder_messages.h"
#include "imaging/codecs/gif_frames.h"
#include "imaging/codecs/heif_decoding.h"

#include <QBuffer>
#include <QIODevice>
#include <QImageReader>
#include <QtEndian>
#include <algorithm>
#include <mutex>

namespace
{

// Qt's default allocation limit (256 MB) would refuse a 100-megapixel photo;
// ours is just above what MaxDecodedPixels allows at 4 bytes per pixel, so the
// reader still refuses anything whose header we could not check first.
constexpr int ReaderAllocationLimitMB = int((MaxDecodedPixels * 4) / (1024 * 1024)) + 64;

void RaiseReaderAllocationLimit()
{
    static std::once_flag once;
    std::call_once(once, [] { QImageReader::setAllocationLimit(ReaderAllocationLimitMB); });
}

bool IsRestartMarker(unsigned char Code)
{
    return Code >= 0xD0 && Code <= 0xD7;
}

// libjpeg fills a cut-off scan with grey and reports only a warning, so a
// truncated JPEG would otherwise "decode". Walk the marker segments and the
// entropy-coded data: a complete file reaches its end-of-image marker.
bool JpegReachesEnd(const QByteArray& Data)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(Data.constData());
    const qsizetype size = Data.size();
    if (size < 4 || bytes[0] != 0xFF || bytes[1] != 0xD8)
        return false;
    qsizetype pos = 2;
    while (pos + 1 < size) {
        if (bytes[pos] != 0xFF)
            return false;
        unsigned char code = bytes[pos + 1];
        if (code == 0xFF) { // fill byte before a marker
            ++pos;
            continue;
        }
        pos += 2;
        if (code == 0xD9)
            return true;
        if (IsRestartMarker(code) || code == 0x01)
            continue;
        if (pos + 1 >= size)
            return false;
        const qsizetype length = (qsizetype(bytes[pos]) << 8) | bytes[pos + 1];
        if (length < 2)
            return false;
        pos += length;
        if (code != 0xDA)
            continue;
        // Entropy-coded data runs until a marker that is neither a stuffed
        // 0xFF00 nor a restart marker.
        while (pos + 1 < size) {
            if (bytes[pos] == 0xFF && bytes[pos + 1] != 0x00 && !IsRestartMarker(bytes[pos + 1]) &&
                bytes[pos + 1] != 0xFF)
                break;
            ++pos;
        }
    }
    return false;
}

// The size inside Box that keeps Size's proportions, never below one pixel;
// Size itself when it already fits or no box is given.
QSize FitInside(const QSize& Size, QSize Box)
{
    if (!Box.isValid() || Box.isEmpty() || (Size.width() <= Box.width() && Size.height() <= Box.height()))
        return Size;
    const QSize fitted = Size.scaled(Box, Qt::KeepAspectRatio);
    return QSize(std::max(1, fitted.width()), std::max(1, fitted.height()));
}

bool SwapsSides(QImageIOHandler::Transformations Transformation)
{
    return Transformation.testFlag(QImageIOHandler::TransformationRotate90);
}

// A size the format cannot hold is the file's fault; one past the overall
// limits is a memory budget no option raises.
TFailureKind SizeFailureKind(TGpStatus Status)
{
    return Status == TGpStatus::InvalidParameter ? TFailureKind::Damaged : TFailureKind::OutOfMemory;
}

TDecodedImage Failure(TFailureKind Kind, TGpStatus Status, QString Reason, QByteArray Format = {})
{
    TDecodedImage result;
    result.Kind = Kind;
    result.Status = Status;
    result.Reason = std::move(Reason);
    result.Format = std::move(Format);
    return result;
}

} // namespace

namespace
{
const QByteArray PngSignature("\x89PNG\r\n\x1a\n", 8);

// The size in a PNG's IHDR chunk, when the chunk is whole and its values are
// ones the format allows; invalid otherwise (the decode then says why).
QSize PngHeaderSize(const QByteArray& Head)
{
    if (Head.size() < 33 || Head.mid(12, 4) != "IHDR" || qFromBigEndian<quint32>(Head.constData() + 8) != 13)
        return {};
    const auto* bytes = reinterpret_cast<const uchar*>(Head.constData());
    const quint32 width = qFromBigEndian<quint32>(bytes + 16);
    const quint32 height = qFromBigEndian<quint32>(bytes + 20);
    const int depth = bytes[24], colour = bytes[25];
    const bool depthFits =
        (colour == 0 && (depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16)) ||
        (colour == 3 && (depth == 1 || depth == 2 || depth == 4 || depth == 8)) ||
        ((colour == 2 || colour == 4 || colour == 6) && (depth == 8 || depth == 16));
    if (width == 0 || height == 0 || width > 0x7FFFFFFFu || height > 0x7FFFFFFFu || !depthFits ||
        bytes[26] != 0 || bytes[27] != 0 || bytes[28] > 1)
        return {};
    return QSize(int(width), int(height));
}
} // namespace

TDecodedImage DecodeImage(const QByteArray& Data)
{
    return DecodeImage(Data, TDecodeOptions{});
}

QByteArray DetectImageFormat(const QByteArray& Head, const QByteArray& FormatHint)
{
    const QByteArray heif = DetectHeifFormat(Head);
    if (!heif.isEmpty())
        return heif;
    // The readers' complaints about a head are told by the decode that
    // follows, in its one line naming the file, not here.
    const TDecoderMessageCapture quiet;
    QBuffer buffer;
    buffer.setData(Head);
    buffer.open(QIODevice::ReadOnly);
    const QByteArray detected = QImageReader::imageFormat(&buffer);
    if (!detected.isEmpty())
        return detected;
    const QByteArray hint = FormatHint.toLower();
    if (hint.isEmpty() || !QImageReader::supportedImageFormats().contains(hint))
        return {};
    // A format with a signature must show it in the head; the name alone
    // does not make a file of zeros a PNG. TGA has none: its header is only
    // checked when the whole file is read.
    if (hint == "tga")
        return hint;
    buffer.seek(0);
    QImageReader named(&buffer, hint);
    named.setDecideFormatFromContent(false);
    return named.canRead() ? hint : QByteArray();
}

TDecodedImage DecodeImage(const QByteArray& Data, const TDecodeOptions& Options)
{
    RaiseReaderAllocationLimit();
    if (Data.isEmpty())
        return Failure(TFailureKind::Unreadable, TGpStatus::UnknownImageFormat,
                       QStringLiteral("no image data"));
    if (!DetectHeifFormat(Data).isEmpty())
        return DecodeHeif(Data, Options);

    // Readers complain while reading headers as well as pixels; all of it
    // belongs to this decode.
    const TDecoderMessageCapture capture;
    QBuffer buffer;
    buffer.setData(Data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    reader.setDecideFormatFromContent(true);

    QByteArray format = reader.format();
    const QByteArray hint = Options.FormatHint.toLower();
    if ((format.isEmpty() || !reader.canRead()) && !hint.isEmpty() && hint != format) {
        // A new device drops the reader's handler, so the named one is made.
        buffer.seek(0);
        reader.setDevice(&buffer);
        reader.setDecideFormatFromContent(false);
        reader.setFormat(hint);
        format = reader.canRead() ? hint : QByteArray();
    }
    if (format.isEmpty() || !reader.canRead())
        return Failure(TFailureKind::Unsupported, TGpStatus::UnknownImageFormat,
                       QStringLiteral("unknown image format"));

    // The header's size decides before any pixel memory exists. A PNG header
    // that libpng would refuse (printing so itself) is left to the damage
    // check below.
    const bool badPngHeader = Data.startsWith(PngSignature) && !PngHeaderSize(Data).isValid();
    const QSize declared = badPngHeader ? QSize() : reader.size();
    if (declared.isValid()) {
        QString reason;
        const TGpStatus sizeStatus = CheckImageSize(declared.width(), declared.height(), &reason);
        if (sizeStatus != TGpStatus::Ok)
            return Failure(SizeFailureKind(sizeStatus), sizeStatus, reason, format);
        if (qint64(declared.width()) * declared.height() > Options.MaxPixels)
            return Failure(TFailureKind::OverLimit, TGpStatus::OutOfMemory,
                           PixelLimitReason(declared.width(), declared.height(), Options.MaxPixels), format);
    }
    // The box is given upright; the reader scales before it turns the photo.
    QSize scaled;
    if (declared.isValid() && Options.ScaledSize.isValid()) {
        const bool swapped = SwapsSides(reader.transformation());
        scaled = FitInside(declared, swapped ? Options.ScaledSize.transposed() : Options.ScaledSize);
        if (scaled == declared)
            scaled = QSize();
        else if (reader.supportsOption(QImageIOHandler::ScaledSize))
            reader.setScaledSize(scaled);
    }

    bool unreadable = false;
    QString damage = FindDamage(Data, format, &unreadable);
    if (damage.isEmpty() && format == "jpeg" && !JpegReachesEnd(Data))
        damage = QStringLiteral("the JPEG data ends early");
    const auto refuseDamaged = [&] {
        TDecodedImage refused = Failure(TFailureKind::Damaged, DamagedImageStatus,
                                        QStringLiteral("damaged image: %1").arg(damage), format);
        refused.Damaged = true;
        return refused;
    };
    if (!damage.isEmpty() && (!Options.KeepDamaged || unreadable))
        return refuseDamaged();

    QImage image;
    bool read = false;
    read = reader.read(&image) && !image.isNull();
    if (!read && !hint.isEmpty() && hint != format) {
        // Content detection picked a reader that cannot decode the file;
        // the name's format may still be right.
        buffer.seek(0);
        QImageReader named(&buffer, hint);
        named.setAutoTransform(true);
        named.setDecideFormatFromContent(false);
        read = named.read(&image) && !image.isNull();
        if (read)
            format = hint;
    }
    if (damage.isEmpty() && !capture.DamageMessages().isEmpty()) {
        QStringList signs = capture.DamageMessages();
        signs.removeDuplicates();
        damage = signs.join(QStringLiteral("; "));
    }
    QStringList messages = capture.Messages();
    messages.removeDuplicates();
    if (!read) {
        if (!damage.isEmpty())
            return refuseDamaged();
        return Failure(TFailureKind::Unreadable, TGpStatus::GenericError,
                       QStringLiteral("could not decode the %1 image: %2")
                           .arg(QString::fromLatin1(format), messages.isEmpty()
                                                                 ? reader.errorString()
                                                                 : messages.join(QStringLiteral("; "))),
                       format);
    }
    if (!damage.isEmpty() && !Options.KeepDamaged)
        return refuseDamaged();
    if (format == "gif") {
        // Qt's reader leaves what a partial first frame does not cover as
        // it found it in memory; a viewer shows it transparent.
        const QImage composed = FirstGifFrameIfPartial(Data);
        if (!composed.isNull() && composed.size() == image.size())
            image = composed;
    }

    // A reader that gave no size beforehand is checked afterwards as well, so
    // every decoded image respects the same limits.
    QString reason;
    const TGpStatus sizeStatus = CheckImageSize(image.width(), image.height(), &reason);
    if (sizeStatus != TGpStatus::Ok)
        return Failure(SizeFailureKind(sizeStatus), sizeStatus, reason, format);
    if (qint64(image.width()) * image.height() > Options.MaxPixels)
        return Failure(TFailureKind::OverLimit, TGpStatus::OutOfMemory,
                       PixelLimitReason(image.width(), image.height(), Options.MaxPixels), format);
    // A reader that cannot scale while reading gave the whole picture.
    const QSize upright = FitInside(image.size(), Options.ScaledSize);
    if (scaled.isValid() && upright != image.size())
        image = image.scaled(upright, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);

    if (image.format() != QImage::Format_ARGB32)
        image.convertTo(QImage::Format_ARGB32);
    if (image.isNull())
        return Failure(TFailureKind::OutOfMemory, TGpStatus::OutOfMemory,
                       QStringLiteral("out of memory converting the image"), format);

    TDecodedImage result;
    result.Image = std::move(image);
    result.Format = format;
    result.Status = TGpStatus::Ok;
    result.Damaged = !damage.isEmpty();
    if (result.Damaged)
        result.Reason = QStringLiteral("damaged image: %1").arg(damage);
    result.Packets = ReadImagePackets(Data);
    return result;
}

TImagePackets ReadPicturePackets(const QByteArray& Data)
{
    return DetectHeifFormat(Data).isEmpty() ? ReadImagePackets(Data) : ReadHeifPackets(Data);
}

QSize DeclaredImageSize(const QByteArray& Head)
{
    if (!DetectHeifFormat(Head).isEmpty())
        return DeclaredHeifSize(Head);
    // A PNG's header is checked here first: libpng prints its own complaint
    // about a bad one to standard error, outside any file's message.
    if (Head.startsWith(PngSignature) && !PngHeaderSize(Head).isValid())
        return {};
    const TDecoderMessageCapture quiet;
    QBuffer buffer;
    buffer.setData(Head);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    if (!reader.canRead())
        return {};
    const QSize size = reader.size();
    if (!size.isValid())
        return {};
    return SwapsSides(reader.transformation()) ? size.transposed() : size;
}

TDecodedImage DecodeImage(QIODevice* Device)
{
    if (!Device)
        return Failure(TFailureKind::Unreadable, TGpStatus::InvalidParameter, QStringLiteral("no stream"));
    if (!Device->isOpen() && !Device->open(QIODevice::ReadOnly))
        return Failure(TFailureKind::Unreadable, TGpStatus::Win32Error,
                       QStringLiteral("could not open the stream: %1").arg(Device->errorString()));
    if (!Device->isReadable())
        return Failure(TFailureKind::Unreadable, TGpStatus::InvalidParameter,
                       QStringLiteral("the stream is not readable"));
    const QByteArray data = Device->readAll();
    return DecodeImage(data);
}
