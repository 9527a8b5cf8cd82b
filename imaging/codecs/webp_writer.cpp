#include "imaging/codecs/webp_writer.h"

#include "imaging/metadata/packet_embedding.h"
#include "imaging/saving/save_progress.h"

#include <QIODevice>
#include <QImage>
#include <QSysInfo>
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
    const bool lossless = Quality < 0 || Quality >= 100;
    if (!WebPConfigPreset(&config, WEBP_PRESET_DEFAULT, lossless ? 75.0f : float(Quality)))
        return Fail(Reason, QStringLiteral("the WebP encoder library does not match its headers"));
    if (lossless) {
        config.lossless = 1;
        // Without it the encoder may change the colour of transparent pixels.
        config.exact = 1;
    }
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
    const bool imported = asItLies
                              ? WebPPictureImportBGRA(&picture, rgba.constBits(), int(rgba.bytesPerLine()))
                              : WebPPictureImportRGBA(&picture, rgba.constBits(), int(rgba.bytesPerLine()));
    if (!imported)
        return Fail(Reason, QStringLiteral("out of memory"));
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
