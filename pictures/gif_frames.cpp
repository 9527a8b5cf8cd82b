#include "pictures/gif_frames.h"

namespace
{

// Layout of a frame header: the graphic control extension (introducer 0x21,
// label 0xF9, block size 4, four bytes of data, terminator) is directly
// followed by an image descriptor (separator 0x2C, then left, top, width and
// height as 16-bit little-endian values).
constexpr int ImageDescriptorOffset = 8;
constexpr int FrameLeftOffset = 9;
constexpr int FrameTopOffset = 11;
constexpr int LogicalWidthOffset = 6;
constexpr int LogicalHeightOffset = 8;

quint8 ByteAt(const QByteArray& Data, qsizetype Offset)
{
    return Offset >= 0 && Offset < Data.size() ? quint8(Data[Offset]) : 0;
}

// Missing bytes past the end read as 0.
quint16 WordAt(const QByteArray& Data, qsizetype Offset)
{
    return quint16(ByteAt(Data, Offset) | (ByteAt(Data, Offset + 1) << 8));
}

// Only tested where the descriptor's separator and its first byte fit.
bool StartsFrameHeader(const QByteArray& Data, qsizetype Offset)
{
    if (Offset + FrameLeftOffset >= Data.size())
        return false;
    return ByteAt(Data, Offset) == 0x21 && ByteAt(Data, Offset + 1) == 0xF9 &&
           ByteAt(Data, Offset + 2) == 0x04 && ByteAt(Data, Offset + ImageDescriptorOffset) == 0x2C;
}

} // namespace

bool HasGifSignature(const QByteArray& Data)
{
    return Data.size() >= 5 && Data.startsWith("GIF8");
}

int CountGifFrames(const QByteArray& Data)
{
    int count = 0;
    for (qsizetype p = 0; p < Data.size(); ++p)
        if (StartsFrameHeader(Data, p))
            ++count;
    return count;
}

TGifFrameBytes SelectGifFrame(const QByteArray& Data, int Frame)
{
    TGifFrameBytes result;
    result.LogicalWidth = WordAt(Data, LogicalWidthOffset);
    result.LogicalHeight = WordAt(Data, LogicalHeightOffset);
    // The kept bytes are at most two runs of the input: the part before the
    // first frame header, and everything from the selected header on.
    qsizetype firstHeader = -1, selectedHeader = -1;
    int next = 1; // the number the next frame header gets
    for (qsizetype p = 0; p < Data.size() && selectedHeader < 0; ++p) {
        if (!StartsFrameHeader(Data, p))
            continue;
        if (firstHeader < 0)
            firstHeader = p;
        if (Frame == next) {
            result.FrameLeft = WordAt(Data, p + FrameLeftOffset);
            result.FrameTop = WordAt(Data, p + FrameTopOffset);
            selectedHeader = p;
        }
        ++next;
    }
    if (firstHeader < 0 || Frame <= 1) {
        result.Bytes = Data;
        return result;
    }
    result.Bytes = Data.left(firstHeader);
    if (selectedHeader >= 0)
        result.Bytes += Data.mid(selectedHeader);
    return result;
}
