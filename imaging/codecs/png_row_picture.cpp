#include "imaging/codecs/png_row_picture.h"

#include "imaging/codecs/png_row_decoder.h"
#include "imaging/image_limits.h"

TDecodedImage DecodePngRows(const QByteArray& Data, const TDecodeOptions& Options)
{
    TDecodedImage result;
    if (Options.ScaledSize.isValid() || !Data.startsWith(QByteArrayLiteral("\x89PNG\r\n\x1a\n")))
        return result;
    TPngRowDecoder decoder(Data);
    if (!decoder.Streamable())
        return result;
    const int width = decoder.Width(), height = decoder.Height();
    if (CheckImageSize(width, height) != TGpStatus::Ok || std::int64_t(width) * height > Options.MaxPixels)
        return result;
    QImage picture(width, height, QImage::Format_ARGB32);
    if (picture.isNull())
        return result;
    for (int y = 0; y < height; ++y)
        if (!decoder.ReadRow(reinterpret_cast<std::uint32_t*>(picture.scanLine(y))))
            return result;
    if (!decoder.Finish())
        return result;
    result.Image = std::move(picture);
    result.Format = QByteArrayLiteral("png");
    result.Status = TGpStatus::Ok;
    result.Packets = ReadImagePackets(Data);
    return result;
}

TDecodedImage DecodeImageQuickly(const QByteArray& Data, const TDecodeOptions& Options)
{
    TDecodedImage decoded = DecodePngRows(Data, Options);
    return decoded.Status == TGpStatus::Ok ? decoded : DecodeImage(Data, Options);
}
