#pragma once

#include "imaging/codecs/image_decoding.h"

#include <QByteArray>
#include <QSize>
#include <QStringList>

// HEIF containers (HEIC from phones, AVIF) read through the optional module
// lumivex_heif (heif_module.h), which holds libheif: the primary image with
// its rotation and mirroring applied, its colour profile, EXIF and XMP
// packets. Without the module such a file is refused as unsupported, saying
// why; recognising one needs no module.

// The format a HEIF file's first bytes announce ("heif" or "avif"), empty
// for anything else. Needs no more than the first few dozen bytes.
QByteArray DetectHeifFormat(const QByteArray& Head);

// The file name suffixes of HEIF files ("heic", "heif", "avif"), for open
// dialogs; Qt's readers do not know them.
QStringList HeifFileSuffixes();

// The upright size the file's boxes declare, read without decoding a pixel;
// invalid when Head does not hold them (the boxes may lie after the data)
// or the module is missing.
QSize DeclaredHeifSize(const QByteArray& Head);

// The primary image's colour profile, EXIF and XMP, read from the boxes
// without decoding a pixel; empty for anything but a readable HEIF file.
TImagePackets ReadHeifPackets(const QByteArray& Data);

// Decodes the primary image as DecodeImage decodes other formats: the
// declared size checked against Options' limit before any pixel exists,
// damage refused (libheif keeps nothing of a broken stream), the picture in
// Format_ARGB32 and scaled into Options.ScaledSize when one is asked for.
TDecodedImage DecodeHeif(const QByteArray& Data, const TDecodeOptions& Options);
