#pragma once

class QImage;

// The picture drawn over white, opaque: what formats without alpha carry.
QImage FlattenOverWhite(const QImage& Image);

// The same where Image lies, band by band, leaving it Format_RGB32 with the
// pixels FlattenOverWhite gives: a large picture is not held twice. Image
// must be the only holder of its pixels (it detaches otherwise).
void FlattenOverWhiteInPlace(QImage& Image);
