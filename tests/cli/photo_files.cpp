#include "photo_files.h"

#include <QBuffer>
#include <QColor>
#include <QColorSpace>
#include <QFile>
#include <QImageWriter>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <lcms2.h>
#include <libexif/exif-data.h>
#include <libheif/heif.h>
#include <vector>
#include <zlib.h>

QByteArray MakeRgbProfile(const TPrimaries& Primaries, int TableEntries)
{
    const cmsCIExyY white{0.3127, 0.3290, 1.0};
    const cmsCIExyYTRIPLE primaries{{Primaries.Red[0], Primaries.Red[1], 1.0},
                                    {Primaries.Green[0], Primaries.Green[1], 1.0},
                                    {Primaries.Blue[0], Primaries.Blue[1], 1.0}};
    cmsToneCurve* curve = nullptr;
    if (TableEntries > 0) {
        std::vector<cmsUInt16Number> table(std::size_t(TableEntries), 0);
        for (int i = 0; i < TableEntries; ++i)
            table[std::size_t(i)] =
                cmsUInt16Number(std::lround(65535.0 * std::pow(double(i) / (TableEntries - 1), 2.2)));
        curve = cmsBuildTabulatedToneCurve16(nullptr, cmsUInt32Number(TableEntries), table.data());
    } else
        curve = cmsBuildGamma(nullptr, 2.2);
    cmsToneCurve* curves[3] = {curve, curve, curve};
    cmsHPROFILE profile = cmsCreateRGBProfile(&white, &primaries, curves);
    cmsFreeToneCurve(curve);
    cmsUInt32Number size = 0;
    QByteArray bytes;
    if (profile && cmsSaveProfileToMem(profile, nullptr, &size)) {
        bytes.resize(qsizetype(size));
        cmsSaveProfileToMem(profile, bytes.data(), &size);
    }
    if (profile)
        cmsCloseProfile(profile);
    return bytes;
}

QImage PhotoPicture(QSize Size)
{
    const QImage photo(QStringLiteral(LUMIVEX_TEST_DATA "/photo-opaque-320x240.jpg"));
    return photo.copy(QRect(QPoint(0, 0), Size)).convertToFormat(QImage::Format_ARGB32);
}

QImage SaturatedPicture(QSize Size)
{
    QImage image(Size, QImage::Format_ARGB32);
    for (int y = 0; y < Size.height(); ++y)
        for (int x = 0; x < Size.width(); ++x)
            image.setPixel(x, y,
                           QColor::fromHsvF(float(x) / float(Size.width()), 1.0f,
                                            0.4f + 0.6f * float(y) / float(Size.height()))
                               .rgba());
    return image;
}

QByteArray ProfiledFile(const QImage& Picture, const QByteArray& Icc, const char* Format)
{
    QImage image = Picture;
    if (!Icc.isEmpty())
        image.setColorSpace(QColorSpace::fromIccProfile(Icc));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, Format);
    writer.setQuality(95);
    return writer.write(image) ? bytes : QByteArray();
}

namespace
{
ExifEntry* AddEntry(ExifData* Data, ExifIfd Ifd, ExifTag Tag)
{
    ExifEntry* entry = exif_entry_new();
    exif_content_add_entry(Data->ifd[Ifd], entry);
    exif_entry_initialize(entry, Tag);
    exif_entry_unref(entry);
    return entry;
}

void SetNumber(ExifEntry* Entry, ExifByteOrder Order, int Value)
{
    if (Entry->format == EXIF_FORMAT_SHORT)
        exif_set_short(Entry->data, Order, ExifShort(Value));
    else
        exif_set_long(Entry->data, Order, ExifLong(Value));
}
} // namespace

QByteArray MakeExif(int Orientation, const QString& Copyright, QSize Size)
{
    ExifData* data = exif_data_new();
    exif_data_set_byte_order(data, EXIF_BYTE_ORDER_INTEL);
    const ExifByteOrder order = EXIF_BYTE_ORDER_INTEL;
    SetNumber(AddEntry(data, EXIF_IFD_0, EXIF_TAG_ORIENTATION), order, Orientation);
    SetNumber(AddEntry(data, EXIF_IFD_EXIF, EXIF_TAG_PIXEL_X_DIMENSION), order, Size.width());
    SetNumber(AddEntry(data, EXIF_IFD_EXIF, EXIF_TAG_PIXEL_Y_DIMENSION), order, Size.height());
    const QByteArray text = Copyright.toUtf8();
    ExifEntry* copyright = exif_entry_new();
    copyright->tag = EXIF_TAG_COPYRIGHT;
    copyright->format = EXIF_FORMAT_ASCII;
    copyright->components = unsigned(text.size() + 1);
    copyright->size = unsigned(text.size() + 1);
    copyright->data = static_cast<unsigned char*>(std::calloc(std::size_t(text.size() + 1), 1));
    std::memcpy(copyright->data, text.constData(), std::size_t(text.size()));
    exif_content_add_entry(data->ifd[EXIF_IFD_0], copyright);
    exif_entry_unref(copyright);
    unsigned char* saved = nullptr;
    unsigned int size = 0;
    exif_data_save_data(data, &saved, &size);
    exif_data_unref(data);
    const QByteArray packet =
        size > 6 ? QByteArray(reinterpret_cast<const char*>(saved) + 6, qsizetype(size) - 6) : QByteArray();
    std::free(saved);
    return packet;
}

QByteArray WithJpegSegment(const QByteArray& Jpeg, unsigned char Marker, const QByteArray& Payload)
{
    const qsizetype length = Payload.size() + 2;
    QByteArray segment;
    segment.append(char(0xFF)).append(char(Marker)).append(char(length >> 8)).append(char(length & 0xFF));
    return Jpeg.left(2) + segment + Payload + Jpeg.mid(2);
}

QByteArray WithPngChunk(const QByteArray& Png, const QByteArray& Type, const QByteArray& Data)
{
    QByteArray chunk;
    const auto put32 = [&chunk](quint32 Value) {
        chunk.append(char(Value >> 24))
            .append(char(Value >> 16))
            .append(char(Value >> 8))
            .append(char(Value));
    };
    put32(quint32(Data.size()));
    const QByteArray body = Type + Data;
    chunk += body;
    put32(quint32(crc32(0, reinterpret_cast<const Bytef*>(body.constData()), uInt(body.size()))));
    // Signature (8) and header chunk (25).
    return Png.left(33) + chunk + Png.mid(33);
}

TExifFacts ReadExifFacts(const QByteArray& Exif)
{
    TExifFacts facts;
    const QByteArray withHeader = QByteArrayLiteral("Exif\0\0") + Exif;
    ExifData* data = exif_data_new_from_data(reinterpret_cast<const unsigned char*>(withHeader.constData()),
                                             unsigned(withHeader.size()));
    if (!data)
        return facts;
    const ExifByteOrder order = exif_data_get_byte_order(data);
    const auto number = [&](ExifIfd Ifd, ExifTag Tag) {
        ExifEntry* entry = exif_content_get_entry(data->ifd[Ifd], Tag);
        if (!entry)
            return 0;
        return entry->format == EXIF_FORMAT_SHORT ? int(exif_get_short(entry->data, order))
                                                  : int(exif_get_long(entry->data, order));
    };
    facts.Orientation = number(EXIF_IFD_0, EXIF_TAG_ORIENTATION);
    facts.PixelWidth = number(EXIF_IFD_EXIF, EXIF_TAG_PIXEL_X_DIMENSION);
    facts.PixelHeight = number(EXIF_IFD_EXIF, EXIF_TAG_PIXEL_Y_DIMENSION);
    if (ExifEntry* copyright = exif_content_get_entry(data->ifd[EXIF_IFD_0], EXIF_TAG_COPYRIGHT))
        facts.Copyright = QString::fromUtf8(
            reinterpret_cast<const char*>(copyright->data),
            qsizetype(qstrnlen(reinterpret_cast<const char*>(copyright->data), copyright->size)));
    exif_data_unref(data);
    return facts;
}

bool CanEncodeHeic()
{
    return heif_have_encoder_for_format(heif_compression_HEVC) != 0;
}

namespace
{
heif_error AppendTo(heif_context*, const void* Data, size_t Size, void* Out)
{
    static_cast<QByteArray*>(Out)->append(static_cast<const char*>(Data), qsizetype(Size));
    return heif_error{heif_error_Ok, heif_suberror_Unspecified, ""};
}
} // namespace

QByteArray MakeHeic(const QImage& Picture, const QByteArray& Icc, const QByteArray& Exif)
{
    const QImage rgb = Picture.convertToFormat(QImage::Format_RGB888);
    heif_image* image = nullptr;
    if (heif_image_create(rgb.width(), rgb.height(), heif_colorspace_RGB, heif_chroma_interleaved_RGB, &image)
            .code != heif_error_Ok)
        return {};
    heif_image_add_plane(image, heif_channel_interleaved, rgb.width(), rgb.height(), 8);
    int stride = 0;
    uint8_t* plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
    for (int y = 0; y < rgb.height(); ++y)
        std::memcpy(plane + std::size_t(y) * std::size_t(stride), rgb.constScanLine(y),
                    std::size_t(rgb.width()) * 3);
    if (!Icc.isEmpty())
        heif_image_set_raw_color_profile(image, "prof", Icc.constData(), size_t(Icc.size()));
    heif_context* context = heif_context_alloc();
    heif_encoder* encoder = nullptr;
    QByteArray bytes;
    if (heif_context_get_encoder_for_format(context, heif_compression_HEVC, &encoder).code == heif_error_Ok) {
        heif_encoder_set_lossy_quality(encoder, 95);
        heif_image_handle* handle = nullptr;
        if (heif_context_encode_image(context, image, encoder, nullptr, &handle).code == heif_error_Ok) {
            if (!Exif.isEmpty())
                heif_context_add_exif_metadata(context, handle, Exif.constData(), int(Exif.size()));
            heif_writer writer{1, AppendTo};
            if (heif_context_write(context, &writer, &bytes).code != heif_error_Ok)
                bytes.clear();
            heif_image_handle_release(handle);
        }
        heif_encoder_release(encoder);
    }
    heif_context_free(context);
    heif_image_release(image);
    return bytes;
}

QImage ConvertedToSrgb(const QImage& Picture, const QByteArray& Icc)
{
    QImage rgb = Picture.convertToFormat(QImage::Format_RGB888);
    cmsHPROFILE source = cmsOpenProfileFromMem(Icc.constData(), cmsUInt32Number(Icc.size()));
    cmsHPROFILE srgb = cmsCreate_sRGBProfile();
    cmsHTRANSFORM transform = cmsCreateTransform(
        source, TYPE_RGB_8, srgb, TYPE_RGB_8, INTENT_RELATIVE_COLORIMETRIC, cmsFLAGS_BLACKPOINTCOMPENSATION);
    for (int y = 0; y < rgb.height(); ++y)
        cmsDoTransform(transform, rgb.scanLine(y), rgb.scanLine(y), cmsUInt32Number(rgb.width()));
    cmsDeleteTransform(transform);
    cmsCloseProfile(srgb);
    cmsCloseProfile(source);
    return rgb.convertToFormat(QImage::Format_ARGB32);
}

double Psnr(const QImage& A, const QImage& B)
{
    const QImage a = A.convertToFormat(QImage::Format_RGB888), b = B.convertToFormat(QImage::Format_RGB888);
    if (a.size() != b.size() || a.isNull())
        return 0;
    double squares = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width() * 3; ++x) {
            const double d = double(a.constScanLine(y)[x]) - double(b.constScanLine(y)[x]);
            squares += d * d;
        }
    const double mse = squares / (double(a.width()) * a.height() * 3);
    return mse == 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

bool WriteFile(const QString& FileName, const QByteArray& Bytes)
{
    QFile file(FileName);
    return file.open(QIODevice::WriteOnly) && file.write(Bytes) == Bytes.size();
}
