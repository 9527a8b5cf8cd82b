#pragma once

#include <QByteArray>
#include <QUuid>

// The kind of file an image was decoded from. Each kind has a published
// identifier of the form {B96B3Cxx-0728-11D3-9D7B-0000F81EF32E}.
enum class ImageRawFormat : int {
    RawUndefined = 0,
    RawMemoryBmp = 1,
    RawBmp = 2,
    RawEmf = 3,
    RawWmf = 4,
    RawJpeg = 5,
    RawPng = 6,
    RawGif = 7,
    RawTiff = 8,
    RawExif = 9,
    RawIcon = 10,
    RawWebp = 11,
    RawHeif = 12, // HEIC, HEIF and AVIF
};

// The published identifier of a kind; a null QUuid for RawUndefined.
QUuid RawFormatIdentifier(ImageRawFormat Kind);

// The kind whose identifier equals Identifier; RawUndefined when none does.
ImageRawFormat RawFormatKindOf(const QUuid& Identifier);

// The identifier for a format name as QImageReader reports it ("png", "jpeg", ...);
// a null QUuid for formats without a published identifier.
QUuid RawFormatFromReaderFormat(const QByteArray& ReaderFormat);
