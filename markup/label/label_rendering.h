#pragma once

#include "imaging/reflection/reflection_parameters.h"
#include "imaging/saving/save_formats.h"
#include "markup/markup_request.h"
#include "toolkit/graphics/color.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <functional>
#include <memory>

class TCanvas;

// What a saved label picture holds besides the label's whole area.
struct TLabelPictureOptions {
    // Only the laid-out text and its reflection: the text area's columns,
    // from the top down to the last reflection row that can show.
    bool Trim = false;
    // No background: the text and its reflection keep their alpha, the fade
    // included.
    bool Transparent = false;
};
class TFont;
class TImageList;
class THTMLPictureCache;
class TPictureContainer;

// How a reflection label draws, without a window: the markup laid out on a
// surface of the label's size over its background colour, the text area
// copied from that surface and mirrored with the shared fading algorithm,
// the reflection drawn under the text (or over it, or beside it, on the
// side the values name: the text then moves to leave it room). The label control paints through it
// and the command line renders through it, so both produce the same pixels.
class TLabelRendering
{
  public:
    TLabelRendering();
    ~TLabelRendering();
    TLabelRendering(const TLabelRendering&) = delete;
    TLabelRendering& operator=(const TLabelRendering&) = delete;

    // What the markup is drawn with. The font and the picture cache are owned;
    // Images and PictureContainer are only referred to.
    TFont* Font() const { return FFont.get(); }
    THTMLPictureCache* PictureCache() const { return FPictureCache.get(); }
    TImageList* Images = nullptr;
    TPictureContainer* PictureContainer = nullptr;
    TColor URLColor = clBlue;
    // The colour filled before each pass: the label's own colour, or what
    // shows behind a transparent label.
    TColor Background = clWhite;
    TReflectionParameters Parameters = LabelReflectionDefaults;

    // Text size reported by the most recent DrawMarkup call, and the
    // horizontal offset of the text area found by CaptureText.
    int MarkupWidth() const { return FMarkupWidth; }
    int MarkupHeight() const { return FMarkupHeight; }
    int MarkupLeft() const { return FMarkupLeft; }

    // The cached reflection (Format_ARGB32), null before the first build:
    // MarkupWidth x MarkupHeight, or the part of that width that lies on
    // the surface when the text is wider.
    const QImage& ReflectionBitmap() const { return FReflection; }
    bool HasReflection() const { return !FReflection.isNull(); }
    bool RebuildPending() const { return FRebuildPending; }
    void InvalidateReflection() { FRebuildPending = true; }

    // One DrawMarkup call with the label's picture cache and container added;
    // the reported text size becomes MarkupWidth and MarkupHeight.
    TMarkupResult RenderMarkup(TCanvas& Canvas, const QString& Markup, const TMarkupRequest& Request);
    // When set, painting, hit testing and measuring lay the markup out
    // through it instead of RenderMarkup (a control's overridable step).
    using TRenderHook =
        std::function<TMarkupResult(TCanvas& Canvas, const QString& Markup, const TMarkupRequest& Request)>;
    TRenderHook RenderHook;

    // Paints Surface as the label shows itself: background, reflection (when
    // one is built and current), the markup over both. With a rebuild
    // pending, and not Loading, it builds the reflection from what it has
    // just drawn and paints once more. Point is the mouse in surface
    // coordinates; HotIndex the anchor under it (-1 for none).
    void Paint(QImage& Surface, const QString& Markup, QPoint Point, int HotIndex, bool Loading);

    // Copies the text area from Surface (CaptureText) and rebuilds the
    // reflection from it. Nothing while Loading or when no text was laid out.
    // Throws "Could not allocate memory for reflection Label" when the
    // bitmaps cannot be made; the previous reflection stays then.
    void BuildReflection(const QImage& Surface, const QString& Markup, bool Loading);
    // Rebuilds from the text area kept at the last capture, for a change of
    // the opacities: the reflection never takes in a reflection drawn before.
    void RebuildFromLastCapture();

    // The anchor under (X, Y) on Surface: its target and rectangle when there
    // is one. AnchorIndex receives the 1-based anchor number, or -1.
    bool AnchorAt(QImage& Surface, const QString& Markup, int X, int Y, QString& Anchor, QRect& AnchorRect,
                  int& AnchorIndex);

    // The size that shows Markup whole with its reflection: the laid-out text
    // width (or Width when it is given, the text wrapping inside it), and its
    // height extended down to the last reflection row that can be visible.
    QSize FittingSize(const QString& Markup, int Width = 0);

    // The label's picture on a surface of Size, painted afresh with no mouse
    // over it: what the window saves and the command line writes for the
    // same markup, font, colours and values. Format_RGB32, or Format_ARGB32
    // when Transparent. The reflection and text size the label shows are
    // left as they were. A null image, with the reason, when there is no text
    // or the surface cannot be made; throws as BuildReflection does.
    QImage Picture(const QString& Markup, QSize Size, const TLabelPictureOptions& Options,
                   QString* Reason = nullptr);

    // What the label shows on a screen of Ratio device pixels per pixel:
    // the same picture as Paint's at Size, drawn with Ratio times the
    // pixels each way (text and reflection alike), for high-density
    // screens. Saved pictures stay those of Picture, at one to one. The
    // label's own reflection and text size are left as they were.
    // Transparent leaves the background out, as a transparent picture does
    // (Format_ARGB32_Premultiplied then).
    QImage ScreenPicture(const QString& Markup, QSize Size, double Ratio, QPoint Point, int HotIndex,
                         bool Transparent = false);

  private:
    TMarkupResult Render(TCanvas& Canvas, const QString& Markup, const TMarkupRequest& Request);
    // The label's fixed settings for a call at Point over Area.
    TMarkupRequest LabelRequest(const QRect& Area, QPoint Point) const;
    QImage CaptureText(const QImage& Surface, const QString& Markup);
    void PaintPass(QImage& Surface, const QString& Markup, QPoint Point, int HotIndex);
    // The rows and columns a trimmed picture keeps: the captured text area
    // and the reflection rows (columns) that can be visible on its side.
    QRect TextAndReflectionArea(QSize Surface) const;
    // Where the text goes: moved down or right by what of the reflection
    // lies before it when the mirror is above or on the left.
    QPoint TextOffset() const;
    // How far the reflection that can show reaches beyond the text.
    int ReflectionReach() const;
    QRect TextArea(const QRect& Client) const;
    // Where the reflection bitmap is drawn, in points.
    QPoint ReflectionOrigin() const;

    std::unique_ptr<TFont> FFont;
    std::unique_ptr<THTMLPictureCache> FPictureCache;
    QImage FReflection;
    QImage FCapturedText;
    bool FRebuildPending = true;
    int FMarkupWidth = 0;
    int FMarkupHeight = 0;
    int FMarkupLeft = 0;
    int FCaptureLeft = 0; // where the copied part of the text area starts
    // Painting a picture without background: the surface starts transparent
    // and the captured text keeps its alpha.
    bool FTransparent = false;
    // While Picture paints: only the rows of the text that the surface or
    // its reflection can show are captured (CaptureText).
    bool FCaptureSeenRowsOnly = false;
};

// A label picture as Format carries it: a transparent one is flattened over
// Background for the formats without alpha (JPEG, GIF, BMP), so that they
// show the label's colour rather than white; others come back unchanged.
QImage PictureForFormat(const QImage& Picture, ImageSaveFormat Format, TColor Background);

// Whether an anchor target may be handed to the desktop: web and mail
// addresses only (http, https, ftp, mailto, in lower case). Anything else,
// a file or a program path among them, is data and is never opened.
bool IsOpenableAnchor(const QString& Target);
