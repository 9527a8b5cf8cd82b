#include "markup/markup_call.h"

#include "markup/entities.h"
#include "markup/markup_cursor.h"
#include "markup/run_width_cache.h"
#include "toolkit/graphics/brush.h"
#include "toolkit/graphics/canvas.h"
#include "toolkit/graphics/draw_text.h"
#include "toolkit/graphics/font.h"

namespace
{

TMarkupFont MarkupFontOf(const TFont& Font)
{
    TMarkupFont font;
    font.Name = Font.Name();
    font.Size = Font.Size();
    font.Bold = Font.Style().testFlag(TFont::fsBold);
    font.Italic = Font.Style().testFlag(TFont::fsItalic);
    font.Underline = Font.Style().testFlag(TFont::fsUnderline);
    font.StrikeOut = Font.Style().testFlag(TFont::fsStrikeOut);
    font.Color = Font.Color();
    return font;
}

} // namespace

TMarkupCall::TMarkupCall(TCanvas& Canvas, const TMarkupOptions& Options, TMarkupResults& Results)
    : FCanvas(Canvas), FOptions(Options), FResults(Results), FEntryFont(std::make_unique<TFont>())
{
    FEntryFont->CopyFrom(Canvas.Font());
    FEntryBrushColor = Canvas.Brush()->Color();
    FEntryBrushStyle = Canvas.Brush()->Style();
    FEntryRotation = Canvas.TextRotation();
    FBaseHeight = Canvas.Font()->Height();
    FState = MarkupState(MarkupFontOf(*Canvas.Font()));
    FMeasureFont = FDrawFont = FState.Font;
}

TMarkupCall::~TMarkupCall()
{
    // The canvas as the caller left it: font, brush and (not in the original
    // contract, but no font state may outlive the call) rotation.
    FCanvas.Font()->CopyFrom(FEntryFont.get());
    FCanvas.Brush()->SetColor(FEntryBrushColor);
    FCanvas.Brush()->SetStyle(TBrush::TBrushStyle(FEntryBrushStyle));
    FCanvas.SetTextRotation(FEntryRotation);
}

void TMarkupCall::Run(const QString& Markup, const QRect& Area)
{
    // 1. Per-call state (the constructor did the rest).
    FResults.PlainText.clear();
    FResults.FocusTarget.clear();
    FResults.AnchorTotal = FResults.ExtentWidth = FResults.ExtentHeight = 0;
    FResults.PointAnchorIndex = -1;
    FResults.AnchorAtPoint = false;
    FArea = TEdges{Area.x(), Area.y(), Area.x() + Area.width(), Area.y() + Area.height()};

    // 3. Text goes on a clear brush; the canvas follows the state's brush.
    SyncBrush();
    FCanvas.SetBkMode(TRANSPARENT);

    // 4. and 5. Drawing flags and the normalised text.
    const TNormalizedMarkup normalized = NormalizeMarkup(Markup);
    // Several body backgrounds (every body tag starts so once line breaks
    // are out): only the last one's fill shows.
    if (!FCountingFills && !FOptions.TestOnly && !FOptions.MeasureOnly && !FOptions.KeepColors &&
        normalized.Text.count(QLatin1String("<bo"), Qt::CaseInsensitive) > 1)
        FCoveringFillsToSkip = CountCoveringFills(Markup, Area) - 1;
    FTextFlags = DT_BOTTOM | DT_SINGLELINE | DT_EXPANDTABS | DT_EXTERNALLEADING;
    if (normalized.LiteralAmpersands)
        FTextFlags |= DT_NOPREFIX;
    if (!FOptions.WrapWords)
        FTextFlags |= DT_END_ELLIPSIS;

    // 6. The line rectangle starts one pixel in from the area's left edge.
    TEdges lineRect = FArea;
    lineRect.Left += 1;

    TMarkupCursor remaining(normalized.Text);
    // 7. One line at a time.
    while (!remaining.AtEnd()) {
        // 7.1 The measure pass starts from the font it left at the last line.
        FState.Font = FMeasureFont;
        const bool insideAnchor = FState.InsideAnchor;
        const QString anchorTarget = FState.AnchorTarget;
        const bool anchorStyled = FAnchorStyled;

        // 7.2 Line values.
        TMarkupLine line;
        FState.Subscript = FState.Superscript = false;
        line.Height = TextHeight(QStringLiteral("gh"));
        const int firstHeight = line.Height;
        const int anchorCount = FAnchorCount, listDepth = FState.ListDepth, imageCount = FImageCount;
        const int lineOffset = FState.LineOffset;

        // 7.3 Measure pass: cut what fits.
        const QString lineMarkup = DrawMarkupLine(remaining, lineRect, true, line, lineOffset);

        // 7.4 The second pass starts the line as the measure pass did.
        FState.InsideAnchor = insideAnchor;
        FState.AnchorTarget = anchorTarget;
        FAnchorStyled = anchorStyled;
        FMeasureFont = FState.Font;

        // 7.5 and 7.6 Gap, alignment and indent.
        line.Height += FOptions.LineGap;
        TEdges aligned = lineRect;
        if (FState.Alignment == TParagraphAlignment::Right) {
            if (aligned.Right - line.Width > aligned.Left)
                aligned.Left = aligned.Right - line.Width;
        } else if (FState.Alignment == TParagraphAlignment::Center) {
            const int room = aligned.Right - aligned.Left - line.Width;
            if (room > 0)
                aligned.Left += int(unsigned(room) / 2u);
        }
        aligned.Left += FState.Indent;
        aligned.Bottom = aligned.Top + line.Height + line.SubscriptDrop + line.SuperscriptRaise;

        // 7.7 Second pass over exactly this line's markup.
        if (!FOptions.MeasureOnly) {
            FState.Font = FDrawFont;
            FAnchorCount = anchorCount;
            FState.ListDepth = listDepth;
            FImageCount = imageCount;
            FState.LineOffset = lineOffset;
            TMarkupCursor again(lineMarkup);
            DrawMarkupLine(again, aligned, FOptions.TestOnly, line, lineOffset);
            const int textBottom = aligned.Bottom - line.ImageOffset;
            const int pointY = FOptions.Point.y();
            if (line.TextAnchorHit && pointY > textBottom - TextHeight(QStringLiteral("gh")) &&
                pointY < textBottom)
                FResults.AnchorAtPoint = true;
            if (line.ImageAnchorHit)
                FResults.AnchorAtPoint = true;
            FDrawFont = FState.Font;
        }

        // 7.8 Next line.
        const int advance = line.Height + line.SubscriptDrop + line.SuperscriptRaise;
        lineRect.Top += advance;
        FResults.ExtentHeight += advance;

        // 7.9 Layout stops at the area's bottom.
        if (!FOptions.MeasureOnly && lineRect.Top + firstHeight > FArea.Bottom)
            break;
    }

    // 8. An empty text is one line of the canvas font high.
    if (FResults.ExtentHeight == 0) {
        FState.Font = FState.BaseFont;
        FResults.ExtentHeight = TextHeight(QStringLiteral("gh"));
    }
    FResults.AnchorTotal = FAnchorCount;
    // 9. Canvas font, brush and rotation go back in the destructor.
    EndRotation();
}

void TMarkupCall::SyncFont()
{
    const TMarkupFont& font = FState.Font;
    TFont* canvasFont = FCanvas.Font();
    // Colours change far more often than the font itself (every anchor).
    canvasFont->SetColor(font.Color);
    if (FFontApplied && FAppliedFont.Name == font.Name && FAppliedFont.Size == font.Size &&
        FAppliedFont.Bold == font.Bold && FAppliedFont.Italic == font.Italic &&
        FAppliedFont.Underline == font.Underline && FAppliedFont.StrikeOut == font.StrikeOut)
        return;
    canvasFont->SetName(font.Name);
    // The size of the base font keeps its exact pixel height; sizes set by
    // tags are points.
    if (font.Size == FState.BaseFont.Size)
        canvasFont->SetHeight(FBaseHeight);
    else
        canvasFont->SetSize(font.Size);
    TFont::TFontStyles style;
    style.setFlag(TFont::fsBold, font.Bold);
    style.setFlag(TFont::fsItalic, font.Italic);
    style.setFlag(TFont::fsUnderline, font.Underline);
    style.setFlag(TFont::fsStrikeOut, font.StrikeOut);
    canvasFont->SetStyle(style);
    TRunWidthCache& cache = TRunWidthCache::ForThisThread();
    cache.SelectFont(canvasFont->Name(), canvasFont->Height(), int(style), FTextFlags & DT_NOPREFIX);
    FAppliedFont = font;
    FFontApplied = true;
    // Every text of a font has its cell's height.
    FCellHeight = cache.CellHeight();
    if (FCellHeight < 0) {
        FCellHeight = FCanvas.TextHeight(QString());
        cache.SetCellHeight(FCellHeight);
    }
}

void TMarkupCall::SyncBrush()
{
    TBrush* brush = FCanvas.Brush();
    if (FState.Brush.Clear) {
        brush->SetStyle(TBrush::bsClear);
        brush->SetColor(clNone);
    } else {
        brush->SetStyle(TBrush::bsSolid);
        brush->SetColor(FState.Brush.Color);
    }
}

int TMarkupCall::TextHeight(const QString& Text)
{
    Q_UNUSED(Text);
    SyncFont();
    return FCellHeight;
}

int TMarkupCall::TextWidth(const QString& Text)
{
    return MeasureRunWidth(Text, TEdges{}, FTextFlags & ~unsigned(DT_END_ELLIPSIS));
}

int TMarkupCall::MeasureRunWidth(const QString& Text, const TEdges& Rect, unsigned Flags)
{
    SyncFont();
    // An ellipsis depends on the room, so only full widths are kept.
    const bool cached = !(Flags & DT_END_ELLIPSIS);
    TRunWidthCache& widths = TRunWidthCache::ForThisThread();
    if (cached) {
        if (const int width = widths.Find(Text); width >= 0)
            return width;
    }
    QRect rect = Rect.ToRect();
    DrawTextEx(FCanvas, Text, rect, Flags | DT_CALCRECT);
    if (cached)
        widths.Insert(Text, rect.width());
    return rect.width();
}
