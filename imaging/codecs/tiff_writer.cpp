#include "imaging/codecs/tiff_writer.h"

#include "imaging/codecs/image_row_feed.h"
#include "imaging/metadata/image_packets.h"

#include <QColorSpace>
#include <QIODevice>
#include <QImage>
#include <QtGlobal>
#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <vector>

#include <tiffio.h>

namespace
{
// Qt's writer cuts the picture into strips of as many rows as 4 MiB of
// pixels hold, one row at least.
constexpr qint64 StripBytes = qint64(4) << 20;

bool Fail(QString* Reason, const QString& Text)
{
    if (Reason)
        *Reason = Text;
    return false;
}

// The file libtiff writes, in memory: it writes the header first and goes
// back to it once the directory, written last, has its place.
struct TMemoryFile {
    QByteArray Bytes;
    qint64 Position = 0;
    bool OutOfMemory = false;
};

TMemoryFile& FileOf(thandle_t Handle)
{
    return *static_cast<TMemoryFile*>(Handle);
}

tmsize_t ReadMemory(thandle_t Handle, void* Data, tmsize_t Size)
{
    TMemoryFile& file = FileOf(Handle);
    const qint64 count = std::clamp<qint64>(file.Bytes.size() - file.Position, 0, Size);
    if (count > 0)
        std::memcpy(Data, file.Bytes.constData() + file.Position, std::size_t(count));
    file.Position += count;
    return tmsize_t(count);
}

// Nothing is thrown through libtiff's frames: memory running out is a
// failed write, which libtiff reports, and OutOfMemory tells why.
tmsize_t WriteMemory(thandle_t Handle, void* Data, tmsize_t Size)
{
    TMemoryFile& file = FileOf(Handle);
    const auto* bytes = static_cast<const char*>(Data);
    try {
        if (file.Position > file.Bytes.size())
            file.Bytes.append(qsizetype(file.Position - file.Bytes.size()), '\0');
        const qint64 over = std::clamp<qint64>(file.Bytes.size() - file.Position, 0, Size);
        if (over > 0)
            std::memcpy(file.Bytes.data() + file.Position, bytes, std::size_t(over));
        file.Bytes.append(bytes + over, qsizetype(Size - over));
    } catch (const std::bad_alloc&) {
        file.OutOfMemory = true;
        return 0;
    }
    file.Position += Size;
    return Size;
}

toff_t SeekMemory(thandle_t Handle, toff_t Offset, int Whence)
{
    TMemoryFile& file = FileOf(Handle);
    const qint64 base = Whence == SEEK_CUR ? file.Position : Whence == SEEK_END ? file.Bytes.size() : 0;
    file.Position = base + qint64(Offset);
    return toff_t(file.Position);
}

int CloseMemory(thandle_t)
{
    return 0;
}

toff_t SizeOfMemory(thandle_t Handle)
{
    return toff_t(FileOf(Handle).Bytes.size());
}

int MapNothing(thandle_t, void**, toff_t*)
{
    return 0;
}

void UnmapNothing(thandle_t, void*, toff_t) {}

// libtiff's first error of this file becomes the reason; its messages are
// kept from its global handlers, which would print them.
int KeepFirstError(TIFF*, void* UserData, const char* Module, const char* Format, va_list Arguments)
{
    auto* message = static_cast<QString*>(UserData);
    if (message->isEmpty()) {
        char text[512];
        std::vsnprintf(text, sizeof text, Format, Arguments);
        *message = Module && *Module ? QStringLiteral("%1: %2").arg(QString::fromLocal8Bit(Module),
                                                                    QString::fromLocal8Bit(text))
                                     : QString::fromLocal8Bit(text);
    }
    return 1;
}

int IgnoreWarning(TIFF*, void*, const char*, const char*, va_list)
{
    return 1;
}

// Room for the largest file LZW can make of the picture, taken only as it
// is written, so that the bytes are never copied to a larger home: at most
// a 12-bit code for every byte of pixels, a clear code now and then, and
// the header, the directory and the profile.
qint64 LargestFileBytes(const TTiffRowPicture& Picture)
{
    const qint64 pixels = qint64(Picture.Width) * Picture.Height * 4;
    return pixels / 2 * 3 + pixels / 64 + Picture.Icc.size() + 65536;
}

using TOptions = std::unique_ptr<TIFFOpenOptions, decltype(&TIFFOpenOptionsFree)>;
using TTiff = std::unique_ptr<TIFF, decltype(&TIFFClose)>;

// The tags Qt's writer sets for a Format_ARGB32 image asked for LZW.
bool SetTags(TIFF* Tiff, const TTiffRowPicture& Picture)
{
    const auto width = std::uint32_t(Picture.Width);
    const auto rowsPerStrip = std::uint32_t(std::max<qint64>(1, StripBytes / (qint64(Picture.Width) * 4)));
    const std::uint16_t extraSamples[] = {EXTRASAMPLE_UNASSALPHA};
    bool set = TIFFSetField(Tiff, TIFFTAG_IMAGEWIDTH, width) &&
               TIFFSetField(Tiff, TIFFTAG_IMAGELENGTH, std::uint32_t(Picture.Height)) &&
               TIFFSetField(Tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB) &&
               TIFFSetField(Tiff, TIFFTAG_COMPRESSION, COMPRESSION_LZW) &&
               TIFFSetField(Tiff, TIFFTAG_BITSPERSAMPLE, 8) &&
               TIFFSetField(Tiff, TIFFTAG_SAMPLESPERPIXEL, 4) &&
               TIFFSetField(Tiff, TIFFTAG_EXTRASAMPLES, 1, extraSamples) &&
               TIFFSetField(Tiff, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT) &&
               TIFFSetField(Tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) &&
               TIFFSetField(Tiff, TIFFTAG_ROWSPERSTRIP, rowsPerStrip);
    // Whole dots per centimetre when both axes have them, else dots per
    // inch rounded to whole ones.
    const int x = Picture.DotsPerMeterX, y = Picture.DotsPerMeterY;
    if (x % 100 == 0 && y % 100 == 0)
        set = set && TIFFSetField(Tiff, TIFFTAG_RESOLUTIONUNIT, RESUNIT_CENTIMETER) &&
              TIFFSetField(Tiff, TIFFTAG_XRESOLUTION, double(x / 100)) &&
              TIFFSetField(Tiff, TIFFTAG_YRESOLUTION, double(y / 100));
    else
        set = set && TIFFSetField(Tiff, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH) &&
              TIFFSetField(Tiff, TIFFTAG_XRESOLUTION, double(qRound(x * 0.0254))) &&
              TIFFSetField(Tiff, TIFFTAG_YRESOLUTION, double(qRound(y * 0.0254)));
    if (set && !Picture.Icc.isEmpty())
        set = TIFFSetField(Tiff, TIFFTAG_ICCPROFILE, std::uint32_t(Picture.Icc.size()),
                           Picture.Icc.constData());
    return set;
}
} // namespace

QByteArray TiffFromRows(const TTiffRowPicture& Picture, QString* Reason)
{
    const int width = Picture.Width, height = Picture.Height;
    if (width <= 0 || height <= 0 || !Picture.Feed) {
        Fail(Reason, QStringLiteral("no image to write"));
        return {};
    }
    std::vector<std::uint32_t> band;
    std::vector<std::uint8_t> row;
    try {
        band.resize(std::size_t(width) * TiffBandRows);
        row.resize(std::size_t(width) * 4);
    } catch (const std::bad_alloc&) {
        Fail(Reason, QStringLiteral("out of memory for a %1 × %2 TIFF file").arg(width).arg(height));
        return {};
    }
    TMemoryFile file;
    try {
        file.Bytes.reserve(qsizetype(
            std::min<qint64>(LargestFileBytes(Picture), std::numeric_limits<qsizetype>::max() / 2)));
    } catch (const std::bad_alloc&) {
        // The file then grows as it is written.
    }
    QString message;
    const TOptions options(TIFFOpenOptionsAlloc(), TIFFOpenOptionsFree);
    if (!options) {
        Fail(Reason, QStringLiteral("out of memory for the TIFF writer"));
        return {};
    }
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), KeepFirstError, &message);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), IgnoreWarning, nullptr);
    const TTiff tiff(TIFFClientOpenExt("reflection", "w", &file, ReadMemory, WriteMemory, SeekMemory,
                                       CloseMemory, SizeOfMemory, MapNothing, UnmapNothing, options.get()),
                     TIFFClose);
    const auto failure = [&] {
        Fail(Reason, file.OutOfMemory    ? QStringLiteral("out of memory for the TIFF file")
                     : message.isEmpty() ? QStringLiteral("libtiff could not write the file")
                                         : message);
        return QByteArray();
    };
    if (!tiff || !SetTags(tiff.get(), Picture))
        return failure();
    for (int top = 0; top < height; top += TiffBandRows) {
        const int rows = std::min(TiffBandRows, height - top);
        if (!Picture.Feed(top, rows, band.data(), std::size_t(width)))
            return {};
        for (int y = 0; y < rows; ++y) {
            const std::uint32_t* in = band.data() + std::size_t(y) * std::size_t(width);
            std::uint8_t* out = row.data();
            for (int x = 0; x < width; ++x, out += 4) {
                out[0] = std::uint8_t(in[x] >> 16);
                out[1] = std::uint8_t(in[x] >> 8);
                out[2] = std::uint8_t(in[x]);
                out[3] = std::uint8_t(in[x] >> 24);
            }
            if (TIFFWriteScanline(tiff.get(), row.data(), std::uint32_t(top + y), 0) < 0)
                return failure();
        }
    }
    // The directory goes last; the header is then pointed at it.
    if (!TIFFFlush(tiff.get()) || file.OutOfMemory)
        return failure();
    return std::move(file.Bytes);
}

QByteArray TiffProfile(const TImagePackets* Packets, QStringList* Warnings)
{
    if (!Packets || Packets->Icc.isEmpty())
        return {};
    const QColorSpace space = QColorSpace::fromIccProfile(Packets->Icc);
    if (space.isValid())
        return space.iccProfile();
    if (Warnings)
        *Warnings << QStringLiteral("the ICC profile: the TIFF writer cannot read it");
    return {};
}

bool WriteTiffImage(const QImage& Image, QIODevice* Device, const TImagePackets* Packets,
                    QStringList* Warnings, QString* Reason)
{
    const QImage rows =
        Image.format() == QImage::Format_ARGB32 ? Image : Image.convertToFormat(QImage::Format_ARGB32);
    if (rows.isNull())
        return Fail(Reason, QStringLiteral("out of memory converting the image"));
    TTiffRowPicture picture;
    picture.Width = rows.width();
    picture.Height = rows.height();
    picture.DotsPerMeterX = rows.dotsPerMeterX();
    picture.DotsPerMeterY = rows.dotsPerMeterY();
    picture.Icc = TiffProfile(Packets, Warnings);
    picture.Feed = ImageRowFeed(rows);
    const QByteArray file = TiffFromRows(picture, Reason);
    if (file.isEmpty())
        return SaveOnThisThreadCancelled() ? Fail(Reason, QStringLiteral("cancelled")) : false;
    if (Device->write(file) == file.size())
        return true;
    return Fail(Reason, Device->errorString());
}
