#include "imaging/codecs/webp_frames.h"

#include <QtGlobal>
#include <cstring>
#include <webp/demux.h>

namespace
{
WebPData WebpBytes(const QByteArray& Data)
{
    return WebPData{reinterpret_cast<const std::uint8_t*>(Data.constData()), std::size_t(Data.size())};
}

class TWebpFrameReader final : public TFrameReader
{
  public:
    explicit TWebpFrameReader(WebPAnimDecoder* Decoder) : FDecoder(Decoder)
    {
        WebPAnimDecoderGetInfo(FDecoder, &FInfo);
    }
    ~TWebpFrameReader() override { WebPAnimDecoderDelete(FDecoder); }
    TWebpFrameReader(const TWebpFrameReader&) = delete;
    TWebpFrameReader& operator=(const TWebpFrameReader&) = delete;

    bool Next(TAnimationFrame& Frame, QString& Damage) override
    {
        if (!WebPAnimDecoderHasMoreFrames(FDecoder))
            return false;
        std::uint8_t* pixels = nullptr;
        int timestamp = 0;
        if (!WebPAnimDecoderGetNext(FDecoder, &pixels, &timestamp) || !pixels) {
            Damage = QStringLiteral("libwebp cannot decode the frame");
            return false;
        }
        const int width = int(FInfo.canvas_width);
        const int height = int(FInfo.canvas_height);
        QImage image(width, height, QImage::Format_ARGB32);
        if (image.isNull()) {
            Damage = QStringLiteral("out of memory for the canvas");
            return false;
        }
        for (int y = 0; y < height; ++y)
            std::memcpy(image.scanLine(y), pixels + std::size_t(y) * width * 4, std::size_t(width) * 4);
        Frame.Image = std::move(image);
        // The decoder gives each frame's end; its duration is the step.
        Frame.DelayMs = timestamp - FLastTimestamp;
        FLastTimestamp = timestamp;
        return true;
    }

  private:
    WebPAnimDecoder* FDecoder;
    WebPAnimInfo FInfo{};
    int FLastTimestamp = 0;
};
} // namespace

TAnimationFacts ProbeWebpFrames(const QByteArray& Data)
{
    TAnimationFacts facts;
    const WebPData bytes = WebpBytes(Data);
    WebPDemuxer* demuxer = WebPDemux(&bytes);
    if (!demuxer)
        return facts;
    facts.Format = "webp";
    facts.Canvas = QSize(int(WebPDemuxGetI(demuxer, WEBP_FF_CANVAS_WIDTH)),
                         int(WebPDemuxGetI(demuxer, WEBP_FF_CANVAS_HEIGHT)));
    facts.Frames = int(WebPDemuxGetI(demuxer, WEBP_FF_FRAME_COUNT));
    // A frame lies inside the canvas (the demuxer refuses one that does not).
    facts.StoredPixels = facts.Pixels();
    if (WebPDemuxGetI(demuxer, WEBP_FF_FORMAT_FLAGS) & ANIMATION_FLAG)
        facts.Plays = int(WebPDemuxGetI(demuxer, WEBP_FF_LOOP_COUNT));
    WebPDemuxDelete(demuxer);
    return facts;
}

std::unique_ptr<TFrameReader> OpenWebpFrames(const QByteArray& Data)
{
    WebPAnimDecoderOptions options;
    if (!WebPAnimDecoderOptionsInit(&options))
        return nullptr;
    // Bytes as QImage's ARGB32 lies in memory, not premultiplied.
    options.color_mode = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? MODE_BGRA : MODE_ARGB;
    options.use_threads = 0;
    const WebPData bytes = WebpBytes(Data);
    WebPAnimDecoder* decoder = WebPAnimDecoderNew(&bytes, &options);
    if (!decoder)
        return nullptr;
    return std::make_unique<TWebpFrameReader>(decoder);
}
