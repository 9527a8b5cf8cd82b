#include "markup/markup_context.h"

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

bool SameFace(const TMarkupFont& A, const TMarkupFont& B)
{
    return A.Name == B.Name && A.Size == B.Size && A.Bold == B.Bold && A.Italic == B.Italic &&
           A.Underline == B.Underline && A.StrikeOut == B.StrikeOut;
}

} // namespace

TMarkupContext::TMarkupContext(TCanvas& Canvas_, const TMarkupRequest& Request_, TMarkupResult& Result_)
    : Canvas(Canvas_), Request(Request_), Result(Result_), FEntryFont(std::make_unique<TFont>())
{
    FEntryFont->CopyFrom(Canvas.Font());
    EntryBrushColor = Canvas.Brush()->Color();
    FEntryBrushStyle = Canvas.Brush()->Style();
    FEntryRotation = Canvas.TextRotation();
    FBaseHeight = Canvas.Font()->Height();
    State = MarkupState(MarkupFontOf(*Canvas.Font()));
    MeasureFont = DrawFont = State.Font;
    Area = TEdges{Request.Area.x(), Request.Area.y(), Request.Area.x() + Request.Area.width(),
                  Request.Area.y() + Request.Area.height()};
}

TMarkupContext::~TMarkupContext()
{
    // The canvas as the caller left it: font, brush and (not in the original
    // contract, but no font state may outlive the call) rotation.
    Canvas.Font()->CopyFrom(FEntryFont.get());
    Canvas.Brush()->SetColor(EntryBrushColor);
    Canvas.Brush()->SetStyle(TBrush::TBrushStyle(FEntryBrushStyle));
    Canvas.SetTextRotation(FEntryRotation);
}

void TMarkupContext::SyncFont()
{
    const TMarkupFont& font = State.Font;
    TFont* canvasFont = Canvas.Font();
    // Colours change far more often than the font itself (every anchor).
    canvasFont->SetColor(font.Color);
    if (FFontApplied && SameFace(FAppliedFont, font))
        return;
    canvasFont->SetName(font.Name);
    // The size of the base font keeps its exact pixel height; sizes set by
    // tags are points.
    if (font.Size == State.BaseFont.Size)
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
    cache.SelectFont(canvasFont->Name(), canvasFont->Height(), int(style), TextFlags & DT_NOPREFIX);
    FAppliedFont = font;
    FFontApplied = true;
    // Every text of a font has its cell's height.
    FCellHeight = cache.CellHeight();
    if (FCellHeight < 0) {
        FCellHeight = Canvas.TextHeight(QString());
        cache.SetCellHeight(FCellHeight);
    }
}

int TMarkupContext::TextHeight()
{
    SyncFont();
    return FCellHeight;
}

int TMarkupContext::TextWidth(const QString& Text)
{
    return RunWidth(Text, TEdges{}, TextFlags & ~unsigned(DT_END_ELLIPSIS));
}

int TMarkupContext::RunWidth(const QString& Text, const TEdges& Rect, unsigned Flags)
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
    DrawTextEx(Canvas, Text, rect, Flags | DT_CALCRECT);
    if (cached)
        widths.Insert(Text, rect.width());
    return rect.width();
}

void TMarkupContext::ApplyRotation(int Degrees)
{
    if (FRotated) {
        TRotatedFontState replaced;
        SelectRotatedFont(Canvas, Degrees, replaced);
        return;
    }
    SelectRotatedFont(Canvas, Degrees, FRotationSaved);
    FRotated = true;
}

void TMarkupContext::EndRotation()
{
    if (!FRotated)
        return;
    RestoreRotatedFont(Canvas, FRotationSaved);
    FRotated = false;
}
