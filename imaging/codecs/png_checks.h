#pragma once

#include <QByteArray>
#include <QString>

// Chunk layout and checksums, the zlib stream inflated no further than the
// rows need (an inflate bomb is refused before it costs time), row filters.
// Unreadable, when given, is set for damage that libpng fails on or that
// would cost it time without bound (an inflate bomb); only a wrong checksum
// of an ancillary chunk, which libpng merely warns about, is left readable.
QString FindPngDamage(const QByteArray& Data, bool* Unreadable = nullptr);
