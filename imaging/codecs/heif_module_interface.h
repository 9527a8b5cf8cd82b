#pragma once

#include <stddef.h>

// What the optional module lumivex_heif offers: everything that calls
// libheif lives in it, so that the libraries themselves never link libheif
// (and through it, on some systems, GPL encoders). Plain C types only, so
// that a module built apart from the program still fits; a change to any
// member takes a new version, and the module answers only its own.

#define LUMIVEX_HEIF_MODULE_VERSION 1
#define LUMIVEX_HEIF_MODULE_ENTRY "lumivex_heif_module"

extern "C" {

// A HEIF file read into libheif, with its primary image.
typedef struct LumivexHeifFile LumivexHeifFile;

// Room for Size more bytes at the end of Owner's buffer, or NULL when there
// is none.
typedef char* (*LumivexHeifGrow)(void* Owner, size_t Size);

// What Decode and EncodeAvif give.
enum LumivexHeifOutcome {
    LUMIVEX_HEIF_OK = 0,
    LUMIVEX_HEIF_FAILED = 1,      // damaged data, out of memory, an encoder's error
    LUMIVEX_HEIF_UNSUPPORTED = 2, // a feature this libheif cannot decode
};

// The packets Packet reads.
enum LumivexHeifPacketKind {
    LUMIVEX_HEIF_ICC = 0,
    LUMIVEX_HEIF_EXIF = 1, // from its TIFF header on
    LUMIVEX_HEIF_XMP = 2,
};

// A picture to encode: rows of 0xAARRGGBB values in the machine's byte
// order, not premultiplied, and the packets to carry (any may be empty).
typedef struct LumivexHeifPicture {
    const unsigned char* Rows;
    int Width;
    int Height;
    size_t Stride;
    const char* Icc;
    size_t IccSize;
    const char* Exif;
    size_t ExifSize;
    const char* Xmp;
    size_t XmpSize;
} LumivexHeifPicture;

typedef struct LumivexHeifModule {
    int Version;
    // Reads the boxes of Data (not copied: it must outlive the file), a side
    // over MaxSide refused. NULL only when out of memory.
    LumivexHeifFile* (*Open)(const char* Data, size_t Size, int MaxSide);
    void (*Close)(LumivexHeifFile* File);
    // Why the last step on File failed, in libheif's words.
    const char* (*Error)(const LumivexHeifFile* File);
    // The primary image's declared size; 0 when the file has no primary
    // image that can be read.
    int (*PrimarySize)(const LumivexHeifFile* File, int* Width, int* Height);
    // Decodes the primary image into interleaved RGBA that File keeps.
    int (*Decode)(LumivexHeifFile* File);
    // The decoded rows, or NULL before a decode succeeded.
    const unsigned char* (*Pixels)(const LumivexHeifFile* File, int* Width, int* Height, int* Stride);
    // Appends the primary image's packet of that kind to Owner's buffer when
    // the file holds one of at most MaxSize bytes; 0 when it gives none.
    int (*Packet)(const LumivexHeifFile* File, int Kind, size_t MaxSize, LumivexHeifGrow Grow, void* Owner);
    // Whether this libheif has an AV1 encoder.
    int (*CanEncodeAvif)(void);
    // Encodes Picture as AVIF, appending the file to Output's buffer or the
    // reason of a failure to Error's. Quality 1..99 is lossy at that
    // quality; 100, or -1, lossless.
    int (*EncodeAvif)(const LumivexHeifPicture* Picture, int Quality, LumivexHeifGrow Output,
                      void* OutputOwner, LumivexHeifGrow Error, void* ErrorOwner);
} LumivexHeifModule;

// The one entry point: the module's table when it speaks Version, else NULL.
typedef const LumivexHeifModule* (*LumivexHeifModuleEntry)(int Version);
}
