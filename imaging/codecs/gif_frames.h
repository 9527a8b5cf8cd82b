#pragma once

#include "imaging/codecs/animation_decoding.h"

// The facts of a GIF from its blocks, the frames' data skipped undecoded.
TAnimationFacts ProbeGifFrames(const QByteArray& Data);

// A GIF's frames composed as browsers show them: the canvas starts
// transparent, a frame's transparent index leaves what lies below, disposal
// 2 clears the frame's area to transparent and 3 restores what it covered.
std::unique_ptr<TFrameReader> OpenGifFrames(const QByteArray& Data);
