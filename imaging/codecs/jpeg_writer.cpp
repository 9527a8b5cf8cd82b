#include "imaging/codecs/jpeg_writer.h"

#include "imaging/codecs/image_row_feed.h"
#include "imaging/metadata/packet_embedding.h"

#include <QIODevice>
#include <QImage>

#include <algorithm>
#include <cmath>
#include <csetjmp>
// jpeglib.h uses FILE and size_t without including their headers.
#include <cstdio>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

#include <jpeglib.h>
// After jpeglib.h, which it needs.
#include <jerror.h>

namespace
{
// Qt's writer takes this quality when it is given none.
constexpr int DefaultQuality = 75;
// libjpeg hands the sink this much at a time.
constexpr std::size_t OutputChunk = 4096;

struct TErrorManager {
    jpeg_error_mgr Base{};
    std::jmp_buf Jump{};
    char Message[JMSG_LENGTH_MAX] = {};
};

void ErrorExit(j_common_ptr Info)
{
    auto* manager = reinterpret_cast<TErrorManager*>(Info->err);
    Info->err->format_message(Info, manager->Message);
    std::longjmp(manager->Jump, 1);
}

// Warnings (a corrupt input does not arise when writing) are not printed.
void SilentMessage(j_common_ptr) {}

struct TDestination {
    jpeg_destination_mgr Base{};
    const TJpegByteSink* Sink = nullptr;
    std::vector<JOCTET> Buffer = std::vector<JOCTET>(OutputChunk);
    bool SinkStopped = false;
    bool OutOfMemory = false;
};

// Hands the sink Size buffered bytes. Nothing is thrown through libjpeg's
// frames: a sink out of memory stops the writing like a sink that refuses.
bool Deliver(TDestination& Destination, std::size_t Size)
{
    try {
        return (*Destination.Sink)(Destination.Buffer.data(), Size);
    } catch (const std::bad_alloc&) {
        Destination.OutOfMemory = true;
        return false;
    }
}

void InitDestination(j_compress_ptr Info)
{
    auto* destination = reinterpret_cast<TDestination*>(Info->dest);
    destination->Base.next_output_byte = destination->Buffer.data();
    destination->Base.free_in_buffer = destination->Buffer.size();
}

boolean EmptyOutputBuffer(j_compress_ptr Info)
{
    auto* destination = reinterpret_cast<TDestination*>(Info->dest);
    if (!Deliver(*destination, destination->Buffer.size())) {
        destination->SinkStopped = true;
        // Ends the compression through the error manager's jump.
        ERREXIT(Info, JERR_FILE_WRITE);
    }
    InitDestination(Info);
    return TRUE;
}

void TermDestination(j_compress_ptr Info)
{
    auto* destination = reinterpret_cast<TDestination*>(Info->dest);
    const std::size_t used = destination->Buffer.size() - destination->Base.free_in_buffer;
    if (used > 0 && !Deliver(*destination, used)) {
        destination->SinkStopped = true;
        ERREXIT(Info, JERR_FILE_WRITE);
    }
}

// The resolution as Qt's writer records it: in the unit whose whole
// numbers come closer to the dots per metre.
void SetDensity(jpeg_compress_struct& Info, int DotsPerMeterX, int DotsPerMeterY)
{
    const double inchX = DotsPerMeterX * 2.54 / 100.0, inchY = DotsPerMeterY * 2.54 / 100.0;
    const double cmX = DotsPerMeterX / 100.0, cmY = DotsPerMeterY / 100.0;
    const double offInch = std::abs(inchX - std::round(inchX)) + std::abs(inchY - std::round(inchY));
    const double offCm = (std::abs(cmX - std::round(cmX)) + std::abs(cmY - std::round(cmY))) * 2.54;
    if (offInch < offCm) {
        Info.density_unit = 1;
        Info.X_density = UINT16(std::lround(inchX));
        Info.Y_density = UINT16(std::lround(inchY));
    } else {
        Info.density_unit = 2;
        Info.X_density = UINT16((DotsPerMeterX + 50) / 100);
        Info.Y_density = UINT16((DotsPerMeterY + 50) / 100);
    }
}

// The parts of the compression that may jump back to setjmp: nothing here
// owns anything that a jump would leak.
bool Compress(jpeg_compress_struct& Info, TErrorManager& Errors, const TJpegRowPicture& Picture,
              std::vector<std::uint32_t>& Band, std::vector<JSAMPLE>& Row, bool& FeedStopped)
{
    if (setjmp(Errors.Jump))
        return false;
    Info.image_width = JDIMENSION(Picture.Width);
    Info.image_height = JDIMENSION(Picture.Height);
    Info.input_components = 3;
    Info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&Info);
    SetDensity(Info, Picture.DotsPerMeterX, Picture.DotsPerMeterY);
    jpeg_set_quality(&Info, Picture.Quality < 0 ? DefaultQuality : std::min(Picture.Quality, 100), TRUE);
    Info.optimize_coding = TRUE;
    jpeg_start_compress(&Info, TRUE);
    for (const QByteArray& comment : Picture.Comments)
        jpeg_write_marker(&Info, JPEG_COM, reinterpret_cast<const JOCTET*>(comment.constData()),
                          unsigned(comment.size()));
    const std::size_t width = std::size_t(Picture.Width);
    for (int top = 0; top < Picture.Height; top += JpegBandRows) {
        const int rows = std::min(JpegBandRows, Picture.Height - top);
        if (!Picture.Feed(top, rows, Band.data(), width)) {
            FeedStopped = true;
            return false;
        }
        for (int y = 0; y < rows; ++y) {
            const std::uint32_t* in = Band.data() + std::size_t(y) * width;
            JSAMPLE* out = Row.data();
            for (std::size_t x = 0; x < width; ++x, out += 3) {
                out[0] = JSAMPLE(in[x] >> 16);
                out[1] = JSAMPLE(in[x] >> 8);
                out[2] = JSAMPLE(in[x]);
            }
            JSAMPROW pointer = Row.data();
            jpeg_write_scanlines(&Info, &pointer, 1);
        }
    }
    jpeg_finish_compress(&Info);
    return true;
}
} // namespace

bool WriteJpegRows(const TJpegRowPicture& Picture, const TJpegByteSink& Sink, QString* Reason)
{
    const auto fail = [Reason](const QString& Text) {
        if (Reason)
            *Reason = Text;
        return false;
    };
    if (Picture.Width <= 0 || Picture.Height <= 0 || Picture.Width > JPEG_MAX_DIMENSION ||
        Picture.Height > JPEG_MAX_DIMENSION)
        return fail(QStringLiteral("a JPEG cannot be %1 × %2 pixels").arg(Picture.Width).arg(Picture.Height));
    if (!Picture.Feed || !Sink)
        return fail(QStringLiteral("nothing to write the JPEG from or to"));
    // Both buffers are taken before libjpeg starts, so an allocation failure
    // throws here rather than across its frames.
    std::vector<std::uint32_t> band(std::size_t(Picture.Width) * JpegBandRows);
    std::vector<JSAMPLE> row(std::size_t(Picture.Width) * 3);

    jpeg_compress_struct info{};
    TErrorManager errors;
    info.err = jpeg_std_error(&errors.Base);
    errors.Base.error_exit = ErrorExit;
    errors.Base.output_message = SilentMessage;
    TDestination destination;
    destination.Sink = &Sink;
    destination.Base.init_destination = InitDestination;
    destination.Base.empty_output_buffer = EmptyOutputBuffer;
    destination.Base.term_destination = TermDestination;
    jpeg_create_compress(&info);
    info.dest = &destination.Base;
    bool feedStopped = false;
    bool written = false;
    try {
        written = Compress(info, errors, Picture, band, row, feedStopped);
    } catch (...) {
        jpeg_destroy_compress(&info);
        throw;
    }
    jpeg_destroy_compress(&info);
    if (written)
        return true;
    if (destination.OutOfMemory)
        return fail(QStringLiteral("out of memory writing the JPEG"));
    if (feedStopped || destination.SinkStopped)
        return false;
    return fail(QString::fromLocal8Bit(errors.Message));
}

namespace
{
bool HasJpegPackets(const TImagePackets* Packets)
{
    return Packets && (!Packets->Icc.isEmpty() || !Packets->Exif.isEmpty() || !Packets->Xmp.isEmpty() ||
                       !Packets->Iptc.isEmpty());
}
} // namespace

bool WriteJpegRows(const TJpegRowPicture& Picture, const TImagePackets* Packets, QStringList* Warnings,
                   const TJpegByteSink& Sink, QString* Reason)
{
    if (!HasJpegPackets(Packets))
        return WriteJpegRows(Picture, Sink, Reason);
    QByteArray bytes;
    const TJpegByteSink gather = [&bytes](const std::uint8_t* Data, std::size_t Size) {
        bytes.append(reinterpret_cast<const char*>(Data), qsizetype(Size));
        return true;
    };
    if (!WriteJpegRows(Picture, gather, Reason))
        return false;
    const QByteArray file = JpegWithPackets(std::exchange(bytes, QByteArray()), *Packets, Warnings);
    return Sink(reinterpret_cast<const std::uint8_t*>(file.constData()), std::size_t(file.size()));
}

bool WriteJpegImage(const QImage& Image, QIODevice* Device, int Quality, const TImagePackets* Packets,
                    QStringList* Warnings, QString* Reason)
{
    const QImage rows = Image.format() == QImage::Format_RGB32 || Image.format() == QImage::Format_ARGB32
                            ? Image
                            : Image.convertToFormat(QImage::Format_RGB32);
    if (rows.isNull()) {
        if (Reason)
            *Reason = QStringLiteral("out of memory converting the image");
        return false;
    }
    TJpegRowPicture picture;
    picture.Width = rows.width();
    picture.Height = rows.height();
    picture.Quality = Quality;
    picture.DotsPerMeterX = rows.dotsPerMeterX();
    picture.DotsPerMeterY = rows.dotsPerMeterY();
    // Qt's writer puts the image's text in as "key: value" comments.
    for (const QString& key : rows.textKeys())
        if (!key.isEmpty())
            picture.Comments << key.toUtf8() + ": " + rows.text(key).toUtf8();
    picture.Feed = ImageRowFeed(rows);
    const TJpegByteSink device = [Device](const std::uint8_t* Data, std::size_t Size) {
        return Device->write(reinterpret_cast<const char*>(Data), qint64(Size)) == qint64(Size);
    };
    if (WriteJpegRows(picture, Packets, Warnings, device, Reason))
        return true;
    if (Reason && Reason->isEmpty())
        *Reason = SaveOnThisThreadCancelled() ? QStringLiteral("cancelled") : Device->errorString();
    return false;
}
