#include "imaging/codecs/gif_animation_writer.h"

#include "imaging/codecs/flatten_over_white.h"
#include "imaging/codecs/gif_output.h"

#include <QImage>
#include <algorithm>

namespace
{
bool Fail(QString* Reason, const QString& Text)
{
    if (Reason)
        *Reason = Text;
    return false;
}

std::uint32_t ColourKey(const std::array<std::uint8_t, 3>& Colour)
{
    return std::uint32_t(Colour[0]) << 16 | std::uint32_t(Colour[1]) << 8 | Colour[2];
}

// A colour table that giflib frees with the object.
struct TColourMap {
    ColorMapObject* Map;
    explicit TColourMap(const std::vector<std::array<std::uint8_t, 3>>& Palette)
        : Map(MakeGifColourMap(Palette))
    {
    }
    ~TColourMap() { GifFreeMapObject(Map); }
    TColourMap(const TColourMap&) = delete;
    TColourMap& operator=(const TColourMap&) = delete;
};
} // namespace

TGifAnimationWriter::TGifAnimationWriter(const QSize& Canvas, int Plays) : FCanvas(Canvas), FPlays(Plays) {}

TGifAnimationWriter::~TGifAnimationWriter() = default;

bool TGifAnimationWriter::Start(TGifOutput& Output, const ColorMapObject* Global, QString* Reason) const
{
    GifFileType* gif = Output.Gif();
    if (!gif)
        return Fail(Reason, Output.Error());
    EGifSetGifVersion(gif, true);
    if (EGifPutScreenDesc(gif, FCanvas.width(), FCanvas.height(), 8, 0, Global) == GIF_ERROR)
        return Fail(Reason, Output.Error());
    if (FPlays == 1)
        return true;
    const int repeats = FPlays <= 0 ? 0 : std::min(FPlays - 1, 0xFFFF);
    const GifByteType loop[3] = {1, GifByteType(repeats & 0xFF), GifByteType((repeats >> 8) & 0xFF)};
    if (EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_ERROR ||
        EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0") == GIF_ERROR ||
        EGifPutExtensionBlock(gif, 3, loop) == GIF_ERROR || EGifPutExtensionTrailer(gif) == GIF_ERROR)
        return Fail(Reason, Output.Error());
    return true;
}

bool TGifAnimationWriter::PutFrame(TGifOutput& Output, const TPalettePicture& Picture, int Delay,
                                   bool LocalTable, QString* Reason) const
{
    GifFileType* gif = Output.Gif();
    // Every frame covers the canvas and is opaque: what it leaves behind
    // never shows.
    const GraphicsControlBlock control{DISPOSE_DO_NOT, false, Delay, NO_TRANSPARENT_COLOR};
    GifByteType extension[4];
    const std::size_t length = EGifGCBToExtension(&control, extension);
    if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, int(length), extension) == GIF_ERROR)
        return Fail(Reason, Output.Error());
    if (!LocalTable)
        return PutGifImage(gif, FCanvas.width(), FCanvas.height(), Picture.Indices.data(), nullptr) ||
               Fail(Reason, Output.Error());
    const TColourMap map(Picture.Palette);
    if (!map.Map)
        return Fail(Reason, QStringLiteral("out of memory for the colour table"));
    return PutGifImage(gif, FCanvas.width(), FCanvas.height(), Picture.Indices.data(), map.Map) ||
           Fail(Reason, Output.Error());
}

void TGifAnimationWriter::Remember(TFrame Frame)
{
    for (const auto& colour : Frame.Picture.Palette) {
        if (FShared.size() > 256)
            break;
        const auto [place, added] =
            FShared.try_emplace(ColourKey(colour), std::uint8_t(FSharedPalette.size()));
        if (added)
            FSharedPalette.push_back(colour);
    }
    FSharedFits = FShared.size() <= 256;
    if (FSharedFits) {
        FKept.push_back(std::move(Frame));
    } else {
        // One table cannot hold them: the indices are no longer needed.
        FKept = {};
        FShared = {};
        FSharedPalette = {};
    }
}

TPalettePicture TGifAnimationWriter::Reduce(const QImage& Frame)
{
    const QImage flat = FlattenOverWhite(Frame);
    return flat.isNull() ? TPalettePicture() : QuantiseForGif(flat);
}

bool TGifAnimationWriter::Add(const QImage& Frame, int DelayMs, QString* Reason)
{
    return Add(Reduce(Frame), Frame.size(), DelayMs, Reason);
}

bool TGifAnimationWriter::Add(TPalettePicture Reduced, const QSize& Size, int DelayMs, QString* Reason)
{
    if (FFailed)
        return Fail(Reason, QStringLiteral("the GIF stream failed before"));
    if (Size != FCanvas || FCanvas.width() > 0xFFFF || FCanvas.height() > 0xFFFF)
        return Fail(Reason, QStringLiteral("a frame of %1 × %2 pixels does not fit a GIF of %3 × %4")
                                .arg(Size.width())
                                .arg(Size.height())
                                .arg(FCanvas.width())
                                .arg(FCanvas.height()));
    if (!FStarted) {
        FStarted = true;
        FBuffer.open(QIODevice::WriteOnly);
        FOutput = std::make_unique<TGifOutput>(&FBuffer);
        if (!Start(*FOutput, nullptr, Reason))
            return !(FFailed = true);
    }
    TFrame frame{std::move(Reduced), std::clamp((DelayMs + 5) / 10, 0, 0xFFFF)};
    if (frame.Picture.Palette.empty() ||
        frame.Picture.Indices.size() != std::size_t(FCanvas.width()) * std::size_t(FCanvas.height()))
        return Fail(Reason, QStringLiteral("out of memory reducing the frame to 256 colours"));
    if (!PutFrame(*FOutput, frame.Picture, frame.Delay, true, Reason))
        return !(FFailed = true);
    if (FSharedFits)
        Remember(std::move(frame));
    return true;
}

bool TGifAnimationWriter::OneTableFile(QByteArray& File, QString* Reason) const
{
    QBuffer buffer(&File);
    buffer.open(QIODevice::WriteOnly);
    TGifOutput output(&buffer);
    const TColourMap global(FSharedPalette);
    if (!global.Map)
        return Fail(Reason, QStringLiteral("out of memory for the colour table"));
    if (!Start(output, global.Map, Reason))
        return false;
    for (const TFrame& frame : FKept) {
        TPalettePicture shared;
        shared.Indices.resize(frame.Picture.Indices.size());
        std::transform(
            frame.Picture.Indices.begin(), frame.Picture.Indices.end(), shared.Indices.begin(),
            [&](std::uint8_t Index) { return FShared.at(ColourKey(frame.Picture.Palette[Index])); });
        if (!PutFrame(output, shared, frame.Delay, false, Reason))
            return false;
    }
    return output.Close(Reason);
}

bool TGifAnimationWriter::Finish(QByteArray& File, QString* Reason)
{
    if (FFailed || !FStarted)
        return Fail(Reason, FStarted ? QStringLiteral("the GIF stream failed before")
                                     : QStringLiteral("the animation has no frame"));
    if (!FOutput->Close(Reason))
        return false;
    File = FBuffer.data();
    FBuffer.close();
    if (!FSharedFits || FKept.size() < 2)
        return true;
    QByteArray oneTable;
    if (!OneTableFile(oneTable, Reason))
        return false;
    if (oneTable.size() <= File.size())
        File = std::move(oneTable);
    return true;
}
