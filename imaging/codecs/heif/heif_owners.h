#pragma once

#include <libheif/heif.h>
#include <memory>

// Owners of libheif's objects, each released by its own free function, so
// that every return path of a reader or writer lets go of them.

template <auto Release> struct THeifRelease {
    template <typename T> void operator()(T* Object) const { Release(Object); }
};

using THeifContext = std::unique_ptr<heif_context, THeifRelease<heif_context_free>>;
using THeifHandle = std::unique_ptr<heif_image_handle, THeifRelease<heif_image_handle_release>>;
using THeifImage = std::unique_ptr<heif_image, THeifRelease<heif_image_release>>;
using THeifEncoder = std::unique_ptr<heif_encoder, THeifRelease<heif_encoder_release>>;
using THeifEncodingOptions = std::unique_ptr<heif_encoding_options, THeifRelease<heif_encoding_options_free>>;
using THeifDecodingOptions = std::unique_ptr<heif_decoding_options, THeifRelease<heif_decoding_options_free>>;
using THeifNclx = std::unique_ptr<heif_color_profile_nclx, THeifRelease<heif_nclx_color_profile_free>>;
