#include "imaging/codecs/heif/avif_encoding.h"

#include "imaging/codecs/heif/heif_error_text.h"
#include "imaging/codecs/heif/heif_owners.h"

#include <cstdint>
#include <cstring>
#include <string>

namespace
{
// Where the encoded file goes: the caller's buffer, through its Grow.
struct TOutput {
    LumivexHeifGrow Grow;
    void* Owner;
    bool Failed = false;
};

heif_error AppendTo(heif_context*, const void* Data, size_t Size, void* Out)
{
    auto* output = static_cast<TOutput*>(Out);
    char* room = output->Grow(output->Owner, Size);
    if (!room) {
        output->Failed = true;
        return heif_error{heif_error_Memory_allocation_error, heif_suberror_Unspecified, "out of memory"};
    }
    std::memcpy(room, Data, Size);
    return heif_error{heif_error_Ok, heif_suberror_Unspecified, ""};
}

int Fail(LumivexHeifGrow Error, void* ErrorOwner, const std::string& Text)
{
    if (char* room = Error(ErrorOwner, Text.size()))
        std::memcpy(room, Text.data(), Text.size());
    return LUMIVEX_HEIF_FAILED;
}

std::uint32_t PixelAt(const LumivexHeifPicture& Picture, int X, int Y)
{
    std::uint32_t pixel;
    std::memcpy(&pixel, Picture.Rows + std::size_t(Y) * Picture.Stride + std::size_t(X) * 4, 4);
    return pixel;
}

bool Opaque(const LumivexHeifPicture& Picture)
{
    for (int y = 0; y < Picture.Height; ++y)
        for (int x = 0; x < Picture.Width; ++x)
            if ((PixelAt(Picture, x, y) >> 24) != 255)
                return false;
    return true;
}
} // namespace

int CanEncodeAvif()
{
    return heif_have_encoder_for_format(heif_compression_AV1) != 0 ? 1 : 0;
}

int EncodeAvif(const LumivexHeifPicture* Picture, int Quality, LumivexHeifGrow Output, void* OutputOwner,
               LumivexHeifGrow Error, void* ErrorOwner)
{
    const LumivexHeifPicture& pixels = *Picture;
    const bool alpha = !Opaque(pixels);

    heif_image* created = nullptr;
    heif_error error =
        heif_image_create(pixels.Width, pixels.Height, heif_colorspace_RGB,
                          alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, &created);
    const THeifImage image(created);
    if (error.code != heif_error_Ok)
        return Fail(Error, ErrorOwner, HeifErrorText(error));
    error = heif_image_add_plane(image.get(), heif_channel_interleaved, pixels.Width, pixels.Height, 8);
    if (error.code != heif_error_Ok)
        return Fail(Error, ErrorOwner, HeifErrorText(error));
    int stride = 0;
    uint8_t* plane = heif_image_get_plane(image.get(), heif_channel_interleaved, &stride);
    // Written into the encoder's plane row by row, R, G, B (and A) bytes,
    // without a converted copy between.
    for (int y = 0; y < pixels.Height; ++y) {
        uint8_t* to = plane + std::size_t(y) * std::size_t(stride);
        for (int x = 0; x < pixels.Width; ++x) {
            const std::uint32_t from = PixelAt(pixels, x, y);
            *to++ = std::uint8_t(from >> 16);
            *to++ = std::uint8_t(from >> 8);
            *to++ = std::uint8_t(from);
            if (alpha)
                *to++ = std::uint8_t(from >> 24);
        }
    }
    if (pixels.IccSize > 0)
        heif_image_set_raw_color_profile(image.get(), "prof", pixels.Icc, pixels.IccSize);

    const THeifContext context(heif_context_alloc());
    heif_encoder* encoderMade = nullptr;
    error = heif_context_get_encoder_for_format(context.get(), heif_compression_AV1, &encoderMade);
    const THeifEncoder encoder(encoderMade);
    if (error.code != heif_error_Ok)
        return Fail(Error, ErrorOwner, HeifErrorText(error));
    const bool lossless = Quality < 0 || Quality >= 100;
    if (lossless) {
        error = heif_encoder_set_lossless(encoder.get(), 1);
        // Full-resolution colour: subsampled chroma would lose detail.
        if (error.code == heif_error_Ok)
            heif_encoder_set_parameter_string(encoder.get(), "chroma", "444");
    } else
        error = heif_encoder_set_lossy_quality(encoder.get(), Quality);
    if (error.code != heif_error_Ok)
        return Fail(Error, ErrorOwner, HeifErrorText(error));

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
        return Fail(Error, ErrorOwner, HeifErrorText(error));
    if (pixels.ExifSize > 0)
        heif_context_add_exif_metadata(context.get(), handle.get(), pixels.Exif, int(pixels.ExifSize));
    if (pixels.XmpSize > 0)
        heif_context_add_XMP_metadata(context.get(), handle.get(), pixels.Xmp, int(pixels.XmpSize));

    TOutput output{Output, OutputOwner};
    heif_writer writer{1, AppendTo};
    error = heif_context_write(context.get(), &writer, &output);
    if (error.code != heif_error_Ok)
        return Fail(Error, ErrorOwner, HeifErrorText(error));
    return LUMIVEX_HEIF_OK;
}
