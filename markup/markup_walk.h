#pragma once

#include <QRect>

class TMarkupPainter;

// A rectangle by its four edges, right and bottom just outside, as the
// layout computes with them.
struct TEdges {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    QRect ToRect() const { return QRect(Left, Top, Right - Left, Bottom - Top); }
};

// The values one line's two passes hand each other.
struct TMarkupLine {
    int Width = 0; // x extent of the content from the line's left edge
    int Height = 0;
    int SubscriptDrop = 0;
    int SuperscriptRaise = 0;
    int ImageOffset = 0; // text is raised by it (image ALIGN)
    bool TextAnchorHit = false;
    bool ImageAnchorHit = false;
};

// What a pass over a line records, and what it draws with. A measuring pass
// (every measure pass, and the second pass of a call that only tests) takes
// each run's width and tests text anchors; the drawing pass places runs one
// after the other, keeps the focus rectangle and carries out the tag effects
// that belong to the drawing pass. Whether anything appears is the painter's.
struct TLinePass {
    bool Measuring = true;
    TMarkupPainter* Painter = nullptr;
};

// The walk over one line in one pass.
struct TLineWalk {
    TLinePass Pass;
    TEdges LineRect; // L, T, R, B; B already without the subscript drop
    TEdges Run;      // where the next run or picture goes
    TMarkupLine* Line = nullptr;
    bool EndOfLine = false;
    bool LineFull = false;
    bool ListItemSeen = false;
    int TrailingSpace = 0;
    bool HasText = false; // the line's accumulated text is not empty
    bool TextEndsWithBlank = false;

    TMarkupPainter& Painter() const { return *Pass.Painter; }
    bool Measuring() const { return Pass.Measuring; }
};
