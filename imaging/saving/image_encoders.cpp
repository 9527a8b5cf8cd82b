#include "imaging/saving/image_encoders.h"

#include "imaging/gp_raw_format.h"

#include <algorithm>

namespace
{

// Our encoders' class ids share one stem; the first field's low byte tells them apart.
QUuid EncoderClassId(unsigned char Code)
{
    return QUuid(0x4C560100u | Code, 0x3E1B, 0x4B6F, 0x9A, 0x52, 0x6C, 0x75, 0x6D, 0x69, 0x76, 0x78);
}

constexpr std::uint32_t BuiltinEncoderFlags =
    ImageCodecFlagsEncoder | ImageCodecFlagsDecoder | ImageCodecFlagsSupportBitmap | ImageCodecFlagsBuiltin;

std::vector<TImageEncoderInfo> MakeEncoderTable()
{
    // The library each format's writer encodes with.
    const QString ourOwn = QStringLiteral("Lumivex");
    return {
        {EncoderClassId(0x00), RawFormatIdentifier(ImageRawFormat::RawBmp),
         QStringLiteral("Built-in BMP encoder"), ourOwn, QStringLiteral("BMP"),
         QStringLiteral("*.BMP;*.DIB;*.RLE"), MimeTypeOfSaveFormat(ImageSaveFormat::Bmp), BuiltinEncoderFlags,
         1},
        {EncoderClassId(0x01), RawFormatIdentifier(ImageRawFormat::RawJpeg),
         QStringLiteral("Built-in JPEG encoder"), QStringLiteral("libjpeg"), QStringLiteral("JPEG"),
         QStringLiteral("*.JPG;*.JPEG;*.JPE;*.JFIF"), MimeTypeOfSaveFormat(ImageSaveFormat::Jpeg),
         BuiltinEncoderFlags, 1},
        {EncoderClassId(0x02), RawFormatIdentifier(ImageRawFormat::RawGif),
         QStringLiteral("Built-in GIF encoder"), QStringLiteral("giflib"), QStringLiteral("GIF"),
         QStringLiteral("*.GIF"), MimeTypeOfSaveFormat(ImageSaveFormat::Gif), BuiltinEncoderFlags, 1},
        {EncoderClassId(0x05), RawFormatIdentifier(ImageRawFormat::RawTiff),
         QStringLiteral("Built-in TIFF encoder"), QStringLiteral("libtiff"), QStringLiteral("TIFF"),
         QStringLiteral("*.TIF;*.TIFF"), MimeTypeOfSaveFormat(ImageSaveFormat::Tiff), BuiltinEncoderFlags, 1},
        {EncoderClassId(0x06), RawFormatIdentifier(ImageRawFormat::RawPng),
         QStringLiteral("Built-in PNG encoder"), QStringLiteral("libdeflate"), QStringLiteral("PNG"),
         QStringLiteral("*.PNG"), MimeTypeOfSaveFormat(ImageSaveFormat::Png), BuiltinEncoderFlags, 1},
        {EncoderClassId(0x07), RawFormatIdentifier(ImageRawFormat::RawWebp),
         QStringLiteral("Built-in WebP encoder"), QStringLiteral("libwebp"), QStringLiteral("WebP"),
         QStringLiteral("*.WEBP"), MimeTypeOfSaveFormat(ImageSaveFormat::Webp), BuiltinEncoderFlags, 1},
        {EncoderClassId(0x08), RawFormatIdentifier(ImageRawFormat::RawHeif),
         QStringLiteral("Built-in AVIF encoder"), QStringLiteral("libheif"), QStringLiteral("AVIF"),
         QStringLiteral("*.AVIF"), MimeTypeOfSaveFormat(ImageSaveFormat::Avif), BuiltinEncoderFlags, 1},
    };
}

} // namespace

const std::vector<TImageEncoderInfo>& ImageEncoders()
{
    static const std::vector<TImageEncoderInfo> table = MakeEncoderTable();
    return table;
}

const TImageEncoderInfo* FindEncoderInfo(const QUuid& ClassId)
{
    if (ClassId.isNull())
        return nullptr;
    const auto& table = ImageEncoders();
    const auto found = std::find_if(table.begin(), table.end(),
                                    [&](const TImageEncoderInfo& Info) { return Info.ClassId == ClassId; });
    return found == table.end() ? nullptr : &*found;
}

QString MimeTypeOfSaveFormat(ImageSaveFormat Format)
{
    const TSaveFormatInfo* info = FindSaveFormat(Format);
    return info ? QString::fromLatin1(info->MimeType) : QString();
}

std::optional<QUuid> FindImageEncoder(ImageSaveFormat Format)
{
    return FindImageEncoder(Format, ImageEncoders());
}

std::optional<QUuid> FindImageEncoder(ImageSaveFormat Format, std::span<const TImageEncoderInfo> Encoders)
{
    const QString wanted = MimeTypeOfSaveFormat(Format);
    if (wanted.isEmpty())
        return std::nullopt;
    for (const TImageEncoderInfo& info : Encoders)
        if (info.MimeType.compare(wanted, Qt::CaseSensitive) == 0)
            return info.ClassId;
    return std::nullopt;
}

QUuid EncoderQuality()
{
    return QUuid(0x1D5BE4B5, 0xFA4A, 0x452D, 0x9C, 0xDD, 0x5D, 0xB3, 0x51, 0x05, 0xE7, 0xEB);
}

std::optional<std::uint32_t> TEncoderParameters::Quality() const
{
    for (const TEncoderParameter& parameter : Parameter)
        if (parameter.Guid == EncoderQuality() && parameter.Type == EncoderParameterValueTypeLong &&
            parameter.NumberOfValues >= 1 && !parameter.Values.empty())
            return parameter.Values.front();
    return std::nullopt;
}

TEncoderParameters BuildQualityParameters(int Percent)
{
    TEncoderParameters block;
    block.Parameter.push_back(TEncoderParameter{
        EncoderQuality(), 1, EncoderParameterValueTypeLong, {std::uint32_t(std::clamp(Percent, 0, 100))}});
    return block;
}
