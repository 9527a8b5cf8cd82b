#include "imaging/codecs/gif_writer.h"

#include "imaging/codecs/flatten_over_white.h"
#include "imaging/codecs/gif_output.h"
#include "imaging/codecs/gif_quantiser.h"

#include <QIODevice>
#include <QImage>
#include <cstdint>

namespace
{
bool Fail(QString* Reason, const QString& Text)
{
    if (Reason)
        *Reason = Text;
    return false;
}
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

    // 1. What the user saw: the picture over white (the picture itself when
    //    the saver flattened it already).
    const QImage flat = FlattenOverWhite(Image);
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
    ColorMapObject* colourMap = MakeGifColourMap(reduced.Palette);
    if (!colourMap)
        return Fail(Reason, QStringLiteral("out of memory for the colour table"));

    // 3. Write the GIF89a stream.
    TGifOutput file(Device);
    if (!file.Gif()) {
        GifFreeMapObject(colourMap);
        return Fail(Reason, file.Error());
    }
    EGifSetGifVersion(file.Gif(), true);
    const int screenStatus =
        EGifPutScreenDesc(file.Gif(), width, height, colourMap->BitsPerPixel, 0, colourMap);
    GifFreeMapObject(colourMap); // the file keeps its own copy
    if (screenStatus == GIF_ERROR || !PutGifImage(file.Gif(), width, height, reduced.Indices.data(), nullptr))
        return Fail(Reason, file.Error());
    return file.Close(Reason);
}
