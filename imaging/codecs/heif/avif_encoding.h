#pragma once

#include "imaging/codecs/heif_module_interface.h"

// The module's writing side: AVIF through libheif's AV1 encoder.

int CanEncodeAvif();
int EncodeAvif(const LumivexHeifPicture* Picture, int Quality, LumivexHeifGrow Output, void* OutputOwner,
               LumivexHeifGrow Error, void* ErrorOwner);
