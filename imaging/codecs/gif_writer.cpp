#include "imaging/codecs/gif_writer.h"

#include "imaging/codecs/flatten_over_white.h"
#include "imaging/codecs/gif_output.h"
#include "imaging/codecs/gif_quantiser.h"
#include "imaging/saving/save_progress.h"

#include <QIODevice>
#include <QImage>
#include <cstdint>

namespace
{
// The quantiser's share of the time, the lines' LZW the rest.
constexpr double QuantisingShare = 0.8;

bool Fail(QString* Reason, const QString& Text)
{
    if (Reason)
        *Reason = Text;
    return false;
}

// The part First + Done × Share of the save of this thread, if any: false
// once it is cancelled.
TGifProgress SaveSteps(TSaveProgress* Progress, double First, double Share)
{
    if (!Progress)
        return {};
    return [Progress, First, Share](double Done) {
        Progress->Report(First + Done * Share);
        return !Progress->Cancelled();
    };
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
    //    otherwise a palette fitted to it with error diffusion. A large
    //    picture takes seconds: the save of this thread sees how far it got,
    //    and its cancel stops the work between rows.
    TSaveProgress* progress = CurrentSaveProgress();
    const auto cancelled = [progress] { return progress && progress->Cancelled(); };
    const TPalettePicture reduced = QuantiseForGif(flat, SaveSteps(progress, 0.0, QuantisingShare));
    if (cancelled())
        return Fail(Reason, QStringLiteral("cancelled"));
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
    if (screenStatus == GIF_ERROR ||
        !PutGifImage(file.Gif(), width, height, reduced.Indices.data(), nullptr,
                     SaveSteps(progress, QuantisingShare, 1.0 - QuantisingShare)))
        return Fail(Reason, cancelled() ? QStringLiteral("cancelled") : file.Error());
    return file.Close(Reason);
}
