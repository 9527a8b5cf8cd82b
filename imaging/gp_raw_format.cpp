#include "imaging/gp_raw_format.h"

#include <array>
#include <utility>

namespace
{

QUuid PublishedFormat(unsigned char Code)
{
    return QUuid(0xB96B3C00u | Code, 0x0728, 0x11D3, 0x9D, 0x7B, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E);
}

constexpr std::array<std::pair<ImageRawFormat, unsigned char>, 12> KindCodes{{
    {ImageRawFormat::RawMemoryBmp, 0xAA},
    {ImageRawFormat::RawBmp, 0xAB},
    {ImageRawFormat::RawEmf, 0xAC},
    {ImageRawFormat::RawWmf, 0xAD},
    {ImageRawFormat::RawJpeg, 0xAE},
    {ImageRawFormat::RawPng, 0xAF},
    {ImageRawFormat::RawGif, 0xB0},
    {ImageRawFormat::RawTiff, 0xB1},
    {ImageRawFormat::RawExif, 0xB2},
    {ImageRawFormat::RawIcon, 0xB5},
    {ImageRawFormat::RawHeif, 0xB6},
    {ImageRawFormat::RawWebp, 0xB7},
}};

} // namespace

QUuid RawFormatIdentifier(ImageRawFormat Kind)
{
    for (const auto& [kind, code] : KindCodes)
        if (kind == Kind)
            return PublishedFormat(code);
    return QUuid();
}

ImageRawFormat RawFormatKindOf(const QUuid& Identifier)
{
    if (Identifier.isNull())
        return ImageRawFormat::RawUndefined;
    for (const auto& [kind, code] : KindCodes)
        if (PublishedFormat(code) == Identifier)
            return kind;
    return ImageRawFormat::RawUndefined;
}

QUuid RawFormatFromReaderFormat(const QByteArray& ReaderFormat)
{
    const QByteArray name = ReaderFormat.toLower();
    if (name == "bmp" || name == "dib")
        return RawFormatIdentifier(ImageRawFormat::RawBmp);
    if (name == "jpeg" || name == "jpg")
        return RawFormatIdentifier(ImageRawFormat::RawJpeg);
    if (name == "png")
        return RawFormatIdentifier(ImageRawFormat::RawPng);
    if (name == "gif")
        return RawFormatIdentifier(ImageRawFormat::RawGif);
    if (name == "tiff" || name == "tif")
        return RawFormatIdentifier(ImageRawFormat::RawTiff);
    if (name == "heif" || name == "avif")
        return RawFormatIdentifier(ImageRawFormat::RawHeif);
    if (name == "webp")
        return RawFormatIdentifier(ImageRawFormat::RawWebp);
    if (name == "ico" || name == "cur")
        return RawFormatIdentifier(ImageRawFormat::RawIcon);
    return QUuid();
}
