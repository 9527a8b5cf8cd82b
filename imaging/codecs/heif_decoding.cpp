#include "imaging/codecs/heif_decoding.h"

#include "imaging/codecs/heif_owners.h"
#include "imaging/image_limits.h"

#include <QImage>
#include <algorithm>
#include <cstring>

namespace
{
TDecodedImage Failure(TFailureKind Kind, TGpStatus Status, QString Reason, QByteArray Format,
                      bool Damaged = false)
{
    TDecodedImage result;
    result.Kind = Kind;
    result.Status = Status;
    result.Reason = std::move(Reason);
    result.Format = std::move(Format);
    result.Damaged = Damaged;
    return result;
}

QString ErrorText(const heif_error& Error)
{
    return Error.message && *Error.message ? QString::fromUtf8(Error.message)
                                           : QStringLiteral("libheif error %1").arg(int(Error.code));
}

// The primary image of the file, or nothing with Error set.
THeifHandle OpenPrimary(const QByteArray& Data, THeifContext& Context, heif_error& Error)
{
    Context.reset(heif_context_alloc());
    if (!Context) {
        Error = {heif_error_Memory_allocation_error, heif_suberror_Unspecified, "out of memory"};
        return nullptr;
    }
    heif_context_set_maximum_image_size_limit(Context.get(), MaxDecodedSide);
    Error = heif_context_read_from_memory_without_copy(Context.get(), Data.constData(), size_t(Data.size()),
                                                       nullptr);
    if (Error.code != heif_error_Ok)
        return nullptr;
    heif_image_handle* handle = nullptr;
    Error = heif_context_get_primary_image_handle(Context.get(), &handle);
    return THeifHandle(Error.code == heif_error_Ok ? handle : nullptr);
}

// The EXIF block begins with the offset of its TIFF header, then what
// the writer put before it (often "Exif\0\0").
QByteArray ExifOf(heif_image_handle* Handle)
{
    heif_item_id id = 0;
    if (heif_image_handle_get_list_of_metadata_block_IDs(Handle, "Exif", &id, 1) < 1)
        return {};
    const size_t size = heif_image_handle_get_metadata_size(Handle, id);
    if (size < 4 || size > size_t(MaxMetadataPacketBytes) + 64)
        return {};
    QByteArray block(qsizetype(size), Qt::Uninitialized);
    if (heif_image_handle_get_metadata(Handle, id, block.data()).code != heif_error_Ok)
        return {};
    const auto* bytes = reinterpret_cast<const unsigned char*>(block.constData());
    const std::uint32_t offset = (std::uint32_t(bytes[0]) << 24) | (std::uint32_t(bytes[1]) << 16) |
                                 (std::uint32_t(bytes[2]) << 8) | bytes[3];
    if (offset > size - 4)
        return {};
    return block.mid(qsizetype(4 + offset));
}

QByteArray XmpOf(heif_image_handle* Handle)
{
    heif_item_id ids[16];
    const int count = heif_image_handle_get_list_of_metadata_block_IDs(Handle, "mime", ids, 16);
    for (int i = 0; i < count; ++i) {
        if (qstrcmp(heif_image_handle_get_metadata_content_type(Handle, ids[i]), "application/rdf+xml") != 0)
            continue;
        const size_t size = heif_image_handle_get_metadata_size(Handle, ids[i]);
        QByteArray xmp(qsizetype(std::min<size_t>(size, size_t(MaxMetadataPacketBytes) + 1)),
                       Qt::Uninitialized);
        if (size == size_t(xmp.size()) &&
            heif_image_handle_get_metadata(Handle, ids[i], xmp.data()).code == heif_error_Ok)
            return xmp;
    }
    return {};
}

QByteArray IccOf(heif_image_handle* Handle)
{
    const heif_color_profile_type type = heif_image_handle_get_color_profile_type(Handle);
    if (type != heif_color_profile_type_prof && type != heif_color_profile_type_rICC)
        return {};
    const size_t size = heif_image_handle_get_raw_color_profile_size(Handle);
    if (size == 0 || size > size_t(MaxIccProfileBytes))
        return {};
    QByteArray icc(qsizetype(size), Qt::Uninitialized);
    if (heif_image_handle_get_raw_color_profile(Handle, icc.data()).code != heif_error_Ok)
        return {};
    return icc;
}
TImagePackets PacketsOf(heif_image_handle* Handle)
{
    TImagePackets packets;
    packets.Icc = IccOf(Handle);
    packets.Exif = ExifOf(Handle);
    packets.Xmp = XmpOf(Handle);
    if (packets.Exif.startsWith(QByteArrayLiteral("Exif\0\0")))
        packets.Exif.remove(0, 6);
    CheckImagePackets(packets);
    return packets;
}
} // namespace

QByteArray DetectHeifFormat(const QByteArray& Head)
{
    if (Head.size() < 12 || Head.mid(4, 4) != "ftyp")
        return {};
    const auto* bytes = reinterpret_cast<const uint8_t*>(Head.constData());
    const int length = int(std::min<qsizetype>(Head.size(), 4096));
    if (heif_check_filetype(bytes, length) == heif_filetype_no)
        return {};
    const heif_brand brand = heif_main_brand(bytes, length);
    if (brand == heif_avif || brand == heif_avis)
        return QByteArrayLiteral("avif");
    return brand == heif_unknown_brand ? QByteArray() : QByteArrayLiteral("heif");
}

QStringList HeifFileSuffixes()
{
    QStringList suffixes;
    if (heif_have_decoder_for_format(heif_compression_HEVC))
        suffixes << QStringLiteral("heic") << QStringLiteral("heif");
    if (heif_have_decoder_for_format(heif_compression_AV1))
        suffixes << QStringLiteral("avif");
    return suffixes;
}

QSize DeclaredHeifSize(const QByteArray& Head)
{
    if (DetectHeifFormat(Head).isEmpty())
        return {};
    THeifContext context;
    heif_error error{};
    const THeifHandle handle = OpenPrimary(Head, context, error);
    if (!handle)
        return {};
    return QSize(heif_image_handle_get_width(handle.get()), heif_image_handle_get_height(handle.get()));
}

TDecodedImage DecodeHeif(const QByteArray& Data, const TDecodeOptions& Options)
{
    const QByteArray format = DetectHeifFormat(Data);
    if (format.isEmpty())
        return Failure(TFailureKind::Unsupported, TGpStatus::UnknownImageFormat,
                       QStringLiteral("unknown image format"), {});
    THeifContext context;
    heif_error error{};
    const THeifHandle handle = OpenPrimary(Data, context, error);
    if (!handle)
        return Failure(TFailureKind::Damaged, DamagedImageStatus,
                       QStringLiteral("damaged image: %1").arg(ErrorText(error)), format, true);

    // The declared size decides before any pixel memory exists.
    const int width = heif_image_handle_get_width(handle.get());
    const int height = heif_image_handle_get_height(handle.get());
    QString reason;
    const TGpStatus sizeStatus = CheckImageSize(width, height, &reason);
    if (sizeStatus != TGpStatus::Ok)
        return Failure(sizeStatus == TGpStatus::InvalidParameter ? TFailureKind::Damaged
                                                                 : TFailureKind::OutOfMemory,
                       sizeStatus, reason, format);
    if (qint64(width) * height > Options.MaxPixels)
        return Failure(TFailureKind::OverLimit, TGpStatus::OutOfMemory,
                       PixelLimitReason(width, height, Options.MaxPixels), format);

    THeifDecodingOptions decoding(heif_decoding_options_alloc());
    heif_image* decodedImage = nullptr;
    error = heif_decode_image(handle.get(), &decodedImage, heif_colorspace_RGB, heif_chroma_interleaved_RGBA,
                              decoding.get());
    const THeifImage decoded(decodedImage);
    if (error.code != heif_error_Ok || !decoded) {
        if (error.code == heif_error_Unsupported_feature)
            return Failure(TFailureKind::Unsupported, TGpStatus::UnknownImageFormat,
                           QStringLiteral("could not decode the %1 image: %2")
                               .arg(QString::fromLatin1(format), ErrorText(error)),
                           format);
        return Failure(TFailureKind::Damaged, DamagedImageStatus,
                       QStringLiteral("damaged image: %1").arg(ErrorText(error)), format, true);
    }
    int stride = 0;
    const uint8_t* plane = heif_image_get_plane_readonly(decoded.get(), heif_channel_interleaved, &stride);
    const int planeWidth = heif_image_get_width(decoded.get(), heif_channel_interleaved);
    const int planeHeight = heif_image_get_height(decoded.get(), heif_channel_interleaved);
    if (!plane || planeWidth <= 0 || planeHeight <= 0 || qint64(planeWidth) * planeHeight > Options.MaxPixels)
        return Failure(TFailureKind::Damaged, DamagedImageStatus,
                       QStringLiteral("damaged image: the decoded picture has no pixels"), format, true);
    QImage rgba(planeWidth, planeHeight, QImage::Format_RGBA8888);
    if (rgba.isNull())
        return Failure(TFailureKind::OutOfMemory, TGpStatus::OutOfMemory,
                       QStringLiteral("out of memory decoding the image"), format);
    for (int y = 0; y < planeHeight; ++y)
        std::memcpy(rgba.scanLine(y), plane + std::size_t(y) * std::size_t(stride),
                    std::size_t(planeWidth) * 4);

    TDecodedImage result;
    result.Image = rgba.convertToFormat(QImage::Format_ARGB32);
    if (Options.ScaledSize.isValid() && !Options.ScaledSize.isEmpty() &&
        (result.Image.width() > Options.ScaledSize.width() ||
         result.Image.height() > Options.ScaledSize.height()))
        result.Image = result.Image.scaled(Options.ScaledSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    if (result.Image.isNull())
        return Failure(TFailureKind::OutOfMemory, TGpStatus::OutOfMemory,
                       QStringLiteral("out of memory converting the image"), format);
    result.Format = format;
    result.Status = TGpStatus::Ok;
    result.Packets = PacketsOf(handle.get());
    return result;
}

TImagePackets ReadHeifPackets(const QByteArray& Data)
{
    THeifContext context;
    heif_error error{};
    const THeifHandle handle = DetectHeifFormat(Data).isEmpty() ? nullptr : OpenPrimary(Data, context, error);
    return handle ? PacketsOf(handle.get()) : TImagePackets();
}
