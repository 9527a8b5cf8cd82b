#include "toolkit/graphics/pen.h"

void TPen::SetColor(TColor Value)
{
    if (FColor == Value)
        return;
    FColor = Value;
    Changed();
}

void TPen::SetStyle(TPenStyle Value)
{
    if (FStyle == Value)
        return;
    FStyle = Value;
    Changed();
}

void TPen::SetWidth(int Value)
{
    if (FWidth == Value)
        return;
    FWidth = Value;
    Changed();
}

void TPen::CopyFrom(const TPersistent* Source)
{
    const auto* other = qobject_cast<const TPen*>(Source);
    if (!other || other == this)
        return;
    FColor = other->FColor;
    FStyle = other->FStyle;
    FWidth = other->FWidth;
    Changed();
}
