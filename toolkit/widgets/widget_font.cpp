#include "toolkit/widgets/widget_font.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {
// The window system's MulDiv: rounds half away from zero.
int MulDiv(int Number, int Numerator, int Denominator)
{
    const long long product = static_cast<long long>(Number) * Numerator;
    const long long half = Denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / Denominator : (product - half) / Denominator);
}
} // namespace

TWidgetFont::TWidgetFont(QObject* Parent) : TPersistent(Parent) {}

void TWidgetFont::Changed()
{
    if (OnChange)
        OnChange();
}

void TWidgetFont::SetCharset(int Value)
{
    if (Value == FCharset)
        return;
    FCharset = Value;
    Changed();
}

void TWidgetFont::SetColor(TColor Value)
{
    if (Value == FColor)
        return;
    FColor = Value;
    Changed();
}

void TWidgetFont::SetHeight(int Value)
{
    if (Value == FHeight)
        return;
    FHeight = Value;
    Changed();
}

void TWidgetFont::SetName(const QString& Value)
{
    if (Value == FName)
        return;
    FName = Value;
    Changed();
}

int TWidgetFont::Size() const { return -MulDiv(FHeight, 72, 96); }

void TWidgetFont::SetSize(int Value) { SetHeight(-MulDiv(Value, 96, 72)); }

void TWidgetFont::SetStyle(TFontStyles Value)
{
    if (Value == FStyle)
        return;
    FStyle = Value;
    Changed();
}

void TWidgetFont::CopyFrom(const TPersistent* Source)
{
    const auto* other = qobject_cast<const TWidgetFont*>(Source);
    if (!other || other == this)
        return;
    if (FCharset == other->FCharset && FColor == other->FColor && FHeight == other->FHeight &&
        FName == other->FName && FStyle == other->FStyle)
        return;
    FCharset = other->FCharset;
    FColor = other->FColor;
    FHeight = other->FHeight;
    FName = other->FName;
    FStyle = other->FStyle;
    Changed();
}

QFont WidgetFontToQFont(const TWidgetFont& Font)
{
    QFont font(Font.Name());
    // Qt's pixel size is the em height, which is what a negative height gives.
    font.setPixelSize(std::max(1, std::abs(Font.Height())));
    font.setBold(Font.Style().testFlag(fsBold));
    font.setItalic(Font.Style().testFlag(fsItalic));
    font.setUnderline(Font.Style().testFlag(fsUnderline));
    font.setStrikeOut(Font.Style().testFlag(fsStrikeOut));
    return font;
}

void AssignQFontToWidgetFont(TWidgetFont& Font, const QFont& Source)
{
    TWidgetFont updated;
    updated.CopyFrom(&Font);
    updated.SetName(Source.family());
    if (Source.pixelSize() > 0)
        updated.SetHeight(-Source.pixelSize());
    else if (Source.pointSizeF() > 0)
        updated.SetHeight(-static_cast<int>(std::lround(Source.pointSizeF() * 96.0 / 72.0)));
    TFontStyles style;
    style.setFlag(fsBold, Source.bold());
    style.setFlag(fsItalic, Source.italic());
    style.setFlag(fsUnderline, Source.underline());
    style.setFlag(fsStrikeOut, Source.strikeOut());
    updated.SetStyle(style);
    Font.CopyFrom(&updated);
}

void SetWidgetFontChangeHandler(TWidgetFont& Font, std::function<void()> Handler)
{
    Font.OnChange = std::move(Handler);
}
