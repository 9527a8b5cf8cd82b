#pragma once

#include "imaging/gp_status.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <span>

class QImage;
class QIODevice;

// The file format a reflection is saved in, as callers name it.
enum class ImageSaveFormat : std::uint8_t {
    Png = 0,
    Bmp = 1,
    Jpeg = 2,
    Tiff = 3,
    Gif = 4,
    Webp = 5,
    Avif = 6,
};

struct TImagePackets;

// What a writer is given besides the pixels.
struct TWriteSettings {
    int Quality = -1; // percent, or -1 for the writer's own default (JPEG, WebP and AVIF use it)
    // The input's colour profile and metadata, for the formats with room for
    // them (EXIF already set upright for the output); nullptr: none.
    const TImagePackets* Packets = nullptr;
    QStringList* Warnings = nullptr; // what the format could not take, and why
};

// Writes Image into Device as Settings ask. Reason receives the failure, if any.
using TImageFormatWriter = bool (*)(const QImage& Image, QIODevice* Device, const TWriteSettings& Settings,
                                    QString* Reason);

// Whether a format's writer can be used on this system; Reason receives why
// not.
using TImageFormatReady = bool (*)(QString* Reason);

// Everything the program knows about one save format: the window, the
// command line and saving all read it from here.
struct TSaveFormatInfo {
    ImageSaveFormat Format;
    const char* Description;     // as messages name it ("JPEG")
    const char* OptionName;      // the command line's name for it (lower case)
    const char* OptionAlias;     // a second name the command line accepts, or nullptr
    const char* Extension;       // of the files written in it (lower case, no dot)
    const char* OtherExtensions; // further extensions that name it, blank-separated ("jpeg jpe")
    const char* MimeType;        // how the encoder records name it
    bool KeepsAlpha;             // false: written flattened over white, as the window showed it
    bool HoldsProfile;           // false: a profiled picture's colours are converted to sRGB instead
    int MaxSide;                 // the largest width or height the format can hold; 0: no limit of its own
    TImageFormatWriter Write;
    bool HoldsAnimation = false;       // an animated picture is written frame by frame (animation_saving.h)
    TImageFormatReady Ready = nullptr; // nullptr: always usable
};

// Encodes Image in Format at Quality (percent, -1 for the writer's own) into
// Device, straight through the format's writer: formats without alpha get
// it flattened over white, a side over the format's bound is refused.
// InvalidParameter for a null image or a device that cannot be written.
// Packets, when given, go into the formats with room for them; what cannot
// is named in Warnings.
TGpStatus EncodeInFormat(const QImage& Image, const TSaveFormatInfo& Format, int Quality, QIODevice* Device,
                         QString* Reason = nullptr, const TImagePackets* Packets = nullptr,
                         QStringList* Warnings = nullptr);

// The same for a picture nobody else holds: a format without alpha gets it
// flattened over white in place, without a second copy of its pixels.
TGpStatus EncodeInFormat(QImage&& Image, const TSaveFormatInfo& Format, int Quality, QIODevice* Device,
                         QString* Reason = nullptr, const TImagePackets* Packets = nullptr,
                         QStringList* Warnings = nullptr);

// The same into FileName, written as WriteOutputFile does (a regular file
// replaced only when the new one is complete, a device or FIFO written in
// place, a link's target written and the link kept).
TGpStatus SaveInFormat(const QImage& Image, const TSaveFormatInfo& Format, int Quality,
                       const QString& FileName, QString* Reason = nullptr,
                       const TImagePackets* Packets = nullptr, QStringList* Warnings = nullptr);
TGpStatus SaveInFormat(QImage&& Image, const TSaveFormatInfo& Format, int Quality, const QString& FileName,
                       QString* Reason = nullptr, const TImagePackets* Packets = nullptr,
                       QStringList* Warnings = nullptr);

// The formats in the order the command line lists them: png, jpg, gif, bmp, tiff, webp, avif.
std::span<const TSaveFormatInfo> SaveFormats();

// The record of Format; nullptr for a value outside the enumeration.
const TSaveFormatInfo* FindSaveFormat(ImageSaveFormat Format);

// The record whose MIME type is exactly MimeType, or nullptr.
const TSaveFormatInfo* FindSaveFormatByMimeType(const QString& MimeType);

// The record a command-line name (lower case, alias or not) names, or nullptr.
const TSaveFormatInfo* FindSaveFormatByOptionName(const QString& Name);

// The record whose extension (any of them, in any letter case, without the
// dot) is Suffix, or nullptr.
const TSaveFormatInfo* FindSaveFormatByExtension(const QString& Suffix);

// The command line's names for the formats: "png, jpg, gif, bmp, tiff, webp or avif".
QString SaveFormatOptionNames();
