#include "markup/markup_canvas_painter.h"

#include "markup/gradient_fill.h"
#include "markup/run_width_cache.h"
#include "markup/shell_icons.h"
#include "markup/stretch_bitmap_bits.h"
#include "pictures/html_picture.h"
#include "toolkit/graphics/bitmap.h"
#include "toolkit/graphics/brush.h"
#include "toolkit/graphics/canvas.h"
#include "toolkit/graphics/canvas_geometry.h"
#include "toolkit/graphics/draw_text.h"
#include "toolkit/graphics/font.h"
#include "toolkit/graphics/image_list.h"
#include "toolkit/graphics/pen.h"

#include <QBrush>
#include <QImage>
#include <QPainter>

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

TMarkupCanvasPainter::TMarkupCanvasPainter(TCanvas& Canvas)
    : FCanvas(Canvas), FEntryFont(std::make_unique<TFont>())
{
}

TMarkupCanvasPainter::~TMarkupCanvasPainter() = default;

TMarkupCanvasPainter::TWalkStart TMarkupCanvasPainter::BeginWalk()
{
    FEntryFont->CopyFrom(FCanvas.Font());
    FEntryBrushColor = FCanvas.Brush()->Color();
    FEntryBrushStyle = FCanvas.Brush()->Style();
    FEntryRotation = FCanvas.TextRotation();
    FBaseHeight = FCanvas.Font()->Height();
    FFontSelected = false;
    FRotated = false;
    const TWalkStart start{MarkupFontOf(*FCanvas.Font()), FEntryBrushColor};
    FCanvas.Brush()->SetStyle(TBrush::bsClear);
    FCanvas.Brush()->SetColor(clNone);
    FCanvas.SetBkMode(TRANSPARENT);
    return start;
}

void TMarkupCanvasPainter::EndWalk()
{
    FCanvas.Font()->CopyFrom(FEntryFont.get());
    FCanvas.Brush()->SetColor(FEntryBrushColor);
    FCanvas.Brush()->SetStyle(TBrush::TBrushStyle(FEntryBrushStyle));
    FCanvas.SetTextRotation(FEntryRotation);
    FFontSelected = false;
    FRotated = false;
}

void TMarkupCanvasPainter::SelectFont(const TMarkupFont& Font, int BaseSize, bool NoPrefix)
{
    TFont* canvasFont = FCanvas.Font();
    // Colours change far more often than the font itself (every anchor).
    canvasFont->SetColor(Font.Color);
    if (FFontSelected && SameFace(FSelectedFont, Font))
        return;
    canvasFont->SetName(Font.Name);
    if (Font.Size == BaseSize)
        canvasFont->SetHeight(FBaseHeight);
    else
        canvasFont->SetSize(Font.Size);
    TFont::TFontStyles style;
    style.setFlag(TFont::fsBold, Font.Bold);
    style.setFlag(TFont::fsItalic, Font.Italic);
    style.setFlag(TFont::fsUnderline, Font.Underline);
    style.setFlag(TFont::fsStrikeOut, Font.StrikeOut);
    canvasFont->SetStyle(style);
    TRunWidthCache& cache = TRunWidthCache::ForThisThread();
    cache.SelectFont(canvasFont->Name(), canvasFont->Height(), int(style), NoPrefix);
    FSelectedFont = Font;
    FFontSelected = true;
    // Every text of a font has its cell's height.
    FCellHeight = cache.CellHeight();
    if (FCellHeight < 0) {
        FCellHeight = FCanvas.TextHeight(QString());
        cache.SetCellHeight(FCellHeight);
    }
}

int TMarkupCanvasPainter::RunWidth(const QString& Text, const QRect& Rect, unsigned Flags)
{
    // An ellipsis depends on the room, so only full widths are kept.
    const bool cached = !(Flags & DT_END_ELLIPSIS);
    TRunWidthCache& widths = TRunWidthCache::ForThisThread();
    if (cached) {
        if (const int width = widths.Find(Text); width >= 0)
            return width;
    }
    QRect rect = Rect;
    DrawTextEx(FCanvas, Text, rect, Flags | DT_CALCRECT);
    if (cached)
        widths.Insert(Text, rect.width());
    return rect.width();
}

void TMarkupCanvasPainter::Rotate(int Degrees)
{
    if (FRotated) {
        TRotatedFontState replaced;
        SelectRotatedFont(FCanvas, Degrees, replaced);
        return;
    }
    SelectRotatedFont(FCanvas, Degrees, FRotationSaved);
    FRotated = true;
}

void TMarkupCanvasPainter::EndRotation()
{
    if (!FRotated)
        return;
    RestoreRotatedFont(FCanvas, FRotationSaved);
    FRotated = false;
}

QSize TMarkupCanvasPainter::DeviceSize(int Width, int Height) const
{
    return QSize(MulDiv(Width, FCanvas.PixelsPerInchX(), 96), MulDiv(Height, FCanvas.PixelsPerInchY(), 96));
}

void TMarkupCanvasPainter::SetBrush(const TMarkupBrush& Brush)
{
    TBrush* brush = FCanvas.Brush();
    if (Brush.Clear) {
        brush->SetStyle(TBrush::bsClear);
        brush->SetColor(clNone);
    } else {
        brush->SetStyle(TBrush::bsSolid);
        brush->SetColor(Brush.Color);
    }
}

void TMarkupCanvasPainter::TextRun(const QString& Text, const QRect& Rect, unsigned Flags,
                                   const TMarkupBrush& Brush)
{
    SetBrush(Brush);
    QRect rect = Rect;
    DrawTextEx(FCanvas, Text, rect, Flags);
}

void TMarkupCanvasPainter::Shadow(const QString& Text, const QRect& Rect, unsigned Flags,
                                  const TMarkupBrush& Brush, TColor Color)
{
    TFont* font = FCanvas.Font();
    const TColor textColor = font->Color();
    font->SetColor(Color);
    TextRun(Text, Rect, Flags, Brush);
    font->SetColor(textColor);
}

void TMarkupCanvasPainter::Rectangle(const QRect& Rect, TColor Outline, const TMarkupBrush& Brush)
{
    TPen* pen = FCanvas.Pen();
    const TColor penColor = pen->Color();
    pen->SetColor(Outline);
    SetBrush(Brush);
    FCanvas.Rectangle(Rect);
    pen->SetColor(penColor);
}

void TMarkupCanvasPainter::Gradient(const QRect& Rect, TColor From, TColor To, bool Horizontal, int Bands)
{
    GradientFill(FCanvas, From, To, Horizontal, Rect, Bands, clNone);
}

void TMarkupCanvasPainter::Line(QPoint From, QPoint To, TColor Color, int Width)
{
    TPen* pen = FCanvas.Pen();
    const TColor penColor = pen->Color();
    pen->SetColor(Color);
    if (Width > 0)
        pen->SetWidth(Width);
    FCanvas.MoveTo(From.x(), From.y());
    FCanvas.LineTo(To.x(), To.y());
    pen->SetColor(penColor);
}

void TMarkupCanvasPainter::FocusRect(const QRect& Rect)
{
    FCanvas.DrawFocusRect(Rect);
}

void TMarkupCanvasPainter::ImageListPicture(const TImageList& Images, int Index, const QRect& Target,
                                            bool Stretched)
{
    if (!Stretched) {
        Images.Draw(FCanvas, Target.x(), Target.y(), Index);
        return;
    }
    TBitmap bitmap;
    Images.GetBitmap(Index, &bitmap);
    StretchBitmapBits(FCanvas, Target, bitmap);
}

void TMarkupCanvasPainter::ShellIcon(int Index, bool Large, QPoint At, bool Scaled, double Factor)
{
    DrawShellIcon(FCanvas, At.x(), At.y(), Index, Large, Scaled, Factor);
}

void TMarkupCanvasPainter::Picture(THTMLPicture& Picture, const QRect& Target, bool Stretched)
{
    if (Stretched) {
        Picture.SetStretch(true);
        FCanvas.StretchDraw(Target, &Picture);
    } else {
        FCanvas.Draw(Target.x(), Target.y(), &Picture);
    }
}

void TMarkupCanvasPainter::ClippedPicture(THTMLPicture& Picture, QPoint At, const QRect& Clip)
{
    const bool clipped = FCanvas.HasClipRect();
    const QRect clip = FCanvas.ClipRect();
    FCanvas.SetClipRect(clipped ? clip & Clip : Clip);
    FCanvas.Draw(At.x(), At.y(), &Picture);
    if (clipped)
        FCanvas.SetClipRect(clip);
    else
        FCanvas.ClearClipRect();
}

void TMarkupCanvasPainter::TiledPicture(THTMLPicture& Picture, const QRect& Area)
{
    // The picture is drawn once and repeated as a texture, so a tiny picture
    // over a large area costs no more than filling it.
    QImage tile(Picture.Width(), Picture.Height(), QImage::Format_ARGB32_Premultiplied);
    tile.fill(Qt::transparent);
    {
        TCanvas tileCanvas(&tile);
        tileCanvas.Draw(0, 0, &Picture);
    }
    TCanvasPaint paint(FCanvas, &Area);
    if (!paint.IsActive())
        return;
    QBrush texture(tile);
    texture.setTransform(QTransform::fromTranslate(Area.x(), Area.y()));
    paint->fillRect(Area, texture);
}
