#pragma once

class TCanvas;

// What SelectRotatedFont replaced, for RestoreRotatedFont.
struct TRotatedFontState {
    int PreviousRotation = 0;
    bool Selected = false;
};

// Text drawn on Canvas is rotated by Angle degrees (counter-clockwise) until
// RestoreRotatedFont; the canvas's Font object is not changed. The rotation is
// kept in tenths of a degree, Angle taken modulo 360.
void SelectRotatedFont(TCanvas& Canvas, int Angle, TRotatedFontState& Saved);
// Puts back the rotation that Saved recorded; nothing when Saved holds none.
void RestoreRotatedFont(TCanvas& Canvas, TRotatedFontState& Saved);
