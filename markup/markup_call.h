#pragma once

#include "markup/markup_state.h"
#include "markup/rotated_font.h"
#include "markup/tag_readers.h"
#include "toolkit/graphics/color.h"

#include <QHash>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <memory>

class TCanvas;
class TFont;
class TImageList;
class THTMLPicture;
class THTMLPictureCache;
class TPictureContainer;
class TMarkupCursor;

// What a DrawMarkup call is asked to do, besides the text and the area.
struct TMarkupOptions {
    TImageList* Images = nullptr;
    QPoint Point;
    int FocusIndex = -1;
    int HotIndex = 0;
    int ShadowShift = 0;
    bool TestOnly = false;
    bool MeasureOnly = false;
    bool ScaleImages = false;
    bool KeepColors = false;
    bool BlinkVisible = false;
    bool HotOnly = false;
    bool WrapWords = true;
    double ImageScale = 1.0;
    TColor AnchorColor = clBlue;
    TColor HotBackColor = clNone;
    TColor HotTextColor = clNone;
    TColor ShadowColor = clGray;
    THTMLPictureCache* PictureCache = nullptr;
    TPictureContainer* PictureContainer = nullptr;
    int LineGap = 0;
};

// What a call finds out. PointAnchor and PointAnchorRect start as the
// caller's values, since the call writes them only when it finds an anchor.
struct TMarkupResults {
    bool AnchorAtPoint = false;
    QString PointAnchor;
    QString PlainText;
    QString FocusTarget;
    int ExtentWidth = 0;
    int ExtentHeight = 0;
    int AnchorTotal = 0;
    int PointAnchorIndex = -1;
    QRect PointAnchorRect;
};

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

// One DrawMarkup call: the formatting state, the font carried by each kind of
// pass, counters and the hit-test bookkeeping, all living for one call.
class TMarkupCall
{
  public:
    TMarkupCall(TCanvas& Canvas, const TMarkupOptions& Options, TMarkupResults& Results);
    ~TMarkupCall();
    TMarkupCall(const TMarkupCall&) = delete;
    TMarkupCall& operator=(const TMarkupCall&) = delete;

    // Lays out, draws and hit-tests the whole text; fills the results.
    void Run(const QString& Markup, const QRect& Area);

  private:
    // Cuts what fits on one line from Remaining (measure pass) or walks a
    // line's markup again at its aligned position (second pass, Measure then
    // being TestOnly). Returns the markup the pass consumed.
    QString DrawMarkupLine(TMarkupCursor& Remaining, const TEdges& LineRect, bool Measure, TMarkupLine& Line,
                           int LineOffset);

    // The walk over one line in one pass.
    struct TLineWalk {
        bool Measure = true;
        TEdges LineRect; // L, T, R, B; B already without the subscript drop
        TEdges Run;      // where the next run or picture goes
        TMarkupLine* Line = nullptr;
        bool EndOfLine = false;
        bool LineFull = false;
        bool ListItemSeen = false;
        int TrailingSpace = 0;
        bool HasText = false; // the line's accumulated text is not empty
        bool TextEndsWithBlank = false;
    };

    // The tag at the cursor. Returns false when the tag must wait for the
    // next line (line full), leaving it in the markup.
    bool ApplyTag(TMarkupCursor& Remaining, TLineWalk& Walk);
    void ApplyAnchorStart(const QString& Tag, TLineWalk& Walk);
    void ApplyAnchorEnd(TLineWalk& Walk);
    void ApplyListItem(TLineWalk& Walk);
    void ApplyRule(TLineWalk& Walk);
    void ApplyParagraph(const QString& Tag, TLineWalk& Walk);
    void ApplyFont(const QString& Tag, bool DrawPass);
    void ApplyBody(const QString& Tag, TLineWalk& Walk);
    bool ApplyImage(const QString& Tag, TLineWalk& Walk);
    // Body background pictures: tiled over the area, or once at its top-left
    // or top-right corner.
    enum class TPlacement { Tiled, TopLeft, TopRight };
    void DrawBodyPicture(const QString& Name, TPlacement Placement, TLineWalk& Walk);
    // A picture from the container (names without ":") or from the cache by
    // location (names with "://"); nullptr when neither has it.
    // DrawnSize is the size an image tag draws it at (invalid: its own).
    THTMLPicture* FindPicture(const QString& Name, const QSize& DrawnSize = QSize());
    void FillGradient(TColor From, TColor To, bool Horizontal, const TEdges& Rect);
    // Body colours and gradients cover the whole area, hiding everything
    // drawn before them there. When a text has several, a first walk on a
    // one-pixel canvas counts them and the drawing walk paints only the last
    // (its other effects, on the brush, still happen at each): the pixels
    // are the same and the cost is one fill per call instead of one per tag.
    int CountCoveringFills(const QString& Markup, const QRect& Area);
    bool FCountingFills = false;
    int FCoveringFillsMet = 0;
    int FCoveringFillsToSkip = 0;
    void ApplyRotation(const QString& Tag);
    void EndRotation();

    void DrawRun(const QString& Run, TLineWalk& Walk);
    void DrawErrorUnderline(int From, int To, int Bottom);
    void DrawFocus(TEdges Rect);

    // Canvas font and brush as the formatting state says.
    void SyncFont();
    void SyncBrush();
    int TextHeight(const QString& Text);
    int TextWidth(const QString& Text);
    // The width DT_CALCRECT gives Text at Rect's left.
    int MeasureRunWidth(const QString& Text, const TEdges& Rect, unsigned Flags);

    TCanvas& FCanvas;
    const TMarkupOptions& FOptions;
    TMarkupResults& FResults;

    MarkupState FState;
    TEdges FArea;
    unsigned FTextFlags = 0;

    // Canvas state at entry, put back at the end.
    std::unique_ptr<TFont> FEntryFont;
    TColor FEntryBrushColor = clNone;
    int FEntryBrushStyle = 0;
    int FEntryRotation = 0;

    // The font each kind of pass carries from line to line.
    TMarkupFont FMeasureFont;
    TMarkupFont FDrawFont;
    TMarkupFont FAppliedFont;
    bool FFontApplied = false;
    int FCellHeight = 0;
    int FBaseHeight = 0;

    int FAnchorCount = 0; // also the results' AnchorTotal
    bool FAnchorStyled = false;
    int FImageCount = 0;
    int FImageAtPoint = -1;

    // The rectangle of the anchor at the point, while it spans lines.
    bool FPending = false;
    int FPendingX = 0;
    int FPendingTop = 0;

    TEdges FFocus;

    // Attributes of the font and image tags met in this call: every line is
    // read twice and labels repeat their tags.
    QHash<QString, TFontTag> FFontTags;
    QHash<QString, TImageTag> FImageTags;

    bool FRotated = false;
    TRotatedFontState FRotationSaved;
};
