#pragma once

#include "imaging/saving/save_formats.h"

#include <QString>
#include <optional>

class QImage;

// Where both commands' pictures go: "-" is standard output, any other name a
// file written as the window saves (a regular file replaced only once the new
// one is complete; a device or FIFO written in place).
inline const QString StandardStream = QStringLiteral("-");

// The format of an output: the one -f chose, else the one the output's name
// asks for, else PNG (which keeps the fade's alpha). Standard output has no
// name to choose from.
ImageSaveFormat OutputFormat(std::optional<ImageSaveFormat> Chosen, const QString& Output);

// Encodes Composed in Format into Output; false with the reason when nothing
// complete was written. Standard output is refused when it is a terminal.
bool WriteCommandOutput(const QImage& Composed, ImageSaveFormat Format, const QString& Output,
                        QString& Reason);
