#pragma once

#include <QByteArray>
#include <QSize>
#include <QtGlobal>

// Frame selection in a GIF by rewriting its bytes, so that a decoder that
// reads only the first image shows the chosen one.
//
// The blocks are walked as the format lays them out (header, logical screen
// descriptor, global colour table, then extensions and images with their
// data sub-blocks) rather than searched for byte patterns, which would also
// match inside compressed image data and would miss a control extension
// separated from its image by another extension (the looping block that
// animation tools put before the first image). A frame is an image preceded
// by a graphic control extension; it starts with the first extension before
// it. The walk stops at the trailer, at a byte that starts no block, or where
// the bytes end, so truncated or hostile data costs one pass and nothing more.

// True for at least 5 bytes beginning with "GIF8" (both GIF versions).
bool HasGifSignature(const QByteArray& Data);

// Number of frames in Data (0 when it has none or is not a GIF).
int CountGifFrames(const QByteArray& Data);

struct TGifFrameBytes {
    QByteArray Bytes; // what is decoded
    quint16 FrameLeft = 0;
    quint16 FrameTop = 0;
    quint16 LogicalWidth = 0;
    quint16 LogicalHeight = 0;
};

// The logical screen size declared in the header (0 x 0 when it is cut off).
QSize GifLogicalScreen(const QByteArray& Data);

// The bytes to decode for the 1-based Frame: everything before the first
// frame, then everything from frame Frame on, with the logical screen made the
// frame's size and the frame placed at the origin, so that the decoded picture
// is the frame alone. A Frame below 1 keeps every byte unchanged; one beyond
// the last frame keeps only the part before the first frame. The offsets are
// those of frame Frame's image descriptor (0 when there is no such frame); the
// logical screen size is the one Data declares.
TGifFrameBytes SelectGifFrame(const QByteArray& Data, int Frame);
