#include "markup/rotated_font.h"

#include "toolkit/graphics/canvas.h"

namespace
{
constexpr long long TenthsPerTurn = 3600;
}

void SelectRotatedFont(TCanvas& Canvas, int Angle, TRotatedFontState& Saved)
{
    Saved.PreviousRotation = Canvas.TextRotation();
    Saved.Selected = true;
    // Whole turns change nothing; taking them out keeps the tenths in range.
    Canvas.SetTextRotation(int((static_cast<long long>(Angle) * 10) % TenthsPerTurn));
}

void RestoreRotatedFont(TCanvas& Canvas, TRotatedFontState& Saved)
{
    if (!Saved.Selected)
        return;
    Canvas.SetTextRotation(Saved.PreviousRotation);
    Saved.Selected = false;
}
