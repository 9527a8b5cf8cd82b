#pragma once

#include "imaging/codecs/heif_module_interface.h"

// The module's reading side: a HEIF file's primary image, its pixels and
// packets, through libheif.

LumivexHeifFile* OpenHeifFile(const char* Data, size_t Size, int MaxSide);
void CloseHeifFile(LumivexHeifFile* File);
const char* HeifFileError(const LumivexHeifFile* File);
int HeifPrimarySize(const LumivexHeifFile* File, int* Width, int* Height);
int DecodeHeifFile(LumivexHeifFile* File);
const unsigned char* HeifFilePixels(const LumivexHeifFile* File, int* Width, int* Height, int* Stride);
int HeifFilePacket(const LumivexHeifFile* File, int Kind, size_t MaxSize, LumivexHeifGrow Grow, void* Owner);
