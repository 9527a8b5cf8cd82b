#pragma once

#include "imaging/saving/save_formats.h"

#include <QString>
#include <QUuid>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// Capabilities of an encoder record.
enum TImageCodecFlags : std::uint32_t {
    ImageCodecFlagsEncoder = 0x00000001,
    ImageCodecFlagsDecoder = 0x00000002,
    ImageCodecFlagsSupportBitmap = 0x00000004,
    ImageCodecFlagsBuiltin = 0x00010000,
};

// One installed encoder.
struct TImageEncoderInfo {
    QUuid ClassId;  // names the encoder in a save call
    QUuid FormatId; // the raw-format identifier of the files it writes
    QString CodecName;
    QString DllName; // the library doing the work
    QString FormatDescription;
    QString FilenameExtension;
    QString MimeType;
    std::uint32_t Flags = 0;
    std::uint32_t Version = 0;
};

// The installed encoders, listed BMP, JPEG, GIF, TIFF, PNG, WebP, AVIF.
const std::vector<TImageEncoderInfo>& ImageEncoders();

// The encoder record with this class id, or none.
const TImageEncoderInfo* FindEncoderInfo(const QUuid& ClassId);

// The MIME type searched for Format (from the save formats); empty for values
// outside the enumeration.
QString MimeTypeOfSaveFormat(ImageSaveFormat Format);

// The class id of the first encoder (in the given or installed list) whose
// MIME type equals Format's exactly (case-sensitive); nothing when no record
// matches or Format is outside the enumeration.
std::optional<QUuid> FindImageEncoder(ImageSaveFormat Format);
std::optional<QUuid> FindImageEncoder(ImageSaveFormat Format, std::span<const TImageEncoderInfo> Encoders);

// Parameter value types; the quality is a Long.
inline constexpr std::uint32_t EncoderParameterValueTypeLong = 4;

// The parameter asking for a quality in percent.
QUuid EncoderQuality();

// One encoder parameter; it owns its values, so they stay valid as long as
// the parameter block does.
struct TEncoderParameter {
    QUuid Guid;
    std::uint32_t NumberOfValues = 0;
    std::uint32_t Type = 0;
    std::vector<std::uint32_t> Values;
};

struct TEncoderParameters {
    std::vector<TEncoderParameter> Parameter;

    std::uint32_t Count() const { return std::uint32_t(Parameter.size()); }
    // The quality asked for, when the block holds a well-formed quality parameter.
    std::optional<std::uint32_t> Quality() const;
};

// One parameter: EncoderQuality, one Long value, Percent clamped to 0..100.
TEncoderParameters BuildQualityParameters(int Percent);
