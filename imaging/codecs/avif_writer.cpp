#include "imaging/codecs/avif_writer.h"

#include "imaging/codecs/heif_owners.h"
#include "imaging/metadata/image_packets.h"

#include <QIODevice>
#include <QImage>
#include <cstdint>

namespace
{
bool Fail(QString* Reason, const QString& Text)
{
    if (Reason)
        *Reason = Text;
    return false;
}

QString ErrorText(const heif_error& Error)
{
    return Error.message && *Error.message ? QString::fromUtf8(Error.message)
                                           : QStringLiteral("libheif error %1").arg(int(Error.code));
}

bool Opaque(const QImage& Image)
{
    for (int y = 0; y < Image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(Image.constScanLine(y));
        for (int x = 0; x < Image.width(); ++x)
            if (qAlpha(line[x]) != 255)
                return false;
    }
    return true;
}

heif_error AppendTo(heif_context*, const void* Data, size_t Size, void* Out)
{
    static_cast<QByteArray*>(Out)->append(static_cast<const char*>(Data), qsizetype(Size));
    return heif_error{heif_error_Ok, heif_suberror_Unspecified, ""};
}
} // namespace

bool CanWriteAvif()
{
    return heif_have_encoder_for_format(heif_compression_AV1) != 0;
}

bool WriteAvifImage(const QImage& Image, QIODevice* Device, int Quality, const TImagePackets* Packets,
                    QString* Reason)
{
    if (Image.isNull())
        return Fail(Reason, QStringLiteral("no image to write"));
    if (!CanWriteAvif())
        return Fail(Reason, QStringLiteral("this libheif has no AV1 encoder"));
    const QImage pixels = Image.convertToFormat(QImage::Format_ARGB32);
    if (pixels.isNull())
        return Fail(Reason, QStringLiteral("out of memory converting the image"));
    const bool alpha = !Opaque(pixels);

    heif_image* created = nullptr;
    heif_error error =
        heif_image_create(pixels.width(), pixels.height(), heif_colorspace_RGB,
                          alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, &created);
    const THeifImage image(created);
    if (error.code != heif_error_Ok)
        return Fail(Reason, ErrorText(error));
    error = heif_image_add_plane(image.get(), heif_channel_interleaved, pixels.width(), pixels.height(), 8);
    if (error.code != heif_error_Ok)
        return Fail(Reason, ErrorText(error));
    int stride = 0;
    uint8_t* plane = heif_image_get_plane(image.get(), heif_channel_interleaved, &stride);
    // Written into the encoder's plane row by row, R, G, B (and A) bytes as
    // Qt's conversion would give them, without a converted copy between.
    for (int y = 0; y < pixels.height(); ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
        uint8_t* to = plane + std::size_t(y) * std::size_t(stride);
        for (int x = 0; x < pixels.width(); ++x) {
            *to++ = std::uint8_t(qRed(from[x]));
            *to++ = std::uint8_t(qGreen(from[x]));
            *to++ = std::uint8_t(qBlue(from[x]));
            if (alpha)
                *to++ = std::uint8_t(qAlpha(from[x]));
        }
    }
    if (Packets && !Packets->Icc.isEmpty())
        heif_image_set_raw_color_profile(image.get(), "prof", Packets->Icc.constData(),
                                         size_t(Packets->Icc.size()));

    const THeifContext context(heif_context_alloc());
    heif_encoder* encoderMade = nullptr;
    error = heif_context_get_encoder_for_format(context.get(), heif_compression_AV1, &encoderMade);
    const THeifEncoder encoder(encoderMade);
    if (error.code != heif_error_Ok)
        return Fail(Reason, ErrorText(error));
    const bool lossless = Quality < 0 || Quality >= 100;
    if (lossless) {
        error = heif_encoder_set_lossless(encoder.get(), 1);
        // Full-resolution colour: subsampled chroma would lose detail.
        if (error.code == heif_error_Ok)
            heif_encoder_set_parameter_string(encoder.get(), "chroma", "444");
    } else
        error = heif_encoder_set_lossy_quality(encoder.get(), Quality);
    if (error.code != heif_error_Ok)
        return Fail(Reason, ErrorText(error));

    const THeifEncodingOptions options(heif_encoding_options_alloc());
    const THeifNclx nclx(heif_nclx_color_profile_alloc());
    if (lossless && nclx) {
        // Lossless only with the colours as they are: no conversion to
        // luma and chroma, whose rounding would change them.
        nclx->matrix_coefficients = heif_matrix_coefficients_RGB_GBR;
        nclx->full_range_flag = 1;
        options->output_nclx_profile = nclx.get();
        heif_image_set_nclx_color_profile(image.get(), nclx.get());
        // A profile must not hide the matrix from readers.
        options->save_two_colr_boxes_when_ICC_and_nclx_available = 1;
    }
    heif_image_handle* handleMade = nullptr;
    error = heif_context_encode_image(context.get(), image.get(), encoder.get(), options.get(), &handleMade);
    const THeifHandle handle(handleMade);
    if (error.code != heif_error_Ok)
        return Fail(Reason, ErrorText(error));
    if (Packets && !Packets->Exif.isEmpty())
        heif_context_add_exif_metadata(context.get(), handle.get(), Packets->Exif.constData(),
                                       int(Packets->Exif.size()));
    if (Packets && !Packets->Xmp.isEmpty())
        heif_context_add_XMP_metadata(context.get(), handle.get(), Packets->Xmp.constData(),
                                      int(Packets->Xmp.size()));

    QByteArray bytes;
    heif_writer writer{1, AppendTo};
    error = heif_context_write(context.get(), &writer, &bytes);
    if (error.code != heif_error_Ok)
        return Fail(Reason, ErrorText(error));
    if (Device->write(bytes) != bytes.size())
        return Fail(Reason, Device->errorString());
    return true;
}
