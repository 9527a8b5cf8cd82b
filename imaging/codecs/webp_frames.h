#pragma once

#include "imaging/codecs/animation_decoding.h"

// The facts of a WebP from its chunks (libwebp's demuxer), no frame decoded.
TAnimationFacts ProbeWebpFrames(const QByteArray& Data);

// A WebP's frames composed by libwebp's animation decoder (blending and
// disposal as its format defines them).
std::unique_ptr<TFrameReader> OpenWebpFrames(const QByteArray& Data);
