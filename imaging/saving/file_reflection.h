#pragma once

#include "imaging/codecs/image_decoding.h"
#include "imaging/gp_status.h"
#include "imaging/reflection/reflection_parameters.h"
#include "imaging/saving/reflection_output.h"
#include "imaging/saving/save_formats.h"

#include <QByteArray>
#include <QString>
#include <functional>

class QIODevice;

// Which way a file's reflection is made.
enum class TReflectionRoad {
    // Rows streamed from decoder to encoder where the file allows it (a PNG
    // written as PNG), the whole picture otherwise, a PNG's read by the row
    // decoder where it takes the file.
    Fastest,
    // Always decode the whole picture with DecodeImage first (the reference
    // for the other).
    WholePicture,
};

// What became of one file's reflection.
struct TFileReflection {
    TGpStatus Status = TGpStatus::GenericError;
    QString Reason;        // why nothing was written
    QString Damage;        // written from a damaged file kept as far as it decodes
    bool Streamed = false; // the rows went from decoder to encoder without a whole picture
};

// Decodes an image file's bytes as the image control does (DecodeImage with
// Options), makes picture plus reflection and writes them in Format to
// FileName (a file by the rules of TOutputFile) or, when Device is given, to
// Device once everything is encoded. A damaged or truncated file is refused
// or kept exactly as DecodeImage decides, and never leaves part of an output
// behind. DoneWithInput, when given, is called as soon as Encoded is no
// longer needed, so the caller may free it. Quality is JPEG's and WebP's
// (reflection_output.h).
TFileReflection WriteFileReflection(const QByteArray& Encoded, const TDecodeOptions& Options,
                                    const TReflectionParameters& Parameters, ImageSaveFormat Format,
                                    const QString& FileName, QIODevice* Device = nullptr,
                                    const std::function<void()>& DoneWithInput = {},
                                    TReflectionRoad Road = TReflectionRoad::Fastest,
                                    int Quality = DefaultSaveQuality);
