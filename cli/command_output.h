#pragma once

#include "imaging/saving/save_formats.h"

#include <QString>
#include <functional>
#include <optional>

class QImage;
class QIODevice;

// Where both commands' pictures go: "-" is standard output, any other name a
// file written as the window saves (a regular file replaced only once the new
// one is complete; a device or FIFO written in place).
inline const QString StandardStream = QStringLiteral("-");

// The format of an output: the one -f chose, else the one the output's name
// asks for, else PNG (which keeps the fade's alpha). Standard output has no
// name to choose from.
ImageSaveFormat OutputFormat(std::optional<ImageSaveFormat> Chosen, const QString& Output);

// Encodes Composed in Format at Quality (percent, see --quality) into
// Output; false with the reason when nothing complete was written. Standard
// output is refused when it is a terminal.
bool WriteCommandOutput(const QImage& Composed, ImageSaveFormat Format, int Quality, const QString& Output,
                        QString& Reason);

// The same for a writer that encodes by itself: Write gets the file name, or
// standard output as its device (FileName then empty).
bool WriteCommandOutput(const QString& Output, QString& Reason,
                        const std::function<bool(const QString& FileName, QIODevice* Device)>& Write);
