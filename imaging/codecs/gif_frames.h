#pragma once

#include "imaging/codecs/animation_decoding.h"

// The facts of a GIF from its blocks, the frames' data skipped undecoded.
TAnimationFacts ProbeGifFrames(const QByteArray& Data);

// A GIF's frames composed as browsers show them: the canvas starts
// transparent, a frame's transparent index leaves what lies below, disposal
// 2 clears the frame's area to transparent and 3 restores what it covered.
std::unique_ptr<TFrameReader> OpenGifFrames(const QByteArray& Data);

// The first frame composed as above when it leaves part of the canvas
// uncovered (Qt's reader leaves those pixels as it found them in memory);
// a null image when it covers the canvas or cannot be read.
QImage FirstGifFrameIfPartial(const QByteArray& Data);
