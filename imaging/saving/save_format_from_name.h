#pragma once

#include "imaging/saving/image_encoders.h"

#include <QString>
#include <optional>

// The format a reflection is saved in and the name it is saved under.
struct TSaveTarget {
    QString FileName;
    ImageSaveFormat Format = ImageSaveFormat::Png;
};

// The format a file's own name asks for: its last extension decides, in any
// letter case (".png", ".jpg"/".jpeg"/".jpe", ".gif", ".bmp", ".tif"/".tiff").
// Folders in the path never count. Nothing when the name has none of these.
std::optional<ImageSaveFormat> SaveFormatOfName(const QString& FileName);

// Where and how to save FileName: in the format its name asks for, or else
// in Fallback (the filter chosen in the dialog, or the default) with that
// format's extension added to the name.
TSaveTarget SaveTargetFromName(const QString& FileName, ImageSaveFormat Fallback);

// The extension, without the dot, that a file of Format is given.
QString ExtensionOfFormat(ImageSaveFormat Format);
