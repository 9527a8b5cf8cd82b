#pragma once

#include "imaging/metadata/image_packets.h"
#include "imaging/reflection/reflection_parameters.h"
#include "imaging/saving/save_formats.h"

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QString>
#include <QStringList>

// The bytes of the file a save writes, made in memory so that a save on its
// own thread can be dropped half-way without leaving anything on disk. The
// same bytes as the controls' and the command line's saves for the same
// picture, values and quality (a white background is what they flatten
// over). Safe on any thread while nothing changes the pictures given.

// Picture over its reflection in Format at Quality; formats without alpha
// are flattened over Background. Packets, the colour profile and metadata
// of the file the picture was opened from, go in as the command line puts
// them (a white background gives its very bytes); the colours stay the
// stored ones wherever the format holds the profile. Empty, with the
// reason, on failure or when the save of this thread is cancelled; packets
// left out are named in Warnings.
QByteArray ReflectionFileBytes(const QImage& Picture, const TReflectionParameters& Parameters,
                               ImageSaveFormat Format, int Quality, const QColor& Background, QString* Reason,
                               const TImagePackets* Packets = nullptr, QStringList* Warnings = nullptr);

// A picture composed already (the text page's) in Format at Quality.
QByteArray PictureFileBytes(const QImage& Picture, ImageSaveFormat Format, int Quality, QString* Reason);

// The frames of an opened picture's file, Encoded, when it is an animation;
// 0 otherwise.
int AnimationFrames(const QByteArray& Encoded);

// Every frame of the animation in Encoded over its reflection, in Format at
// Quality, the frames flattened over Background where the format keeps no
// alpha; the command line's bytes for the same file and values.
QByteArray AnimationFileBytes(const QByteArray& Encoded, const TReflectionParameters& Parameters,
                              ImageSaveFormat Format, int Quality, const QColor& Background, QString* Reason);
