#pragma once

#include "imaging/gp_status.h"
#include "imaging/reflection/reflection_parameters.h"
#include "imaging/saving/save_formats.h"

#include <QImage>
#include <QString>

class QIODevice;

// The one road from a picture and its reflection to an encoded file, shared
// by the image control's "save" and the command line so both write the same
// bytes for the same picture and values.

// The quality both controls save at, for every format: JPEG at 100, and
// WebP lossless (save_formats.h). The command line's --quality lowers it.
inline constexpr int DefaultSaveQuality = 100;

// Picture plus its freshly built reflection, composed as saved.
QImage RenderReflection(const QImage& Picture, const TReflectionParameters& Parameters);

// Encodes a composed image in Format at Quality (percent) into Device.
TGpStatus EncodeReflection(const QImage& Composed, ImageSaveFormat Format, QIODevice* Device,
                           QString* Reason = nullptr, int Quality = DefaultSaveQuality);

// Saves a composed image in Format at Quality (percent); an existing file
// is replaced only when the new one was written completely.
TGpStatus SaveReflectionFile(const QImage& Composed, ImageSaveFormat Format, const QString& FileName,
                             QString* Reason = nullptr, int Quality = DefaultSaveQuality);
