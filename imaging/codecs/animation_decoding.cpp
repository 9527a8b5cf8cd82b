#include "imaging/codecs/animation_decoding.h"

#include "imaging/codecs/gif_frames.h"
#include "imaging/codecs/webp_frames.h"

namespace
{
bool IsGif(const QByteArray& Data)
{
    return Data.startsWith("GIF87a") || Data.startsWith("GIF89a");
}

bool IsWebp(const QByteArray& Data)
{
    return Data.size() >= 12 && Data.startsWith("RIFF") && Data.mid(8, 4) == "WEBP";
}
} // namespace

TAnimationFacts ProbeAnimation(const QByteArray& Data)
{
    if (IsGif(Data))
        return ProbeGifFrames(Data);
    if (IsWebp(Data))
        return ProbeWebpFrames(Data);
    return {};
}

std::unique_ptr<TFrameReader> OpenFrames(const QByteArray& Data)
{
    if (IsGif(Data))
        return OpenGifFrames(Data);
    if (IsWebp(Data))
        return OpenWebpFrames(Data);
    return nullptr;
}
