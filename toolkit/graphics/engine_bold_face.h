#pragma once

#include <QByteArray>

// A bold font file whose outlines are as thin as its regular face's (Wine's
// Tahoma bold is one) draws bold text that does not look bold. Given such a
// file, this returns the same bytes with the OS/2 table saying "not bold,
// weight 600": the font database still offers it as the family's bold face
// (600 is the nearest weight to a bold request), while Qt's font engine,
// seeing a face lighter than the weight asked for, emboldens its outlines.
// Advances and heights stay the file's own, as no metric is touched.
// An empty array when the bytes are not a font with an OS/2 table.
QByteArray EngineEmboldenedFace(const QByteArray& FontFile);
