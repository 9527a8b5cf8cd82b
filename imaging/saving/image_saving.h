#pragma once

#include "imaging/gp_status.h"

#include <QString>

class QImage;
class QIODevice;
class QUuid;
struct TEncoderParameters;

// Encodes Image with the encoder whose class id is Encoder (see
// image_encoders.h) into Device, with the writer of the save format whose MIME
// type the encoder has (save_formats.h). JPEG honours the quality parameter;
// the other encoders ignore it. Formats without alpha are flattened over
// white here; PNG and TIFF keep the alpha. No encoder (a null or unknown id)
// gives InvalidParameter and writes nothing. Reason receives the failure, if
// any.
TGpStatus EncodeImage(const QImage& Image, const QUuid& Encoder, const TEncoderParameters* Parameters,
                      QIODevice* Device, QString* Reason = nullptr);

// Encodes straight into FileName's temporary file, written as WriteOutputFile does (a regular
// file replaced only when the new one is complete, a device or FIFO written
// in place, a link's target written and the link kept). Ok exactly when the
// file was written.
TGpStatus SaveImageFile(const QImage& Image, const QString& FileName, const QUuid& Encoder,
                        const TEncoderParameters* Parameters, QString* Reason = nullptr);
