#include "imaging/codecs/gif_writer.h"

#include "imaging/codecs/flatten_over_white.h"
#include "imaging/codecs/gif_quantiser.h"

#include <QIODevice>
#include <QImage>
#include <cstdint>
#include <gif_lib.h>

namespace
{

int WriteToDevice(GifFileType* Gif, const GifByteType* Bytes, int Length)
{
    auto* device = static_cast<QIODevice*>(Gif->UserData);
    const qint64 written = device->write(reinterpret_cast<const char*>(Bytes), Length);
    return written < 0 ? 0 : int(written);
}

bool Fail(QString* Reason, const QString& Text)
{
    if (Reason)
        *Reason = Text;
    return false;
}

QString GifErrorText(int Error)
{
    const char* text = GifErrorString(Error);
    return text ? QString::fromLatin1(text) : QStringLiteral("GIF error %1").arg(Error);
}

// Closes the file on every path; giflib frees it even when closing fails.
struct TGifCloser {
    GifFileType* Gif = nullptr;
    ~TGifCloser()
    {
        if (Gif) {
            int error = 0;
            EGifCloseFile(Gif, &error);
        }
    }
};

} // namespace

bool WriteGifImage(const QImage& Image, QIODevice* Device, QString* Reason)
{
    if (Image.isNull())
        return Fail(Reason, QStringLiteral("no image"));
    if (!Device || !Device->isWritable())
        return Fail(Reason, QStringLiteral("the target is not writable"));
    if (Image.width() > 0xFFFF || Image.height() > 0xFFFF)
        return Fail(
            Reason,
            QStringLiteral("image too large for GIF: %1 × %2").arg(Image.width()).arg(Image.height()));

    // 1. What the user saw: the picture over white, as 8-bit channels.
    const QImage flat = FlattenOverWhite(Image).convertToFormat(QImage::Format_RGB888);
    if (flat.isNull())
        return Fail(Reason, QStringLiteral("out of memory flattening the image"));
    const int width = flat.width();
    const int height = flat.height();
    const std::size_t count = std::size_t(width) * std::size_t(height);

    // 2. At most 256 colours: the exact ones when the picture has no more,
    //    otherwise a palette fitted to it with error diffusion.
    const TPalettePicture reduced = QuantiseForGif(flat);
    if (reduced.Palette.empty() || reduced.Indices.size() != count)
        return Fail(Reason, QStringLiteral("out of memory reducing the image to 256 colours"));
    const int colourCount = int(reduced.Palette.size());
    GifColorType palette[256] = {};
    for (int i = 0; i < colourCount; ++i)
        palette[i] = GifColorType{reduced.Palette[std::size_t(i)][0], reduced.Palette[std::size_t(i)][1],
                                  reduced.Palette[std::size_t(i)][2]};

    // A colour table's size is a power of two; unused entries stay black.
    int tableSize = 2;
    while (tableSize < colourCount)
        tableSize *= 2;
    ColorMapObject* colourMap = GifMakeMapObject(tableSize, palette);
    if (!colourMap)
        return Fail(Reason, QStringLiteral("out of memory for the colour table"));

    // 3. Write the GIF89a stream.
    int error = 0;
    TGifCloser file{EGifOpen(Device, WriteToDevice, &error)};
    if (!file.Gif) {
        GifFreeMapObject(colourMap);
        return Fail(Reason, GifErrorText(error));
    }
    EGifSetGifVersion(file.Gif, true);
    const int screenStatus =
        EGifPutScreenDesc(file.Gif, width, height, colourMap->BitsPerPixel, 0, colourMap);
    GifFreeMapObject(colourMap); // the file keeps its own copy
    if (screenStatus == GIF_ERROR)
        return Fail(Reason, GifErrorText(file.Gif->Error));
    if (EGifPutImageDesc(file.Gif, 0, 0, width, height, false, nullptr) == GIF_ERROR)
        return Fail(Reason, GifErrorText(file.Gif->Error));
    for (int y = 0; y < height; ++y)
        if (EGifPutLine(file.Gif, const_cast<GifByteType*>(reduced.Indices.data()) + std::size_t(y) * width,
                        width) == GIF_ERROR)
            return Fail(Reason, GifErrorText(file.Gif->Error));

    GifFileType* gif = file.Gif;
    file.Gif = nullptr;
    if (EGifCloseFile(gif, &error) == GIF_ERROR)
        return Fail(Reason, GifErrorText(error));
    return true;
}
