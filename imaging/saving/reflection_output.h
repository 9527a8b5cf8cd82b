#pragma once

#include "imaging/gp_status.h"
#include "imaging/png/png_encoder.h"
#include "imaging/reflection/reflection_parameters.h"
#include "imaging/saving/save_formats.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>
#include <functional>

class QIODevice;
class TComposedRows;
struct TSaveRequest;
struct TSavingPlan;
struct TOutputPackets;
struct TImagePackets;

// The one road from a picture and its reflection to an encoded file, shared
// by the image control's "save", the window's copy and the command line so
// all write the same bytes for the same picture and values.

// The quality both controls save at, for every format: JPEG at 100, and
// WebP lossless (save_formats.h). The command line's --quality lowers it.
inline constexpr int DefaultSaveQuality = 100;

// Picture plus its freshly built reflection, composed as saved.
QImage RenderReflection(const QImage& Picture, const TReflectionParameters& Parameters);

// Encodes a composed image in Format at Quality (percent) into Device.
// Packets, when given, go where the format has room for them, as
// WritePlannedReflection puts them (the colours converted to sRGB where it
// has none for the profile); what is left out is named in Warnings.
TGpStatus EncodeReflection(const QImage& Composed, ImageSaveFormat Format, QIODevice* Device,
                           QString* Reason = nullptr, int Quality = DefaultSaveQuality,
                           const TImagePackets* Packets = nullptr, QStringList* Warnings = nullptr);
// The same for a composition nobody else holds: JPEG, GIF and BMP flatten
// it where it lies instead of beside a copy.
TGpStatus EncodeReflection(QImage&& Composed, ImageSaveFormat Format, QIODevice* Device,
                           QString* Reason = nullptr, int Quality = DefaultSaveQuality);

// Saves a composed image in Format at Quality (percent); an existing file
// is replaced only when the new one was written completely.
TGpStatus SaveReflectionFile(const QImage& Composed, ImageSaveFormat Format, const QString& FileName,
                             QString* Reason = nullptr, int Quality = DefaultSaveQuality);

// The same file for Picture and its reflection, without a composed copy:
// PNG, JPEG, BMP and TIFF take the composition band by band as their writers
// ask for it (the other formats' writers need the composed image, made for
// them).
// Memory beyond the picture stays at a few bands per thread.
// Packets, when given, go where the format has room for them, as
// WritePlannedReflection puts them.
TGpStatus SaveReflectionFile(const QImage& Picture, const TReflectionParameters& Parameters,
                             ImageSaveFormat Format, const QString& FileName, QString* Reason = nullptr,
                             int Quality = DefaultSaveQuality, const TImagePackets* Packets = nullptr);

// Writes Picture and its reflection to Request's sink by the write road of
// Plan (saving_plan.h); Request's input and decode options play no part.
// The request's packets go where the format has room for them (converted to
// sRGB where it has none for the profile); what is left out is named in
// Warnings.
TGpStatus WritePlannedReflection(const QImage& Picture, const TSaveRequest& Request, const TSavingPlan& Plan,
                                 QString* Reason = nullptr, QStringList* Warnings = nullptr);
// The same for a picture nobody else holds: it is let go as soon as its
// composition is made, so that the encoder works beside one full-size image.
TGpStatus WritePlannedReflection(QImage&& Picture, const TSaveRequest& Request, const TSavingPlan& Plan,
                                 QString* Reason = nullptr, QStringList* Warnings = nullptr);

// The bytes of the file WritePlannedReflection writes for Picture and
// Request (its reflection, format, quality, strip and packets; its input,
// decode options and sink play no part): the same road, so the same bytes
// as the command line's file for the same picture, values and packets.
// Kept in memory so that a save on a thread of its own can be dropped
// without touching the disk. Empty, with Reason, on failure or when the
// save of this thread is cancelled; packets left out are named in Warnings.
QByteArray EncodeReflectionFile(const QImage& Picture, const TSaveRequest& Request, QString* Reason = nullptr,
                                QStringList* Warnings = nullptr);

// The PNG file of Picture and its reflection, bytes for the clipboard, made
// as SaveReflectionFile makes them; empty, with Reason, on failure. Safe to
// call from any thread, several at once, while nothing changes Picture.
// Options other than the default trade size for time (the clipboard's).
QByteArray EncodeReflectionPng(const QImage& Picture, const TReflectionParameters& Parameters,
                               QString* Reason = nullptr, const TPngEncodeOptions& Options = {});

// Writes composed rows as PNG to Sink (see WritePngRows); Alpha false
// promises that every composed pixel is opaque. Packets, when given, go in
// as chunks, and their ConvertFrom profile's colours become sRGB row by row.
bool WriteComposedPng(TComposedRows& Rows, bool Alpha, const std::function<bool(const char*, qint64)>& Sink,
                      QString* Reason, const TOutputPackets* Packets = nullptr,
                      const TPngEncodeOptions& Options = {});

// Writes composed rows as JPEG at Quality to Sink, flattened over white band
// by band as the whole-image road flattens the composition: the same bytes.
// Packets, when given, go in as for a whole image, and their ConvertFrom
// profile's colours become sRGB row by row. The save of this thread, if
// any, sees progress after each band, and its cancel stops the writing.
bool WriteComposedJpeg(TComposedRows& Rows, int Quality, const std::function<bool(const char*, qint64)>& Sink,
                       QString* Reason, const TOutputPackets* Packets = nullptr,
                       QStringList* Warnings = nullptr);
