#include "imaging/codecs/gif_output.h"

#include <QIODevice>

namespace
{
int WriteToDevice(GifFileType* Gif, const GifByteType* Bytes, int Length)
{
    auto* device = static_cast<QIODevice*>(Gif->UserData);
    const qint64 written = device->write(reinterpret_cast<const char*>(Bytes), Length);
    return written < 0 ? 0 : int(written);
}
} // namespace

QString GifErrorText(int Error)
{
    const char* text = GifErrorString(Error);
    return text ? QString::fromLatin1(text) : QStringLiteral("GIF error %1").arg(Error);
}

TGifOutput::TGifOutput(QIODevice* Device)
{
    FGif = EGifOpen(Device, WriteToDevice, &FOpenError);
}

TGifOutput::~TGifOutput()
{
    if (FGif) {
        int error = 0;
        EGifCloseFile(FGif, &error);
    }
}

QString TGifOutput::Error() const
{
    return GifErrorText(FGif ? FGif->Error : FOpenError);
}

bool TGifOutput::Close(QString* Reason)
{
    GifFileType* gif = FGif;
    FGif = nullptr;
    int error = 0;
    if (gif && EGifCloseFile(gif, &error) != GIF_ERROR)
        return true;
    if (Reason)
        *Reason = GifErrorText(gif ? error : FOpenError);
    return false;
}

ColorMapObject* MakeGifColourMap(const std::vector<std::array<std::uint8_t, 3>>& Palette)
{
    GifColorType colours[256] = {};
    const std::size_t count = std::min<std::size_t>(Palette.size(), 256);
    for (std::size_t i = 0; i < count; ++i)
        colours[i] = GifColorType{Palette[i][0], Palette[i][1], Palette[i][2]};
    int tableSize = 2;
    while (tableSize < int(count))
        tableSize *= 2;
    return GifMakeMapObject(tableSize, colours);
}

bool PutGifImage(GifFileType* Gif, int Width, int Height, const std::uint8_t* Indices,
                 const ColorMapObject* LocalMap, const TGifProgress& Progress)
{
    if (EGifPutImageDesc(Gif, 0, 0, Width, Height, false, LocalMap) == GIF_ERROR)
        return false;
    for (int y = 0; y < Height; ++y) {
        if (EGifPutLine(Gif, const_cast<GifByteType*>(Indices) + std::size_t(y) * Width, Width) == GIF_ERROR)
            return false;
        if (Progress && !Progress(double(y + 1) / Height))
            return false;
    }
    return true;
}
