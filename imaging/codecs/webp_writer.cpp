#include "imaging/codecs/webp_writer.h"

#include "imaging/metadata/packet_embedding.h"
#include "imaging/saving/save_progress.h"

#include <QIODevice>
#include <QImage>
#include <QSysInfo>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>
#include <webp/encode.h>

namespace
{
bool Fail(QString* Reason, const QString& Text)
{
    if (Reason)
        *Reason = Text;
    return false;
}

QString EncoderErrorText(WebPEncodingError Error)
{
    switch (Error) {
    case VP8_ENC_ERROR_OUT_OF_MEMORY:
    case VP8_ENC_ERROR_BITSTREAM_OUT_OF_MEMORY:
        return QStringLiteral("out of memory");
    case VP8_ENC_ERROR_BAD_DIMENSION:
        return QStringLiteral("WebP is limited to %1 pixels a side").arg(MaxWebpSide);
    case VP8_ENC_ERROR_PARTITION0_OVERFLOW:
    case VP8_ENC_ERROR_PARTITION_OVERFLOW:
    case VP8_ENC_ERROR_FILE_TOO_BIG:
        return QStringLiteral("the picture is too large for a WebP file");
    default:
        return QStringLiteral("the WebP encoder failed (error %1)").arg(int(Error));
    }
}

// Owns a picture's buffers (not those it was given) until the end.
struct TWebpPicture {
    WebPPicture Picture;
    TWebpPicture() { WebPPictureInit(&Picture); }
    ~TWebpPicture() { WebPPictureFree(&Picture); }
    TWebpPicture(const TWebpPicture&) = delete;
    TWebpPicture& operator=(const TWebpPicture&) = delete;
};

// Owns a picture's buffers and the memory writer's output until the end.
struct TWebpEncoding {
    WebPPicture Picture;
    WebPMemoryWriter Output;
    TWebpEncoding()
    {
        WebPPictureInit(&Picture);
        WebPMemoryWriterInit(&Output);
    }
    ~TWebpEncoding()
    {
        WebPPictureFree(&Picture);
        WebPMemoryWriterClear(&Output);
    }
    TWebpEncoding(const TWebpEncoding&) = delete;
    TWebpEncoding& operator=(const TWebpEncoding&) = delete;
};
bool HasTranslucentPixel(const QImage& Image)
{
    if (Image.format() == QImage::Format_RGB32)
        return false;
    for (int y = 0; y < Image.height(); ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(Image.constScanLine(y));
        for (int x = 0; x < Image.width(); ++x)
            if ((row[x] >> 24) != 0xFF)
                return true;
    }
    return false;
}

// Rows converted at a time: whole 8-row blocks of the encoder's clean-up
// and whole 2-row pairs of its chroma, so that a band converts exactly as
// the same rows of the whole picture do.
constexpr int LossyBandRows = 64;

// Fills Picture, allocated as 4:2:0 (with an alpha plane when Image has a
// translucent pixel), from Image's 0xAARRGGBB words read as they lie, the
// way the encoder converts an ARGB picture itself, but through a band's
// copy instead of a copy of the whole picture: libwebp's conversion of a
// band, its rows copied in. False when memory runs out.
bool ConvertInBands(const QImage& Image, WebPPicture& Picture)
{
    const int width = Image.width();
    std::vector<std::uint32_t> scratch;
    try {
        scratch.resize(std::size_t(width) * LossyBandRows);
    } catch (const std::bad_alloc&) {
        return false;
    }
    const int chromaWidth = (width + 1) / 2;
    for (int top = 0; top < Image.height(); top += LossyBandRows) {
        const int rows = std::min(LossyBandRows, Image.height() - top);
        for (int y = 0; y < rows; ++y)
            std::memcpy(scratch.data() + std::size_t(y) * width, Image.constScanLine(top + y),
                        std::size_t(width) * 4);
        TWebpPicture band;
        band.Picture.use_argb = 1;
        band.Picture.width = width;
        band.Picture.height = rows;
        band.Picture.argb = scratch.data();
        band.Picture.argb_stride = width;
        if (!WebPPictureARGBToYUVA(&band.Picture, WEBP_YUV420))
            return false;
        const WebPPicture& from = band.Picture;
        for (int y = 0; y < rows; ++y) {
            std::memcpy(Picture.y + std::size_t(top + y) * Picture.y_stride,
                        from.y + std::size_t(y) * from.y_stride, std::size_t(width));
            // A band without a translucent pixel comes without alpha plane.
            std::uint8_t* alpha = Picture.a ? Picture.a + std::size_t(top + y) * Picture.a_stride : nullptr;
            if (alpha && from.a)
                std::memcpy(alpha, from.a + std::size_t(y) * from.a_stride, std::size_t(width));
            else if (alpha)
                std::memset(alpha, 0xFF, std::size_t(width));
        }
        for (int y = 0; y < (rows + 1) / 2; ++y) {
            const std::size_t at = std::size_t(top / 2 + y) * Picture.uv_stride;
            std::memcpy(Picture.u + at, from.u + std::size_t(y) * from.uv_stride, std::size_t(chromaWidth));
            std::memcpy(Picture.v + at, from.v + std::size_t(y) * from.uv_stride, std::size_t(chromaWidth));
        }
    }
    return true;
}
} // namespace

bool WriteWebpImage(const QImage& Image, QIODevice* Device, int Quality, QString* Reason,
                    const TImagePackets* Packets, QStringList* Warnings)
{
    if (Image.isNull())
        return Fail(Reason, QStringLiteral("no image to write"));
    if (Image.width() > MaxWebpSide || Image.height() > MaxWebpSide)
        return Fail(Reason, QStringLiteral("WebP is limited to %1 pixels a side; this image is %2 × %3")
                                .arg(MaxWebpSide)
                                .arg(Image.width())
                                .arg(Image.height()));
    // 0xAARRGGBB words, straight (not premultiplied): read as they lie, B, G,
    // R, A in memory on little-endian machines, so that no converted copy of
    // a large picture is made; anything else is converted once.
    const bool asItLies = QSysInfo::ByteOrder == QSysInfo::LittleEndian &&
                          (Image.format() == QImage::Format_ARGB32 || Image.format() == QImage::Format_RGB32);
    const QImage rgba = asItLies ? Image : Image.convertToFormat(QImage::Format_RGBA8888);
    if (rgba.isNull())
        return Fail(Reason, QStringLiteral("out of memory converting the image"));

    WebPConfig config;
    if (!WebpConfigFor(Quality, config))
        return Fail(Reason, QStringLiteral("the WebP encoder library does not match its headers"));
    // A lossless photo takes the encoder half a minute: it reports how far
    // it is and stops when the save is cancelled.
    TSaveProgress* progress = CurrentSaveProgress();
    TWebpEncoding encoding;
    WebPPicture& picture = encoding.Picture;
    picture.use_argb = 1;
    picture.width = rgba.width();
    picture.height = rgba.height();
    picture.writer = WebPMemoryWrite;
    picture.custom_ptr = &encoding.Output;
    if (progress) {
        picture.user_data = progress;
        picture.progress_hook = [](int Percent, const WebPPicture* Picture) {
            auto* report = static_cast<TSaveProgress*>(Picture->user_data);
            report->Report(Percent / 100.0);
            return report->Cancelled() ? 0 : 1;
        };
    }
    if (asItLies && config.lossless) {
        // The lossless encoder only reads the picture, and with exact colours
        // nothing cleans up transparent pixels in place: it reads our words
        // where they lie, which spares a copy of 4 bytes a pixel (the
        // picture frees only what it allocated itself).
        picture.argb = const_cast<std::uint32_t*>(reinterpret_cast<const std::uint32_t*>(rgba.constBits()));
        picture.argb_stride = int(rgba.bytesPerLine() / 4);
    } else if (asItLies) {
        // The lossy encoder converts an ARGB picture to 4:2:0 first and keeps
        // both: given the converted planes, made band by band, it needs no
        // copy of the pixels (4 bytes a pixel less, the same file).
        picture.use_argb = 0;
        picture.colorspace = HasTranslucentPixel(rgba) ? WEBP_YUV420A : WEBP_YUV420;
        if (!WebPPictureAlloc(&picture) || !ConvertInBands(rgba, picture))
            return Fail(Reason, QStringLiteral("out of memory"));
    } else {
        const bool imported =
            asItLies ? WebPPictureImportBGRA(&picture, rgba.constBits(), int(rgba.bytesPerLine()))
                     : WebPPictureImportRGBA(&picture, rgba.constBits(), int(rgba.bytesPerLine()));
        if (!imported)
            return Fail(Reason, QStringLiteral("out of memory"));
    }
    if (!WebPEncode(&config, &picture))
        return Fail(Reason, picture.error_code == VP8_ENC_ERROR_USER_ABORT
                                ? QStringLiteral("cancelled")
                                : EncoderErrorText(picture.error_code));
    const QByteArray bytes =
        WebpWithPackets(QByteArray::fromRawData(reinterpret_cast<const char*>(encoding.Output.mem),
                                                qsizetype(encoding.Output.size)),
                        Packets ? *Packets : TImagePackets(), Warnings);
    if (Device->write(bytes) != bytes.size())
        return Fail(Reason, Device->errorString());
    return true;
}

bool WebpConfigFor(int Quality, WebPConfig& Config)
{
    const bool lossless = Quality < 0 || Quality >= 100;
    if (!WebPConfigPreset(&Config, WEBP_PRESET_DEFAULT, lossless ? 75.0f : float(Quality)))
        return false;
    if (lossless) {
        Config.lossless = 1;
        // Without it the encoder may change the colour of transparent pixels.
        Config.exact = 1;
    }
    return true;
}
