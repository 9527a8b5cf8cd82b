#include "imaging/codecs/heif/heif_reading.h"

#include "imaging/codecs/heif/heif_error_text.h"
#include "imaging/codecs/heif/heif_owners.h"

#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <vector>

struct LumivexHeifFile {
    THeifContext Context;
    THeifHandle Primary;
    THeifImage Decoded;
    std::string Error;
};

namespace
{
// Copies Bytes to the end of Owner's buffer.
bool Append(const std::vector<char>& Bytes, LumivexHeifGrow Grow, void* Owner)
{
    char* room = Grow(Owner, Bytes.size());
    if (!room)
        return false;
    std::memcpy(room, Bytes.data(), Bytes.size());
    return true;
}

// The EXIF block begins with the offset of its TIFF header, then what
// the writer put before it (often "Exif\0\0").
std::vector<char> ExifOf(heif_image_handle* Handle, size_t MaxSize)
{
    heif_item_id id = 0;
    if (heif_image_handle_get_list_of_metadata_block_IDs(Handle, "Exif", &id, 1) < 1)
        return {};
    const size_t size = heif_image_handle_get_metadata_size(Handle, id);
    if (size < 4 || size > MaxSize)
        return {};
    std::vector<char> block(size);
    if (heif_image_handle_get_metadata(Handle, id, block.data()).code != heif_error_Ok)
        return {};
    const auto* bytes = reinterpret_cast<const unsigned char*>(block.data());
    const std::uint32_t offset = (std::uint32_t(bytes[0]) << 24) | (std::uint32_t(bytes[1]) << 16) |
                                 (std::uint32_t(bytes[2]) << 8) | bytes[3];
    if (offset > size - 4)
        return {};
    return std::vector<char>(block.begin() + 4 + std::ptrdiff_t(offset), block.end());
}

std::vector<char> XmpOf(heif_image_handle* Handle, size_t MaxSize)
{
    heif_item_id ids[16];
    const int count = heif_image_handle_get_list_of_metadata_block_IDs(Handle, "mime", ids, 16);
    for (int i = 0; i < count; ++i) {
        const char* type = heif_image_handle_get_metadata_content_type(Handle, ids[i]);
        if (!type || std::strcmp(type, "application/rdf+xml") != 0)
            continue;
        const size_t size = heif_image_handle_get_metadata_size(Handle, ids[i]);
        if (size > MaxSize)
            continue;
        std::vector<char> xmp(size);
        if (heif_image_handle_get_metadata(Handle, ids[i], xmp.data()).code == heif_error_Ok)
            return xmp;
    }
    return {};
}

std::vector<char> IccOf(heif_image_handle* Handle, size_t MaxSize)
{
    const heif_color_profile_type type = heif_image_handle_get_color_profile_type(Handle);
    if (type != heif_color_profile_type_prof && type != heif_color_profile_type_rICC)
        return {};
    const size_t size = heif_image_handle_get_raw_color_profile_size(Handle);
    if (size == 0 || size > MaxSize)
        return {};
    std::vector<char> icc(size);
    if (heif_image_handle_get_raw_color_profile(Handle, icc.data()).code != heif_error_Ok)
        return {};
    return icc;
}
} // namespace

LumivexHeifFile* OpenHeifFile(const char* Data, size_t Size, int MaxSide)
{
    auto* file = new (std::nothrow) LumivexHeifFile;
    if (!file)
        return nullptr;
    file->Context.reset(heif_context_alloc());
    if (!file->Context) {
        file->Error = "out of memory";
        return file;
    }
    heif_context_set_maximum_image_size_limit(file->Context.get(), MaxSide);
    heif_error error = heif_context_read_from_memory_without_copy(file->Context.get(), Data, Size, nullptr);
    if (error.code == heif_error_Ok) {
        heif_image_handle* handle = nullptr;
        error = heif_context_get_primary_image_handle(file->Context.get(), &handle);
        file->Primary.reset(error.code == heif_error_Ok ? handle : nullptr);
    }
    if (!file->Primary)
        file->Error = HeifErrorText(error);
    return file;
}

void CloseHeifFile(LumivexHeifFile* File)
{
    delete File;
}

const char* HeifFileError(const LumivexHeifFile* File)
{
    return File->Error.c_str();
}

int HeifPrimarySize(const LumivexHeifFile* File, int* Width, int* Height)
{
    if (!File->Primary)
        return 0;
    *Width = heif_image_handle_get_width(File->Primary.get());
    *Height = heif_image_handle_get_height(File->Primary.get());
    return 1;
}

int DecodeHeifFile(LumivexHeifFile* File)
{
    if (!File->Primary)
        return LUMIVEX_HEIF_FAILED;
    THeifDecodingOptions decoding(heif_decoding_options_alloc());
    heif_image* decoded = nullptr;
    const heif_error error = heif_decode_image(File->Primary.get(), &decoded, heif_colorspace_RGB,
                                               heif_chroma_interleaved_RGBA, decoding.get());
    File->Decoded.reset(decoded);
    if (error.code == heif_error_Ok && File->Decoded)
        return LUMIVEX_HEIF_OK;
    File->Decoded.reset();
    File->Error = HeifErrorText(error);
    return error.code == heif_error_Unsupported_feature ? LUMIVEX_HEIF_UNSUPPORTED : LUMIVEX_HEIF_FAILED;
}

const unsigned char* HeifFilePixels(const LumivexHeifFile* File, int* Width, int* Height, int* Stride)
{
    if (!File->Decoded)
        return nullptr;
    *Width = heif_image_get_width(File->Decoded.get(), heif_channel_interleaved);
    *Height = heif_image_get_height(File->Decoded.get(), heif_channel_interleaved);
    return heif_image_get_plane_readonly(File->Decoded.get(), heif_channel_interleaved, Stride);
}

int HeifFilePacket(const LumivexHeifFile* File, int Kind, size_t MaxSize, LumivexHeifGrow Grow, void* Owner)
{
    if (!File->Primary)
        return 0;
    heif_image_handle* handle = File->Primary.get();
    const std::vector<char> packet = Kind == LUMIVEX_HEIF_ICC    ? IccOf(handle, MaxSize)
                                     : Kind == LUMIVEX_HEIF_EXIF ? ExifOf(handle, MaxSize)
                                     : Kind == LUMIVEX_HEIF_XMP  ? XmpOf(handle, MaxSize)
                                                                 : std::vector<char>();
    return !packet.empty() && Append(packet, Grow, Owner) ? 1 : 0;
}
