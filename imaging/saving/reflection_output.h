#pragma once

#include "imaging/codecs/image_encoders.h"
#include "imaging/gp_status.h"

#include <QImage>
#include <QString>

class QIODevice;

// The one road from a picture and its reflection to an encoded file, shared
// by the image control's "save" and the command line so both write the same
// bytes for the same picture and values.

// Picture plus its freshly built reflection, composed as saved.
QImage RenderReflection(const QImage& Picture, int Size, int OpacityStart, int OpacityEnd, int Axis);

// Encodes a composed image in Format at quality 100 into Device.
TGpStatus EncodeReflection(const QImage& Composed, ImageSaveFormat Format, QIODevice* Device,
                           QString* Reason = nullptr);

// Saves a composed image in Format at quality 100; an existing file is
// replaced only when the new one was written completely.
TGpStatus SaveReflectionFile(const QImage& Composed, ImageSaveFormat Format, const QString& FileName,
                             QString* Reason = nullptr);
