#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

// Chunk layout and checksums, the zlib stream inflated no further than the
// rows need (an inflate bomb is refused before it costs time), row filters.
// Unreadable, when given, is set for damage that libpng fails on or that
// would cost it time without bound (an inflate bomb); only a wrong checksum
// of an ancillary chunk, which libpng merely warns about, is left readable.
QString FindPngDamage(const QByteArray& Data, bool* Unreadable = nullptr);

// What the first walk over a PNG file learns: its header, the chunks a
// decoder needs, and where the image data lies.
struct TPngLayout {
    qint64 Width = 0;
    qint64 Height = 0;
    int BitDepth = 0;
    int ColourType = 0;
    int Channels = 0;
    bool Interlaced = false;
    QByteArray Palette;      // PLTE's body, if any
    QByteArray Transparency; // tRNS's body, if any
    // A chunk the whole-picture reader treats in a way of its own: a critical
    // chunk it does not know, orientation data, compressed text or profiles
    // whose damage its decoder reports.
    bool HasUnusualChunk = false;
    struct TPiece {
        qsizetype Offset = 0;
        qsizetype Size = 0;
    };
    std::vector<TPiece> ImageData; // the IDAT bodies, in file order
};

// The first part of FindPngDamage, before anything is inflated: signature,
// chunk layout, every checksum, the header, and compressed data no larger
// than the picture can need. Empty text when all of it is sound.
QString ScanPngLayout(const QByteArray& Data, TPngLayout& Layout, bool* Unreadable = nullptr);

// Bytes of one row as stored (the filter byte not included) and the bytes a
// whole pixel takes, at least one, as the row filters count them.
qint64 PngRowBytes(const TPngLayout& Layout);
int PngFilterBytesPerPixel(const TPngLayout& Layout);
