#include "pictures/gif_frames.h"

#include <vector>

namespace
{

// Sizes and offsets of the GIF blocks.
constexpr qsizetype HeaderSize = 6;           // "GIF87a" / "GIF89a"
constexpr qsizetype ScreenDescriptorSize = 7; // width, height, flags, background, aspect
constexpr qsizetype ImageDescriptorSize = 10; // separator, left, top, width, height, flags
constexpr quint8 ExtensionIntroducer = 0x21;
constexpr quint8 GraphicControlLabel = 0xF9;
constexpr quint8 ImageSeparator = 0x2C;
constexpr quint8 ColourTableFlag = 0x80;

quint8 ByteAt(const QByteArray& Data, qsizetype Offset)
{
    return Offset >= 0 && Offset < Data.size() ? quint8(Data[Offset]) : 0;
}

// Missing bytes past the end read as 0.
quint16 WordAt(const QByteArray& Data, qsizetype Offset)
{
    return quint16(ByteAt(Data, Offset) | (ByteAt(Data, Offset + 1) << 8));
}

// Bytes of the colour table that a flags byte announces.
qsizetype ColourTableSize(quint8 Flags)
{
    return (Flags & ColourTableFlag) ? 3 * (qsizetype(1) << ((Flags & 7) + 1)) : 0;
}

// The offset after a chain of data sub-blocks starting at Offset, or -1 when
// the bytes end first.
qsizetype SkipSubBlocks(const QByteArray& Data, qsizetype Offset)
{
    while (Offset < Data.size()) {
        const quint8 length = ByteAt(Data, Offset);
        ++Offset;
        if (length == 0)
            return Offset;
        Offset += length;
    }
    return -1;
}

struct TGifFrame {
    qsizetype Start; // the first extension before the frame's image
    quint16 Left;
    quint16 Top;
};

std::vector<TGifFrame> FindFrames(const QByteArray& Data)
{
    std::vector<TGifFrame> frames;
    if (!HasGifSignature(Data))
        return frames;
    qsizetype p = HeaderSize + ScreenDescriptorSize + ColourTableSize(ByteAt(Data, 10));
    qsizetype extensionsStart = -1;
    bool controlled = false;
    while (p >= 0 && p < Data.size()) {
        const quint8 introducer = ByteAt(Data, p);
        if (introducer == ExtensionIntroducer) {
            if (extensionsStart < 0)
                extensionsStart = p;
            controlled = controlled || ByteAt(Data, p + 1) == GraphicControlLabel;
            p = SkipSubBlocks(Data, p + 2);
        } else if (introducer == ImageSeparator) {
            if (controlled)
                frames.push_back({extensionsStart, WordAt(Data, p + 1), WordAt(Data, p + 3)});
            extensionsStart = -1;
            controlled = false;
            // After the descriptor and its colour table: the LZW code size, then the data.
            const qsizetype data = p + ImageDescriptorSize + ColourTableSize(ByteAt(Data, p + 9));
            p = SkipSubBlocks(Data, data + 1);
        } else {
            break; // the trailer, or bytes that start no block
        }
    }
    return frames;
}

} // namespace

bool HasGifSignature(const QByteArray& Data)
{
    return Data.size() >= 5 && Data.startsWith("GIF8");
}

int CountGifFrames(const QByteArray& Data)
{
    return int(FindFrames(Data).size());
}

TGifFrameBytes SelectGifFrame(const QByteArray& Data, int Frame)
{
    TGifFrameBytes result;
    result.LogicalWidth = WordAt(Data, HeaderSize);
    result.LogicalHeight = WordAt(Data, HeaderSize + 2);
    const std::vector<TGifFrame> frames = FindFrames(Data);
    const int count = int(frames.size());
    if (Frame >= 1 && Frame <= count) {
        result.FrameLeft = frames[std::size_t(Frame - 1)].Left;
        result.FrameTop = frames[std::size_t(Frame - 1)].Top;
    }
    if (count == 0 || Frame <= 1) {
        result.Bytes = Data;
        return result;
    }
    result.Bytes = Data.left(frames.front().Start);
    if (Frame <= count)
        result.Bytes += Data.mid(frames[std::size_t(Frame - 1)].Start);
    return result;
}
