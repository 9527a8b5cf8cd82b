#include "imaging/png_output.h"

#include <QImage>
#include <QImageWriter>

bool WritePngImage(const QImage& Image, QIODevice* Device)
{
    if (Image.isNull() || !Device)
        return false;
    // Default settings: QImageWriter reads a PNG "quality" as a compression
    // level (100 would mean no compression), so none is passed.
    QImageWriter writer(Device, "png");
    return writer.write(Image);
}
