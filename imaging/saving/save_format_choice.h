#pragma once

#include "imaging/saving/save_formats.h"

#include <QString>

// The format the window saves in, chosen from the file name alone: the name
// upper-cased (a..z only) is searched for the extensions of JPEG, GIF and BMP
// (".JPG", ".GIF", ".BMP") anywhere in the full path, each match replacing
// the earlier one; PNG otherwise, so TIFF is never chosen.
ImageSaveFormat SaveFormatFromFileName(const QString& FileName);
