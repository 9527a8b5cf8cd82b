#pragma once

class QFont;

// Vertical metrics of a font as the window system reports them. Lines of text
// are laid out from these, so labels and markup lines get the height they have
// there rather than the one of the font's typographic metrics.
struct TFontCellMetrics {
    int Ascent = 0;
    int Descent = 0;
    // Never negative: the window system clamps it at 0.
    int ExternalLeading = 0;

    // The text cell: ascent plus descent.
    int Height() const { return Ascent + Descent; }
};

// Ascent and descent from the font's OS/2 table (usWinAscent, usWinDescent,
// each scaled to the pixel size and rounded), falling back to Qt's metrics for
// fonts without that table. Results are kept per font, since text is measured
// run by run.
TFontCellMetrics FontCellMetrics(const QFont& Font);
