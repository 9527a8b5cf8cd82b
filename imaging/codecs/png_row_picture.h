#pragma once

#include "imaging/codecs/image_decoding.h"

#include <QByteArray>

// A PNG's whole picture read row by row by TPngRowDecoder: the pixels
// DecodeImage gives for the same file, in one inflate that checks the file
// on the way, instead of the damage check's inflate and then the reader's.
// An empty result (Status not Ok) only means that DecodeImage must decode the
// file: one the row decoder does not take, one over the options' limits or
// asked for at another size, and any damage, whose reasons DecodeImage gives.
TDecodedImage DecodePngRows(const QByteArray& Data, const TDecodeOptions& Options);

// DecodeImage's result; a PNG's read through DecodePngRows where it can be.
TDecodedImage DecodeImageQuickly(const QByteArray& Data, const TDecodeOptions& Options);
