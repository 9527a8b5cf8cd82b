#pragma once

#include <QByteArray>
#include <QtGlobal>

// Frame selection in a GIF by rewriting its bytes, so that a decoder that
// reads only the first image shows the chosen one. A frame header is a
// graphic control extension (21 F9 04, four bytes) directly followed by an
// image descriptor (2C at +8); each one found starts a frame. Every read is
// bounds-checked, so truncated or hostile bytes cost one pass and nothing more.

// True for at least 5 bytes beginning with "GIF8" (both GIF versions).
bool HasGifSignature(const QByteArray& Data);

// Number of frame headers in Data (0 when it has none).
int CountGifFrames(const QByteArray& Data);

struct TGifFrameBytes {
    QByteArray Bytes; // what is decoded
    quint16 FrameLeft = 0;
    quint16 FrameTop = 0;
    quint16 LogicalWidth = 0;
    quint16 LogicalHeight = 0;
};

// The bytes to decode for the 1-based Frame: everything before the first
// frame header, then everything from frame Frame's header to the end. A
// Frame of 1 or below keeps every byte; one beyond the last frame keeps only
// the part before the first frame header. The offsets are those of frame
// Frame's image descriptor (0 when it has none); the logical screen size is
// read from the header.
TGifFrameBytes SelectGifFrame(const QByteArray& Data, int Frame);
