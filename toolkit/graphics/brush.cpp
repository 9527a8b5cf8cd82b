#include "toolkit/graphics/brush.h"

void TBrush::SetColor(TColor Value)
{
    const TBrushStyle style = Value == clNone ? bsClear : (FStyle == bsClear ? bsSolid : FStyle);
    if (FColor == Value && FStyle == style)
        return;
    FColor = Value;
    FStyle = style;
    Changed();
}

void TBrush::SetStyle(TBrushStyle Value)
{
    if (FStyle == Value)
        return;
    FStyle = Value;
    Changed();
}

void TBrush::CopyFrom(const TPersistent* Source)
{
    const auto* other = qobject_cast<const TBrush*>(Source);
    if (!other || other == this)
        return;
    FColor = other->FColor;
    FStyle = other->FStyle;
    Changed();
}
