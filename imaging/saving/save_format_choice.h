#pragma once

#include "imaging/codecs/image_encoders.h"

#include <QString>

// The format the window saves in, chosen from the file name alone: the name
// upper-cased (a..z only) is searched for ".JPG", ".GIF" and ".BMP" anywhere
// in the full path, each match replacing the earlier one; PNG otherwise.
ImageSaveFormat SaveFormatFromFileName(const QString& FileName);
