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
    qsizetype Start;      // the first extension before the frame's image
    qsizetype Descriptor; // the image separator
    quint16 Left;
    quint16 Top;
    quint16 Width;
    quint16 Height;
};

void PutWord(QByteArray& Data, qsizetype Offset, quint16 Value)
{
    if (Offset >= 0 && Offset + 1 < Data.size()) {
        Data[Offset] = char(Value & 0xFF);
        Data[Offset + 1] = char(Value >> 8);
    }
}

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
                frames.push_back({extensionsStart, p, WordAt(Data, p + 1), WordAt(Data, p + 3),
                                  WordAt(Data, p + 5), WordAt(Data, p + 7)});
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

QSize GifLogicalScreen(const QByteArray& Data)
{
    return QSize(WordAt(Data, HeaderSize), WordAt(Data, HeaderSize + 2));
}

TGifFrameBytes SelectGifFrame(const QByteArray& Data, int Frame)
{
    TGifFrameBytes result;
    result.LogicalWidth = WordAt(Data, HeaderSize);
    result.LogicalHeight = WordAt(Data, HeaderSize + 2);
    const std::vector<TGifFrame> frames = FindFrames(Data);
    const int count = int(frames.size());
    if (count == 0 || Frame < 1) {
        result.Bytes = Data;
        return result;
    }
    const qsizetype prefix = frames.front().Start;
    result.Bytes = Data.left(prefix);
    if (Frame > count)
        return result;
    const TGifFrame& frame = frames[std::size_t(Frame - 1)];
    result.FrameLeft = frame.Left;
    result.FrameTop = frame.Top;
    result.Bytes += Data.mid(frame.Start);
    // The decoder paints the first image on a canvas of the logical screen's
    // size: made the frame's own size, with the frame at its origin, the
    // picture is the frame alone (drawn at its offsets by the caller) and a
    // huge declared screen costs nothing.
    PutWord(result.Bytes, HeaderSize, frame.Width);
    PutWord(result.Bytes, HeaderSize + 2, frame.Height);
    const qsizetype descriptor = prefix + (frame.Descriptor - frame.Start);
    PutWord(result.Bytes, descriptor + 1, 0);
    PutWord(result.Bytes, descriptor + 3, 0);
    return result;
}
