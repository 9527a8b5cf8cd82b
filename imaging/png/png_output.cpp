#include "imaging/png/png_output.h"

#include "imaging/png/png_encoder.h"

#include <QImage>

bool WritePngImage(const QImage& Image, QIODevice* Device)
{
    if (Image.isNull() || !Device)
        return false;
    // Our own encoder: banded, on the cores the thread budget grants, and exact
    // for any alpha.
    return WritePng(Image, Device);
}
