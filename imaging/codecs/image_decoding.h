#pragma once

#include "imaging/gp_status.h"
#include "imaging/image_limits.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <cstdint>

class QIODevice;

// The result of decoding an image file's bytes.
struct TDecodedImage {
    QImage Image;      // Format_ARGB32 (0xAARRGGBB, not premultiplied); null on failure
    QByteArray Format; // the detected file format as QImageReader names it ("png", "jpeg", ...)
    TGpStatus Status = TGpStatus::GenericError;
    QString Reason; // a readable reason when Status is not Ok, or what is damaged
    // The file is damaged; Image holds what decoded only when the options
    // asked to keep it (Status Ok), otherwise Status is DamagedImageStatus.
    bool Damaged = false;
};

// How a decode treats what it is given.
struct TDecodeOptions {
    // Keep what decodes from a damaged file (flagged Damaged) instead of
    // refusing it.
    bool KeepDamaged = false;
    // The reader to try, by its format name ("tga"), when the one the content
    // suggests cannot decode it: some formats have no magic of their own and
    // look like another ("tga" like "ico").
    QByteArray FormatHint;
};

// The status of a refused damaged file.
inline constexpr TGpStatus DamagedImageStatus = TGpStatus::GenericError;

// Decodes PNG, JPEG, GIF (first frame), BMP, TIFF, icons and whatever else
// Qt's readers know. Photos carrying an orientation tag come out upright.
// Damaged, truncated and oversized files give a failure status, never a crash.
// A decoder's warning or a short read is damage: the structure checks of
// damage_checks.h run first, and the reader's own warnings are collected
// instead of reaching standard error.
TDecodedImage DecodeImage(const QByteArray& Data);
TDecodedImage DecodeImage(const QByteArray& Data, const TDecodeOptions& Options);
TDecodedImage DecodeImage(QIODevice* Device);

// The file format the first bytes of a file announce (as QImageReader names
// it), or FormatHint when the content names none; empty when neither is a
// format that can be read. Needs no more than the first 64 KiB.
QByteArray DetectImageFormat(const QByteArray& Head, const QByteArray& FormatHint = {});
