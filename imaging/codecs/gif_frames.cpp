#include "imaging/codecs/gif_frames.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <gif_lib.h>
#include <vector>

namespace
{
struct TMemoryInput {
    const QByteArray* Data = nullptr;
    qsizetype Pos = 0;
};

int ReadFromMemory(GifFileType* Gif, GifByteType* Target, int Count)
{
    auto* input = static_cast<TMemoryInput*>(Gif->UserData);
    const qsizetype taken = std::clamp<qsizetype>(input->Data->size() - input->Pos, 0, Count);
    std::memcpy(Target, input->Data->constData() + input->Pos, std::size_t(taken));
    input->Pos += taken;
    return int(taken);
}

QString GifError(int Error)
{
    const char* text = GifErrorString(Error);
    return QString::fromLatin1(text ? text : "unknown GIF error");
}

// A giflib decoder over bytes in memory, closed on every path.
class TGifInput
{
  public:
    explicit TGifInput(const QByteArray& Data) : FInput{&Data, 0}
    {
        int error = 0;
        FGif = DGifOpen(&FInput, ReadFromMemory, &error);
    }
    ~TGifInput()
    {
        int error = 0;
        if (FGif)
            DGifCloseFile(FGif, &error);
    }
    TGifInput(const TGifInput&) = delete;
    TGifInput& operator=(const TGifInput&) = delete;
    GifFileType* Gif() const { return FGif; }
    // The next image descriptor, its extensions read on the way: false at
    // the trailer or, with Damage set, on a read error.
    // Plays receives what a looping extension on the way says.
    bool NextImage(GraphicsControlBlock& Control, int& Plays, QString& Damage);

  private:
    TMemoryInput FInput;
    GifFileType* FGif = nullptr;
};

bool TGifInput::NextImage(GraphicsControlBlock& Control, int& Plays, QString& Damage)
{
    Control = GraphicsControlBlock{DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};
    for (;;) {
        GifRecordType record = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(FGif, &record) != GIF_OK) {
            Damage = GifError(FGif->Error);
            return false;
        }
        if (record == TERMINATE_RECORD_TYPE)
            return false;
        if (record == IMAGE_DESC_RECORD_TYPE) {
            if (DGifGetImageDesc(FGif) != GIF_OK) {
                Damage = GifError(FGif->Error);
                return false;
            }
            // giflib keeps every descriptor in an array grown by one entry
            // per frame; nothing reads it, and a file of many frames would
            // otherwise cost the square of their number.
            GifFreeSavedImages(FGif);
            FGif->ImageCount = 0;
            return true;
        }
        if (record != EXTENSION_RECORD_TYPE)
            continue;
        int code = 0;
        GifByteType* block = nullptr;
        if (DGifGetExtension(FGif, &code, &block) != GIF_OK) {
            Damage = GifError(FGif->Error);
            return false;
        }
        if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4)
            DGifExtensionToGCB(block[0], block + 1, &Control);
        const bool looping = code == APPLICATION_EXT_FUNC_CODE && block && block[0] == 11 &&
                             std::memcmp(block + 1, "NETSCAPE2.0", 11) == 0;
        while (block) {
            if (DGifGetExtensionNext(FGif, &block) != GIF_OK) {
                Damage = GifError(FGif->Error);
                return false;
            }
            if (looping && block && block[0] >= 3 && block[1] == 1)
                Plays = [](int Repeats) {
                    return Repeats == 0 ? 0 : Repeats + 1;
                }(block[2] | (block[3] << 8));
        }
    }
}

// The rows of a frame in the order the file stores them.
std::vector<int> StoredRowOrder(int Height, bool Interlaced)
{
    std::vector<int> rows;
    rows.reserve(std::size_t(std::max(Height, 0)));
    if (!Interlaced) {
        for (int y = 0; y < Height; ++y)
            rows.push_back(y);
        return rows;
    }
    constexpr std::array<int, 4> Start{0, 4, 2, 1};
    constexpr std::array<int, 4> Step{8, 8, 4, 2};
    for (std::size_t pass = 0; pass < Start.size(); ++pass)
        for (int y = Start[pass]; y < Height; y += Step[pass])
            rows.push_back(y);
    return rows;
}

class TGifFrameReader final : public TFrameReader
{
  public:
    TGifFrameReader(const QByteArray& Data, const QSize& Canvas) : FInput(Data), FCanvas(Canvas) {}
    bool Next(TAnimationFrame& Frame, QString& Damage) override;

  private:
    // Undoes the last frame as its disposal asks, before the next is drawn.
    void Dispose();
    bool Draw(const GraphicsControlBlock& Control, QString& Damage);

    TGifInput FInput;
    QSize FCanvas;
    QImage FImage;
    int FDisposal = DISPOSAL_UNSPECIFIED;
    QRect FLastArea;
    QImage FCovered; // what a "restore previous" frame drew over
    int FPlays = 1;
};

void TGifFrameReader::Dispose()
{
    if (FDisposal == DISPOSE_BACKGROUND) {
        for (int y = FLastArea.top(); y <= FLastArea.bottom(); ++y)
            std::fill_n(reinterpret_cast<QRgb*>(FImage.scanLine(y)) + FLastArea.left(), FLastArea.width(), 0);
    } else if (FDisposal == DISPOSE_PREVIOUS && !FCovered.isNull()) {
        for (int y = 0; y < FLastArea.height(); ++y)
            std::memcpy(reinterpret_cast<QRgb*>(FImage.scanLine(FLastArea.top() + y)) + FLastArea.left(),
                        FCovered.constScanLine(y), std::size_t(FLastArea.width()) * 4);
    }
    FCovered = QImage();
}

bool TGifFrameReader::Draw(const GraphicsControlBlock& Control, QString& Damage)
{
    GifFileType* gif = FInput.Gif();
    const GifImageDesc& desc = gif->Image;
    const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
    const QRect frame(desc.Left, desc.Top, desc.Width, desc.Height);
    FLastArea = frame.intersected(QRect(QPoint(0, 0), FCanvas));
    if (Control.DisposalMode == DISPOSE_PREVIOUS && !FLastArea.isEmpty())
        FCovered = FImage.copy(FLastArea);
    // The palette as canvas pixels; an index past it, or the transparent
    // one, leaves the canvas as it is.
    std::array<QRgb, 256> colours{};
    std::array<bool, 256> drawn{};
    for (int i = 0; map && i < std::min(map->ColorCount, 256); ++i) {
        colours[std::size_t(i)] = qRgb(map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue);
        drawn[std::size_t(i)] = i != Control.TransparentColor;
    }
    std::vector<GifPixelType> line(std::size_t(std::max(desc.Width, 1)));
    for (const int y : StoredRowOrder(desc.Height, desc.Interlace)) {
        if (DGifGetLine(gif, line.data(), desc.Width) != GIF_OK) {
            Damage = GifError(gif->Error);
            return false;
        }
        const int row = desc.Top + y;
        if (row < FLastArea.top() || row > FLastArea.bottom())
            continue;
        auto* out = reinterpret_cast<QRgb*>(FImage.scanLine(row));
        for (int x = FLastArea.left(); x <= FLastArea.right(); ++x) {
            const GifPixelType index = line[std::size_t(x - desc.Left)];
            if (drawn[index])
                out[x] = colours[index];
        }
    }
    return true;
}

bool TGifFrameReader::Next(TAnimationFrame& Frame, QString& Damage)
{
    if (!FInput.Gif()) {
        Damage = QStringLiteral("the GIF cannot be opened");
        return false;
    }
    GraphicsControlBlock control;
    if (!FInput.NextImage(control, FPlays, Damage))
        return false;
    if (FImage.isNull()) {
        FImage = QImage(FCanvas, QImage::Format_ARGB32);
        if (FImage.isNull()) {
            Damage = QStringLiteral("out of memory for the canvas");
            return false;
        }
        FImage.fill(0);
    } else {
        Dispose();
    }
    if (!Draw(control, Damage))
        return false;
    FDisposal = control.DisposalMode;
    Frame.Image = FImage;
    Frame.DelayMs = control.DelayTime * 10;
    return true;
}
} // namespace

TAnimationFacts ProbeGifFrames(const QByteArray& Data)
{
    TAnimationFacts facts;
    TGifInput input(Data);
    GifFileType* gif = input.Gif();
    if (!gif)
        return facts;
    facts.Format = "gif";
    facts.Canvas = QSize(gif->SWidth, gif->SHeight);
    GraphicsControlBlock control;
    QString damage;
    while (input.NextImage(control, facts.Plays, damage)) {
        int codeSize = 0;
        GifByteType* block = nullptr;
        if (DGifGetCode(gif, &codeSize, &block) != GIF_OK)
            break;
        while (block)
            if (DGifGetCodeNext(gif, &block) != GIF_OK)
                return facts;
        ++facts.Frames;
        facts.StoredPixels += std::int64_t(gif->Image.Width) * gif->Image.Height;
    }
    return facts;
}

std::unique_ptr<TFrameReader> OpenGifFrames(const QByteArray& Data)
{
    const TAnimationFacts facts = ProbeGifFrames(Data);
    if (facts.Frames <= 0 || !facts.Canvas.isValid() || facts.Canvas.isEmpty())
        return nullptr;
    return std::make_unique<TGifFrameReader>(Data, facts.Canvas);
}

QImage FirstGifFrameIfPartial(const QByteArray& Data)
{
    TGifInput input(Data);
    GifFileType* gif = input.Gif();
    GraphicsControlBlock control;
    int plays = 1;
    QString damage;
    if (!gif || !input.NextImage(control, plays, damage))
        return {};
    const QRect canvas(0, 0, gif->SWidth, gif->SHeight);
    const QRect first(gif->Image.Left, gif->Image.Top, gif->Image.Width, gif->Image.Height);
    if (canvas.isEmpty() || first.contains(canvas))
        return {};
    const std::unique_ptr<TFrameReader> frames = OpenGifFrames(Data);
    TAnimationFrame frame;
    return frames && frames->Next(frame, damage) ? frame.Image : QImage();
}
