#include "imaging/saving/reflection_output.h"

#include "imaging/codecs/bmp_writer.h"
#include "imaging/codecs/flatten_over_white.h"
#include "imaging/codecs/jpeg_writer.h"
#include "imaging/codecs/tiff_writer.h"
#include "imaging/metadata/colour_profiles.h"
#include "imaging/metadata/packet_embedding.h"
#include "imaging/png/png_encoder.h"
#include "imaging/reflection/composed_rows.h"
#include "imaging/reflection/reflection_composer.h"
#include "imaging/reflection/reflection_direction.h"
#include "imaging/saving/output_target.h"
#include "imaging/saving/save_progress.h"
#include "imaging/saving/saving_plan.h"

#include <QBuffer>
#include <algorithm>
#include <limits>
#include <memory>

namespace
{
// The record of Format, or the reason there is none.
const TSaveFormatInfo* FormatFor(ImageSaveFormat Format, QString* Reason)
{
    const TSaveFormatInfo* info = FindSaveFormat(Format);
    if (!info && Reason)
        *Reason = QStringLiteral("no encoder for format %1").arg(int(Format));
    return info;
}

TGpStatus Fail(QString* Reason, TGpStatus Status, const QString& Text)
{
    if (Reason)
        *Reason = Text;
    return Status;
}

// The picture's rows where they lie; anything but ARGB32 is converted once.
struct TPictureInMemory {
    QImage Image;
    TPictureRows Rows;

    explicit TPictureInMemory(const QImage& Picture)
        : Image(Picture.format() == QImage::Format_ARGB32 ? Picture
                                                          : Picture.convertToFormat(QImage::Format_ARGB32))
    {
        Rows.Width = Image.width();
        Rows.Height = Image.height();
        Rows.Row = [this](int Y) { return reinterpret_cast<const std::uint32_t*>(Image.constScanLine(Y)); };
    }
};

// Composed rows as the whole-image road hands the composition to a writer:
// colours converted to sRGB where the packets ask, then, for a format
// without alpha, flattened over white. The save of this thread sees
// progress after each band, and its cancel stops the reading.
class TFedRows
{
  public:
    TFedRows(TComposedRows& Rows, const TOutputPackets* Packets, bool OverWhite)
        : FRows(Rows),
          FConversion(Packets && !Packets->ConvertFrom.isEmpty() ? new TSrgbConversion(Packets->ConvertFrom)
                                                                 : nullptr),
          FProgress(CurrentSaveProgress()), FOverWhite(OverWhite)
    {
    }

    bool Read(int First, int Count, std::uint32_t* Out, std::size_t Stride)
    {
        if (FProgress && FProgress->Cancelled())
            return false;
        if (!FRows.Read(First, Count, Out, Stride))
            return false;
        if (FConversion)
            for (int row = 0; row < Count; ++row)
                FConversion->Convert(Out + std::size_t(row) * Stride, FRows.Width());
        if (FOverWhite) {
            try {
                FlattenRowsOverWhite(Out, FRows.Width(), Count, Stride);
            } catch (const std::bad_alloc&) {
                FOutOfMemory = true;
                return false;
            }
        }
        if (FProgress && FRows.Height() > 0)
            FProgress->Report(double(First + Count) / FRows.Height());
        return true;
    }

    // Why the writing of Format stopped, the writer saying Error.
    QString Failure(const char* Format, const QString& Error) const
    {
        if (FProgress && FProgress->Cancelled())
            return QStringLiteral("cancelled");
        if (FRows.OutOfMemory() || FOutOfMemory)
            return QStringLiteral("out of memory composing the reflection");
        return QStringLiteral("could not write the %1 image%2")
            .arg(QLatin1String(Format), Error.isEmpty() ? QString() : QStringLiteral(": ") + Error);
    }

  private:
    TComposedRows& FRows;
    std::unique_ptr<TSrgbConversion> FConversion;
    TSaveProgress* FProgress;
    bool FOverWhite;
    bool FOutOfMemory = false;
};

// Writes the composition of a picture in memory to Sink as PNG, by the
// plan's road: in bands, or whole when the composition's alpha cannot be told
// from the values alone (no fade, no gap), so the encoder may look at every
// pixel first.
// Picture is a copy of the caller's or the only holder, then freed once
// composed.
TGpStatus WriteReflectionPng(QImage Picture, const TReflectionParameters& Parameters, TWriteRoad Road,
                             const std::function<bool(const char*, qint64)>& Sink, QString* Reason,
                             const TOutputPackets* Packets = nullptr, const TPngEncodeOptions& Options = {})
{
    if (Picture.isNull())
        return Fail(Reason, TGpStatus::InvalidParameter, QStringLiteral("no image to save"));
    if (Road == TWriteRoad::PngAtOnce) {
        QImage composed = RenderReflection(Picture, Parameters);
        Picture = QImage();
        if (composed.isNull())
            return Fail(Reason, TGpStatus::OutOfMemory,
                        QStringLiteral("out of memory composing the reflection"));
        TPngEncodeOptions options = Options;
        if (Packets) {
            if (!Packets->ConvertFrom.isEmpty())
                ConvertToSrgb(composed, Packets->ConvertFrom);
            options.ExtraChunks = PngPacketChunks(Packets->Packets);
        }
        QString error;
        // The encoder looks at the whole image: the bytes EncodeImage writes.
        const QByteArray file = EncodePng(composed, options, &error);
        if (file.isEmpty() || !Sink(file.constData(), file.size()))
            return Fail(Reason, TGpStatus::GenericError,
                        QStringLiteral("could not write the PNG image%1")
                            .arg(error.isEmpty() ? QString() : QStringLiteral(": ") + error));
        return TGpStatus::Ok;
    }
    const TPictureInMemory picture(Picture);
    if (picture.Image.isNull())
        return Fail(Reason, TGpStatus::OutOfMemory, QStringLiteral("out of memory converting the image"));
    TComposedRows rows(picture.Rows, Parameters);
    return WriteComposedPng(rows, true, Sink, Reason, Packets, Options) ? TGpStatus::Ok
                                                                        : TGpStatus::GenericError;
}
// The BMP file of composed rows, built whole (its rows run bottom-up);
// empty, with Reason, on failure.
QByteArray ComposedBmp(TComposedRows& Rows, const TOutputPackets* Packets, QString* Reason)
{
    TFedRows flat(Rows, Packets, true);
    TBmpRowPicture picture;
    picture.Width = Rows.Width();
    picture.Height = Rows.Height();
    // What the flattened copy of a composition carries.
    picture.DotsPerMeterX = FreshDotsPerMeterX();
    picture.DotsPerMeterY = FreshDotsPerMeterY();
    picture.Feed = [&flat](int First, int Count, std::uint32_t* Out, std::size_t Stride) {
        return flat.Read(First, Count, Out, Stride);
    };
    QString error;
    QByteArray file = BmpFromRows(picture, &error);
    if (file.isEmpty() && Reason)
        *Reason = flat.Failure("BMP", error);
    return file;
}

// The TIFF file of composed rows, their alpha kept, built whole in memory
// (libtiff goes back to its header at the end); empty, with Reason, on
// failure. The profile goes in as the whole-image road's writer takes it.
QByteArray ComposedTiff(TComposedRows& Rows, const TOutputPackets* Packets, QStringList* Warnings,
                        QString* Reason)
{
    TFedRows rows(Rows, Packets, false);
    TTiffRowPicture picture;
    picture.Width = Rows.Width();
    picture.Height = Rows.Height();
    // What a fresh composition carries.
    picture.DotsPerMeterX = FreshDotsPerMeterX();
    picture.DotsPerMeterY = FreshDotsPerMeterY();
    picture.Icc = TiffProfile(Packets ? &Packets->Packets : nullptr, Warnings);
    picture.Feed = [&rows](int First, int Count, std::uint32_t* Out, std::size_t Stride) {
        return rows.Read(First, Count, Out, Stride);
    };
    QString error;
    QByteArray file = TiffFromRows(picture, &error);
    if (file.isEmpty() && Reason)
        *Reason = rows.Failure("TIFF", error);
    return file;
}

// Writes the composition of a picture in memory to Sink in Format (JPEG,
// BMP, TIFF), made a band of rows at a time (JPEG and BMP flattened over
// white as the whole-image road flattens it): no composed image beside the
// picture. A BMP or TIFF file, built whole, goes to Whole instead when it
// is given.
TGpStatus WriteReflectionRows(const QImage& Picture, const TReflectionParameters& Parameters,
                              const TSaveFormatInfo& Format, int Quality,
                              const std::function<bool(const char*, qint64)>& Sink, QString* Reason,
                              const TOutputPackets* Packets, QStringList* Warnings,
                              QByteArray* Whole = nullptr)
{
    if (Picture.isNull())
        return Fail(Reason, TGpStatus::InvalidParameter, QStringLiteral("no image to save"));
    const QSize composed = ComposedSize(Picture.size(), Parameters);
    if (Format.MaxSide > 0 && (composed.width() > Format.MaxSide || composed.height() > Format.MaxSide))
        return Fail(Reason, TGpStatus::ValueOverflow,
                    QStringLiteral("%1 is limited to %2 pixels a side; this image is %3 × %4")
                        .arg(QLatin1String(Format.Description))
                        .arg(Format.MaxSide)
                        .arg(composed.width())
                        .arg(composed.height()));
    const TPictureInMemory picture(Picture);
    if (picture.Image.isNull())
        return Fail(Reason, TGpStatus::OutOfMemory, QStringLiteral("out of memory converting the image"));
    TComposedRows rows(picture.Rows, Parameters);
    if (Format.Format == ImageSaveFormat::Jpeg)
        return WriteComposedJpeg(rows, std::clamp(Quality, 0, 100), Sink, Reason, Packets, Warnings)
                   ? TGpStatus::Ok
                   : TGpStatus::GenericError;
    QByteArray file = Format.Format == ImageSaveFormat::Tiff ? ComposedTiff(rows, Packets, Warnings, Reason)
                                                             : ComposedBmp(rows, Packets, Reason);
    if (file.isEmpty())
        return TGpStatus::GenericError;
    if (Whole) {
        *Whole = std::move(file);
        return TGpStatus::Ok;
    }
    return Sink(file.constData(), file.size()) ? TGpStatus::Ok : TGpStatus::GenericError;
}

TInputFacts InMemoryFacts(const QImage& Picture)
{
    TInputFacts facts;
    facts.Decoded = true;
    facts.Size = Picture.size();
    return facts;
}
} // namespace

QImage RenderReflection(const QImage& Picture, const TReflectionParameters& Parameters)
{
    if (Parameters.Direction != TReflectionDirection::Below) {
        // The turned picture goes before the composition is turned back, so
        // that at most two compositions lie beside the picture.
        QImage composed = RenderReflection(TurnedToBelow(Picture, Parameters.Direction), AsBelow(Parameters));
        return composed.isNull() ? composed
                                 : TurnedBack(std::exchange(composed, QImage()), Parameters.Direction);
    }
    // Composed row by row from the picture where it lies, as the banded PNG
    // road composes: the same pixels as ComposeReflection over
    // BuildReflectionImage, without the mirror image (as large as the
    // picture) beside the composition.
    if (Picture.isNull())
        return {};
    const TPictureInMemory picture(Picture);
    if (picture.Image.isNull())
        return {};
    QImage composed(Picture.width(), ComposedHeight(Picture.height(), Parameters), QImage::Format_ARGB32);
    if (composed.isNull())
        return {};
    TComposedRows rows(picture.Rows, Parameters);
    if (!rows.Read(0, composed.height(), reinterpret_cast<std::uint32_t*>(composed.bits()),
                   std::size_t(composed.bytesPerLine() / 4)))
        return {};
    return composed;
}

TGpStatus EncodeReflection(const QImage& Composed, ImageSaveFormat Format, QIODevice* Device, QString* Reason,
                           int Quality, const TImagePackets* Packets, QStringList* Warnings)
{
    const TSaveFormatInfo* format = FormatFor(Format, Reason);
    if (!format)
        return TGpStatus::InvalidParameter;
    if (!Packets)
        return EncodeInFormat(Composed, *format, std::clamp(Quality, 0, 100), Device, Reason);
    const TOutputPackets packets = PlanOutputPackets(*Packets, false, format->HoldsProfile, Composed.size());
    if (Warnings)
        *Warnings += packets.Warnings;
    QImage converted = Composed;
    if (!packets.ConvertFrom.isEmpty()) {
        if (converted.format() != QImage::Format_ARGB32 && converted.format() != QImage::Format_RGB32)
            converted.convertTo(QImage::Format_ARGB32);
        ConvertToSrgb(converted, packets.ConvertFrom);
    }
    return EncodeInFormat(converted, *format, std::clamp(Quality, 0, 100), Device, Reason, &packets.Packets,
                          Warnings);
}

TGpStatus EncodeReflection(QImage&& Composed, ImageSaveFormat Format, QIODevice* Device, QString* Reason,
                           int Quality)
{
    const TSaveFormatInfo* format = FormatFor(Format, Reason);
    if (!format)
        return TGpStatus::InvalidParameter;
    return EncodeInFormat(std::move(Composed), *format, std::clamp(Quality, 0, 100), Device, Reason);
}

TGpStatus SaveReflectionFile(const QImage& Composed, ImageSaveFormat Format, const QString& FileName,
                             QString* Reason, int Quality)
{
    const TSaveFormatInfo* format = FormatFor(Format, Reason);
    if (!format)
        return TGpStatus::InvalidParameter;
    return SaveInFormat(Composed, *format, std::clamp(Quality, 0, 100), FileName, Reason);
}

bool WriteComposedPng(TComposedRows& Rows, bool Alpha, const std::function<bool(const char*, qint64)>& Sink,
                      QString* Reason, const TOutputPackets* Packets, const TPngEncodeOptions& Options)
{
    TPngRowPicture picture;
    picture.Width = Rows.Width();
    picture.Height = Rows.Height();
    picture.Alpha = Alpha;
    // The composed rows, on the stored values, then in sRGB where asked.
    const std::unique_ptr<TSrgbConversion> conversion(
        Packets && !Packets->ConvertFrom.isEmpty() ? new TSrgbConversion(Packets->ConvertFrom) : nullptr);
    // Bands are fed on the compressing threads: they report to the progress
    // of the thread that started the save, and stop the encoding once the
    // save is cancelled.
    TSaveProgress* progress = CurrentSaveProgress();
    picture.Feed = [&Rows, &conversion, progress](int First, int Count, std::uint32_t* Out,
                                                  std::size_t Stride) {
        if (progress && progress->Cancelled())
            return false;
        if (!Rows.Read(First, Count, Out, Stride))
            return false;
        if (conversion)
            for (int row = 0; row < Count; ++row)
                conversion->Convert(Out + std::size_t(row) * Stride, Rows.Width());
        if (progress && Rows.Height() > 0)
            progress->Report(double(First + Count) / Rows.Height());
        return true;
    };
    TPngEncodeOptions options = Options;
    if (Packets)
        options.ExtraChunks = PngPacketChunks(Packets->Packets);
    QString error;
    const TPngByteSink bytes = [&](const std::uint8_t* Data, std::size_t Size) {
        return Sink(reinterpret_cast<const char*>(Data), qint64(Size));
    };
    if (WritePngRows(picture, bytes, options, &error))
        return true;
    if (Reason)
        *Reason = progress && progress->Cancelled() ? QStringLiteral("cancelled")
                  : Rows.OutOfMemory()              ? QStringLiteral("out of memory composing the reflection")
                                       : QStringLiteral("could not write the PNG image: %1").arg(error);
    return false;
}

bool WriteComposedJpeg(TComposedRows& Rows, int Quality, const std::function<bool(const char*, qint64)>& Sink,
                       QString* Reason, const TOutputPackets* Packets, QStringList* Warnings)
{
    TJpegRowPicture picture;
    picture.Width = Rows.Width();
    picture.Height = Rows.Height();
    picture.Quality = Quality;
    // What the flattened copy of a composition carries.
    picture.DotsPerMeterX = FreshDotsPerMeterX();
    picture.DotsPerMeterY = FreshDotsPerMeterY();
    TFedRows flat(Rows, Packets, true);
    picture.Feed = [&flat](int First, int Count, std::uint32_t* Out, std::size_t Stride) {
        return flat.Read(First, Count, Out, Stride);
    };
    const TJpegByteSink bytes = [&Sink](const std::uint8_t* Data, std::size_t Size) {
        return Sink(reinterpret_cast<const char*>(Data), qint64(Size));
    };
    QString error;
    if (WriteJpegRows(picture, Packets ? &Packets->Packets : nullptr, Warnings, bytes, &error))
        return true;
    if (Reason)
        *Reason = flat.Failure("JPEG", error);
    return false;
}

namespace
{
// Picture is a copy of the caller's (its pixels shared) or the only holder.
TGpStatus WritePlanned(QImage Picture, const TSaveRequest& Request, const TSavingPlan& Plan, QString* Reason,
                       QStringList* Warnings)
{
    const TOutputSink& sink = Request.Sink;
    const TSaveFormatInfo* format = FormatFor(Request.Format, Reason);
    if (!format)
        return TGpStatus::InvalidParameter;
    const TOutputPackets packets =
        PlanOutputPackets(Request.Packets ? *Request.Packets : TImagePackets(), Request.Strip,
                          format->HoldsProfile, ComposedSize(Picture.size(), Request.Reflection));
    if (Warnings)
        *Warnings += packets.Warnings;
    if (Plan.Write == TWriteRoad::Encoded) {
        const QSize size = Picture.size();
        QImage composed = RenderReflection(Picture, Request.Reflection);
        // The composition holds the picture's pixels: the picture itself is
        // freed here when nobody else holds it.
        Picture = QImage();
        // The two sentences are those each road has always given.
        if (composed.isNull())
            return Fail(Reason, TGpStatus::OutOfMemory,
                        sink.Device ? QStringLiteral("out of memory composing the reflection")
                                    : QStringLiteral("not enough memory for a %1 × %2 image")
                                          .arg(ComposedSize(size, Request.Reflection).width())
                                          .arg(ComposedSize(size, Request.Reflection).height()));
        // Converted on the composition, so the reflection's arithmetic stays
        // on the stored values.
        if (!packets.ConvertFrom.isEmpty())
            ConvertToSrgb(composed, packets.ConvertFrom);
        const int quality = std::clamp(Request.Quality, 0, 100);
        return sink.Device ? EncodeInFormat(std::move(composed), *format, quality, sink.Device, Reason,
                                            &packets.Packets, Warnings)
                           : SaveInFormat(std::move(composed), *format, quality, sink.FileName, Reason,
                                          &packets.Packets, Warnings);
    }
    TOutputFile file;
    if (sink.Device ? !file.Open(sink.Device) : !file.Open(sink.FileName, Reason))
        return TGpStatus::Win32Error;
    const auto write = [&file](const char* Data, qint64 Size) { return file.Write(Data, Size); };
    const TGpStatus status =
        Plan.Write == TWriteRoad::Rows
            ? WriteReflectionRows(Picture, Request.Reflection, *format, Request.Quality, write, Reason,
                                  &packets, Warnings)
            : WriteReflectionPng(std::move(Picture), Request.Reflection, Plan.Write, write, Reason, &packets);
    if (status != TGpStatus::Ok && !file.Failed())
        return status;
    return file.Commit(Reason) ? status : TGpStatus::Win32Error;
}
} // namespace

TGpStatus WritePlannedReflection(const QImage& Picture, const TSaveRequest& Request, const TSavingPlan& Plan,
                                 QString* Reason, QStringList* Warnings)
{
    return WritePlanned(Picture, Request, Plan, Reason, Warnings);
}

TGpStatus WritePlannedReflection(QImage&& Picture, const TSaveRequest& Request, const TSavingPlan& Plan,
                                 QString* Reason, QStringList* Warnings)
{
    return WritePlanned(std::move(Picture), Request, Plan, Reason, Warnings);
}

TGpStatus SaveReflectionFile(const QImage& Picture, const TReflectionParameters& Parameters,
                             ImageSaveFormat Format, const QString& FileName, QString* Reason, int Quality,
                             const TImagePackets* Packets)
{
    TSaveRequest request;
    request.Reflection = Parameters;
    request.Format = Format;
    request.Quality = Quality;
    request.Sink.FileName = FileName;
    request.Packets = Packets;
    return WritePlannedReflection(Picture, request, PlanSaving(request, InMemoryFacts(Picture)), Reason);
}

namespace
{
// Room for the largest PNG file the encoder can make of Picture and its
// reflection, taken only as it is written, so the bytes are never copied to
// a larger home.
QByteArray RoomForPng(const QImage& Picture, const TReflectionParameters& Parameters)
{
    QByteArray bytes;
    try {
        // Room for the largest file the encoder can make, taken only as it
        // is written, so the bytes are never copied to a larger home.
        const QSize composed = ComposedSize(Picture.size(), Parameters);
        const qint64 rows = composed.height();
        bytes.reserve(qsizetype(std::min<qint64>(rows * (qint64(composed.width()) * 4 + 1) * 101 / 100 + 4096,
                                                 std::numeric_limits<qsizetype>::max() / 2)));
    } catch (const std::bad_alloc&) {
    }
    return bytes;
}
} // namespace

QByteArray EncodeReflectionPng(const QImage& Picture, const TReflectionParameters& Parameters,
                               QString* Reason, const TPngEncodeOptions& Options)
{
    QByteArray bytes = RoomForPng(Picture, Parameters);
    TSaveRequest request;
    request.Reflection = Parameters;
    const TGpStatus status = WriteReflectionPng(
        Picture, Parameters, PlanSaving(request, InMemoryFacts(Picture)).Write,
        [&bytes](const char* Data, qint64 Size) {
            bytes.append(Data, qsizetype(Size));
            return true;
        },
        Reason, nullptr, Options);
    if (status != TGpStatus::Ok)
        return {};
    return bytes;
}

QByteArray EncodeReflectionFile(const QImage& Picture, const TSaveRequest& Request, QString* Reason,
                                QStringList* Warnings)
{
    const TSaveFormatInfo* format = FormatFor(Request.Format, Reason);
    if (!format)
        return {};
    if (Picture.isNull()) {
        Fail(Reason, TGpStatus::InvalidParameter, QStringLiteral("no image to save"));
        return {};
    }
    const TSavingPlan plan = PlanSaving(Request, InMemoryFacts(Picture));
    QByteArray bytes;
    TGpStatus status = TGpStatus::GenericError;
    if (plan.Write == TWriteRoad::Encoded) {
        // The format's writer encodes straight into the buffer.
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        TSaveRequest request = Request;
        request.Sink = TOutputSink{QString(), &buffer};
        status = WritePlannedReflection(Picture, request, plan, Reason, Warnings);
    } else {
        // The row roads write through TOutputFile, which would hold a
        // device's bytes once more: they go straight into the buffer, PNG's
        // into reserved room.
        const TOutputPackets packets =
            PlanOutputPackets(Request.Packets ? *Request.Packets : TImagePackets(), Request.Strip,
                              format->HoldsProfile, ComposedSize(Picture.size(), Request.Reflection));
        if (Warnings)
            *Warnings += packets.Warnings;
        const auto append = [&bytes](const char* Data, qint64 Size) {
            bytes.append(Data, qsizetype(Size));
            return true;
        };
        if (plan.Write == TWriteRoad::Rows) {
            // A BMP or TIFF file is built whole: it becomes the bytes, uncopied.
            status = WriteReflectionRows(Picture, Request.Reflection, *format, Request.Quality, append,
                                         Reason, &packets, Warnings, &bytes);
        } else {
            bytes = RoomForPng(Picture, Request.Reflection);
            status = WriteReflectionPng(Picture, Request.Reflection, plan.Write, append, Reason, &packets);
        }
    }
    // A cancelled save says so, whether its encoder stopped or ran to its end.
    const TSaveProgress* progress = CurrentSaveProgress();
    if (progress && progress->Cancelled()) {
        Fail(Reason, TGpStatus::Aborted, QStringLiteral("cancelled"));
        return {};
    }
    if (status != TGpStatus::Ok)
        return {};
    return bytes;
}
