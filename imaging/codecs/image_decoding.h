#pragma once

#include "imaging/failure.h"
#include "imaging/gp_status.h"
#include "imaging/image_limits.h"
#include "imaging/metadata/image_packets.h"

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
    QString Reason;                         // a readable reason when Status is not Ok, or what is damaged
    TFailureKind Kind = TFailureKind::None; // what kind of failure Reason tells of
    // The file is damaged; Image holds what decoded only when the options
    // asked to keep it (Status Ok), otherwise Status is DamagedImageStatus.
    bool Damaged = false;
    // The file's colour profile and metadata, for the outputs that keep them.
    TImagePackets Packets;
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
    // A picture whose header declares more pixels than this is refused from
    // the header (the reason names the limit), below the overall limit.
    std::int64_t MaxPixels = MaxDecodedPixels;
    // When valid and smaller than the picture, the decoded size: the reader
    // scales while reading where its format allows (JPEG), and otherwise the
    // full decode is scaled down at once, so only the small picture is kept.
    // The aspect ratio of the picture is kept inside this box.
    QSize ScaledSize;
};

// The status of a refused damaged file.
inline constexpr TGpStatus DamagedImageStatus = TGpStatus::GenericError;

// Decodes PNG, JPEG, GIF (first frame), BMP, TIFF, HEIF and AVIF, icons and whatever else
// Qt's readers know. Photos carrying an orientation tag come out upright.
// Damaged, truncated and oversized files give a failure status, never a crash.
// A decoder's warning or a short read is damage: the structure checks of
// damage_checks.h run first, and the reader's own warnings are collected
// instead of reaching standard error.
TDecodedImage DecodeImage(const QByteArray& Data);
TDecodedImage DecodeImage(const QByteArray& Data, const TDecodeOptions& Options);
TDecodedImage DecodeImage(QIODevice* Device);

// The colour profile and metadata of a file DecodeImage reads (see
// image_packets.h; HEIF's through the module lumivex_heif), without decoding the pixels.
TImagePackets ReadPicturePackets(const QByteArray& Data);

// The file format the first bytes of a file announce (as QImageReader names
// it), or FormatHint when the content names none; empty when neither is a
// format that can be read. Needs no more than the first 64 KiB.
QByteArray DetectImageFormat(const QByteArray& Head, const QByteArray& FormatHint = {});

// The size the header of an image file declares (after the orientation tag
// of a photo), read from its first bytes without decoding any pixel; invalid
// when the bytes name no readable format or the reader cannot tell.
QSize DeclaredImageSize(const QByteArray& Head);
