#include "toolkit/widgets/font_from_qfont.h"

#include "toolkit/graphics/font.h"

#include <QFont>
#include <cmath>

void AssignQFont(TFont& Font, const QFont& Source)
{
    TFont updated;
    updated.CopyFrom(&Font);
    updated.SetName(Source.family());
    if (Source.pixelSize() > 0)
        updated.SetHeight(-Source.pixelSize());
    else if (Source.pointSizeF() > 0)
        updated.SetHeight(-static_cast<int>(std::lround(Source.pointSizeF() * TFont::PixelsPerInch / 72.0)));
    TFont::TFontStyles style;
    style.setFlag(TFont::fsBold, Source.bold());
    style.setFlag(TFont::fsItalic, Source.italic());
    style.setFlag(TFont::fsUnderline, Source.underline());
    style.setFlag(TFont::fsStrikeOut, Source.strikeOut());
    updated.SetStyle(style);
    if (!(updated == Font))
        Font.CopyFrom(&updated);
}
