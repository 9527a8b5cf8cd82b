#pragma once

#include "markup/markup_request.h"
#include "markup/markup_state.h"
#include "markup/markup_walk.h"
#include "markup/tag_readers.h"
#include "toolkit/graphics/color.h"

#include <QHash>
#include <QString>

class TMarkupCanvasPainter;

// Everything one walk of a DrawMarkup call over the text keeps: the request,
// the result being filled, the formatting state, the font each kind of pass
// carries from line to line, counters and the hit-test and focus
// bookkeeping. It measures text in the state's font through the canvas
// painter, which puts the canvas back when the context goes.
class TMarkupContext
{
  public:
    TMarkupContext(TMarkupCanvasPainter& Canvas, const TMarkupRequest& Request, TMarkupResult& Result);
    ~TMarkupContext();
    TMarkupContext(const TMarkupContext&) = delete;
    TMarkupContext& operator=(const TMarkupContext&) = delete;

    // The canvas font as the formatting state says; cheap when it already is.
    void SyncFont();
    // The height of a line of text in the state's font.
    int TextHeight();
    int TextWidth(const QString& Text);
    // The width DT_CALCRECT gives Text at Rect's left.
    int RunWidth(const QString& Text, const TEdges& Rect, unsigned Flags);

    // Rotation tags: a second rotation replaces the first; the end (or the
    // end of the call) puts back the font before any rotation.
    void ApplyRotation(int Degrees);
    void EndRotation();

    TMarkupCanvasPainter& Canvas;
    const TMarkupRequest& Request;
    TMarkupResult& Result;

    MarkupState State;
    TEdges Area;
    unsigned TextFlags = 0;
    TColor EntryBrushColor = clNone; // what blinking text takes in its hidden phase

    // The font each kind of pass carries from line to line.
    TMarkupFont MeasureFont;
    TMarkupFont DrawFont;

    int AnchorCount = 0;
    bool AnchorStyled = false;
    int ImageCount = 0;
    int ImageAtPoint = -1;

    // The rectangle of the anchor at the point, while it spans lines.
    bool Pending = false;
    int PendingX = 0;
    int PendingTop = 0;

    TEdges Focus;

    // Body colours and gradients cover the whole area and hide everything
    // drawn there before them. A text with several is walked once first,
    // drawing nothing, to count them; the drawing walk then paints only the
    // last (the others still change the brush as they would): the same
    // pixels for one fill per call instead of one per tag.
    int CoveringFillsMet = 0;
    int CoveringFillsToSkip = 0;

    // Attributes of the font and image tags met in this call: every line is
    // read twice and labels repeat their tags.
    QHash<QString, TFontTag> FontTags;
    QHash<QString, TImageTag> ImageTags;
    // Shell icons by name: finding one may look at a file.
    QHash<QString, int> ShellIcons;
};
