#include "tests/support/animated_files.h"

#include <QBuffer>
#include <gif_lib.h>
#include <utility>

namespace
{
int WriteToBuffer(GifFileType* Gif, const GifByteType* Bytes, int Length)
{
    return int(static_cast<QBuffer*>(Gif->UserData)->write(reinterpret_cast<const char*>(Bytes), Length));
}

// The rows of a frame in the order the file stores them.
std::vector<int> StoredRows(int Height, bool Interlaced)
{
    const std::vector<std::pair<int, int>> passes =
        Interlaced ? std::vector<std::pair<int, int>>{{0, 8}, {4, 8}, {2, 4}, {1, 2}}
                   : std::vector<std::pair<int, int>>{{0, 1}};
    std::vector<int> rows;
    for (const auto& [start, step] : passes)
        for (int y = start; y < Height; y += step)
            rows.push_back(y);
    return rows;
}
} // namespace

QByteArray MakeAnimatedGif(const QSize& Canvas, const std::vector<TGifFrameRecipe>& Frames, int LoopCount)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    int error = 0;
    GifFileType* gif = EGifOpen(&buffer, WriteToBuffer, &error);
    EGifSetGifVersion(gif, true);
    EGifPutScreenDesc(gif, Canvas.width(), Canvas.height(), 8, 0, nullptr);
    if (LoopCount >= 0) {
        const GifByteType loop[3] = {1, GifByteType(LoopCount & 0xFF), GifByteType(LoopCount >> 8)};
        EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE);
        EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0");
        EGifPutExtensionBlock(gif, 3, loop);
        EGifPutExtensionTrailer(gif);
    }
    for (const TGifFrameRecipe& frame : Frames) {
        const GraphicsControlBlock control{frame.Disposal, false, frame.DelayCs, frame.Transparent};
        GifByteType extension[4];
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, int(EGifGCBToExtension(&control, extension)),
                         extension);
        GifColorType colours[256] = {};
        for (std::size_t i = 0; i < frame.Palette.size() && i < 256; ++i)
            colours[i] =
                GifColorType{GifByteType(qRed(frame.Palette[i])), GifByteType(qGreen(frame.Palette[i])),
                             GifByteType(qBlue(frame.Palette[i]))};
        int tableSize = 2;
        while (tableSize < int(frame.Palette.size()))
            tableSize *= 2;
        ColorMapObject* map = GifMakeMapObject(tableSize, colours);
        EGifPutImageDesc(gif, frame.Area.x(), frame.Area.y(), frame.Area.width(), frame.Area.height(),
                         frame.Interlaced, map);
        GifFreeMapObject(map);
        for (const int y : StoredRows(frame.Area.height(), frame.Interlaced))
            EGifPutLine(gif, const_cast<GifByteType*>(frame.Pixels.data()) + y * frame.Area.width(),
                        frame.Area.width());
    }
    EGifCloseFile(gif, &error);
    return bytes;
}

TGifFrameRecipe SolidGifFrame(const QSize& Size, QRgb Colour, int DelayCs)
{
    TGifFrameRecipe frame;
    frame.Area = QRect(QPoint(0, 0), Size);
    frame.Palette = {Colour};
    frame.Pixels.assign(std::size_t(Size.width()) * std::size_t(Size.height()), 0);
    frame.DelayCs = DelayCs;
    return frame;
}
