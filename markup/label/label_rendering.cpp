#include "markup/label/label_rendering.h"

#include "imaging/reflection/reflection_builder.h"
#include "imaging/reflection/reflection_composer.h"
#include "imaging/reflection/reflection_direction.h"
#include "imaging/reflection/reflection_style.h"
#include "markup/draw_markup.h"
#include "pictures/html_picture_cache.h"
#include "toolkit/graphics/brush.h"
#include "toolkit/graphics/canvas.h"
#include "toolkit/graphics/font.h"
#include "toolkit/graphics/pen.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <new>
#include <stdexcept>
#include <tuple>

namespace
{
// The label's fixed DrawMarkup settings; they are not properties.
constexpr int ShadowShift = 2;
constexpr TColor PaintShadowColor = clGray;
constexpr TColor HitTestAnchorColor = clWhite;

const char* const AllocationFailure = "Could not allocate memory for reflection Label";

// The largest surface FittingSize asks for: beyond it a text is too long to
// be a label, and measuring more only costs time.
constexpr int MaxFittingSide = 32767;

// Markup with its blanks removed and lower-cased (ASCII letters only), where
// an alignment attribute is looked for whatever spacing the tag has.
QString AlignmentProbe(const QString& Markup)
{
    QString probe;
    probe.reserve(Markup.size());
    for (QChar c : Markup) {
        if (c == QLatin1Char(' '))
            continue;
        probe.append(c >= QLatin1Char('A') && c <= QLatin1Char('Z') ? QChar(c.unicode() + 32) : c);
    }
    return probe;
}

// Source-over of the reflection onto the opaque surface at Origin, exactly
// rounded, so that the window and the command line give the same pixels
// whatever the painter's blending precision.
void BlendReflection(QImage& Surface, const QImage& Reflection, QPoint Origin)
{
    // A screen's surface of more pixels than points takes the reflection
    // built at its density through the painter, which places it in points.
    if (Surface.devicePixelRatio() != 1.0) {
        QPainter painter(&Surface);
        painter.drawImage(Origin, Reflection);
        return;
    }
    // A transparent surface holds nothing yet when the reflection goes on:
    // the reflection is copied, premultiplied as the surface keeps colours.
    const bool transparent = Surface.format() == QImage::Format_ARGB32_Premultiplied;
    const QRect target = QRect(Origin, Reflection.size()) & Surface.rect();
    for (int y = target.top(); y <= target.bottom(); ++y) {
        auto* out = reinterpret_cast<std::uint32_t*>(Surface.scanLine(y));
        const auto* in = reinterpret_cast<const std::uint32_t*>(Reflection.constScanLine(y - Origin.y()));
        for (int x = target.left(); x <= target.right(); ++x) {
            const std::uint32_t source = in[x - Origin.x()];
            if ((source >> 24) == 0)
                continue;
            out[x] = transparent ? qPremultiply(source)
                                 : BlendArgbOver(source, out[x] | 0xFF000000u) | 0xFF000000u;
        }
    }
}

// Restores the text size and reflection a label shows after a picture was
// painted with the same rendering.
template <class... T> struct TRestored {
    std::tuple<T&...> Fields;
    std::tuple<T...> Saved;
    explicit TRestored(T&... Values) : Fields(Values...), Saved(Values...) {}
    ~TRestored() { Fields = std::move(Saved); }
    TRestored(const TRestored&) = delete;
    TRestored& operator=(const TRestored&) = delete;
};
} // namespace

TLabelRendering::TLabelRendering()
    : FFont(std::make_unique<TFont>()), FPictureCache(std::make_unique<THTMLPictureCache>())
{
}

TLabelRendering::~TLabelRendering() = default;

TMarkupResult TLabelRendering::RenderMarkup(TCanvas& Canvas, const QString& Markup,
                                            const TMarkupRequest& Request)
{
    TMarkupRequest request = Request;
    request.PictureCache = FPictureCache.get();
    request.PictureContainer = PictureContainer;
    const TMarkupResult result = DrawMarkup(Canvas, Markup, request);
    FMarkupWidth = result.ExtentWidth;
    FMarkupHeight = result.ExtentHeight;
    return result;
}

TMarkupResult TLabelRendering::Render(TCanvas& Canvas, const QString& Markup, const TMarkupRequest& Request)
{
    if (RenderHook)
        return RenderHook(Canvas, Markup, Request);
    return RenderMarkup(Canvas, Markup, Request);
}

TMarkupRequest TLabelRendering::LabelRequest(const QRect& Area, QPoint Point) const
{
    TMarkupRequest request;
    request.Area = Area;
    request.Point = Point;
    request.ShadowShift = ShadowShift;
    request.AnchorColor = URLColor;
    request.ShadowColor = PaintShadowColor;
    request.Images = Images;
    return request;
}

void TLabelRendering::PaintPass(QImage& Surface, const QString& Markup, QPoint Point, int HotIndex)
{
    // In points: a screen's surface may hold more pixels than that.
    const QRect client(QPoint(0, 0), Surface.deviceIndependentSize().toSize());
    if (FTransparent) {
        Surface.fill(Qt::transparent);
    } else {
        TCanvas canvas(&Surface);
        canvas.Pen()->SetColor(Background);
        canvas.Brush()->SetColor(Background);
        canvas.Brush()->SetStyle(TBrush::bsSolid);
        canvas.FillRect(client);
    }
    if (HasReflection() && !FRebuildPending)
        BlendReflection(Surface, FReflection, ReflectionOrigin());

    TCanvas canvas(&Surface);
    canvas.Font()->CopyFrom(FFont.get());
    canvas.Brush()->SetColor(Background);
    TMarkupRequest request = LabelRequest(TextArea(client), Point);
    request.HotIndex = HotIndex;
    Render(canvas, Markup, request);
}

int TLabelRendering::ReflectionReach() const
{
    const bool sideways = ReflectionDirectionInfo(Parameters.Direction).Sideways;
    const int rows = VisibleReflectionRows(sideways ? FMarkupWidth : FMarkupHeight, Parameters);
    return rows > 0 ? std::max(0, rows + Parameters.Axis) : 0;
}

QPoint TLabelRendering::TextOffset() const
{
    switch (Parameters.Direction) {
    case TReflectionDirection::Above:
        return QPoint(0, ReflectionReach());
    case TReflectionDirection::Left:
        return QPoint(ReflectionReach(), 0);
    default:
        return {};
    }
}

QRect TLabelRendering::TextArea(const QRect& Client) const
{
    // Beside the text the reflection takes its columns out of the width the
    // text is laid out and aligned in; below and above it takes nothing.
    const QPoint offset = TextOffset();
    const int room = Parameters.Direction == TReflectionDirection::Right ? ReflectionReach() : offset.x();
    return QRect(Client.topLeft() + offset, Client.size() - QSize(room, offset.y()));
}

QPoint TLabelRendering::ReflectionOrigin() const
{
    const QPoint text(FCaptureLeft, TextOffset().y());
    const double ratio = FReflection.devicePixelRatio();
    const QSize reflection = (QSizeF(FReflection.size()) / ratio).toSize();
    const int axis = Parameters.Axis;
    switch (Parameters.Direction) {
    case TReflectionDirection::Below:
        break;
    case TReflectionDirection::Above:
        return text - QPoint(0, axis + reflection.height());
    case TReflectionDirection::Left:
        return text - QPoint(axis + reflection.width(), 0);
    case TReflectionDirection::Right:
        return text + QPoint(int(std::lround(FCapturedText.width() / ratio)) + axis, 0);
    }
    return text + QPoint(0, FMarkupHeight + axis);
}

void TLabelRendering::Paint(QImage& Surface, const QString& Markup, QPoint Point, int HotIndex, bool Loading)
{
    PaintPass(Surface, Markup, Point, HotIndex);
    if (!FRebuildPending || Loading || FMarkupHeight <= 0)
        return;
    // A reflection above or on the left moves the text by its own extent,
    // known once the text is laid out: the text is drawn again where it
    // goes before it is captured (a narrower area may wrap it anew).
    for (int pass = 0; pass < 2; ++pass) {
        const int reach = ReflectionReach();
        if (Parameters.Direction == TReflectionDirection::Below || reach == 0)
            break;
        PaintPass(Surface, Markup, Point, HotIndex);
        if (ReflectionReach() == reach)
            break;
    }
    BuildReflection(Surface, Markup, Loading);
    // The flag is clear now: this pass draws the new reflection and stops.
    PaintPass(Surface, Markup, Point, HotIndex);
}

QImage TLabelRendering::CaptureText(const QImage& Surface, const QString& Markup)
{
    const double ratio = Surface.devicePixelRatio();
    const QRect area = TextArea(QRect(QPoint(0, 0), Surface.deviceIndependentSize().toSize()));
    FMarkupLeft = area.left();
    const int surfaceWidth = area.right() + 1;
    const QString probe = AlignmentProbe(Markup);
    if (probe.contains(QLatin1String("align=\"center\"")))
        FMarkupLeft += (area.width() - FMarkupWidth) / 2;
    else if (probe.contains(QLatin1String("align=\"right\"")))
        FMarkupLeft += area.width() - FMarkupWidth;

    // Columns of a text wider than the surface can never be seen, under the
    // text or in a save, so only the visible part is copied: a long word
    // costs no more memory than the label's own area. Rows below the surface
    // have nothing to copy; the background stands in for them.
    FCaptureLeft = std::max(FMarkupLeft, area.left());
    const int captureRight = std::min(FMarkupLeft + FMarkupWidth, surfaceWidth);
    // A picture is painted once on a surface that never grows: a reflection
    // below that starts past its last row is never seen, so the rows of a
    // text taller than the surface are not kept for it (a picture stretched
    // far past the output's height would cost twice its drawn size in
    // captured and mirrored rows that no pixel shows).
    int rows = FMarkupHeight;
    if (FCaptureSeenRowsOnly && Parameters.Direction == TReflectionDirection::Below &&
        area.top() + FMarkupHeight + Parameters.Axis > area.bottom())
        rows = std::clamp(area.bottom() + 1 - area.top(), 1, FMarkupHeight);
    QImage captured(int(std::lround(std::max(0, captureRight - FCaptureLeft) * ratio)),
                    int(std::lround(rows * ratio)), QImage::Format_ARGB32);
    if (captured.isNull())
        return captured;
    captured.setDevicePixelRatio(ratio);
    captured.fill(FTransparent ? QColor(Qt::transparent) : ColorToQColor(Background).rgb());
    QPainter painter(&captured);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPoint(-FCaptureLeft, -area.top()), Surface);
    painter.end();
    if (FTransparent)
        return captured;
    // A plain copy of what the area shows: every pixel counts as opaque.
    for (int y = 0; y < captured.height(); ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(captured.scanLine(y));
        for (int x = 0; x < captured.width(); ++x)
            row[x] |= 0xFF000000u;
    }
    return captured;
}

void TLabelRendering::BuildReflection(const QImage& Surface, const QString& Markup, bool Loading)
{
    if (Loading || FMarkupHeight <= 0)
        return;
    FRebuildPending = false;
    QImage captured = CaptureText(Surface, Markup);
    if (FMarkupWidth > 0 && captured.isNull())
        throw std::runtime_error(AllocationFailure);
    FCapturedText = std::move(captured);
    RebuildFromLastCapture();
}

void TLabelRendering::RebuildFromLastCapture()
{
    if (FCapturedText.isNull()) {
        FReflection = QImage();
        return;
    }
    QImage reflection;
    // Text captured at a screen's density is mirrored in its pixels: the
    // lengths grow with the density, the proportions stay.
    const double ratio = FCapturedText.devicePixelRatio();
    TReflectionParameters parameters = Parameters;
    parameters.Size = int(std::lround(Parameters.Size * ratio));
    parameters.Blur = int(std::lround(Parameters.Blur * ratio));
    try {
        reflection = BuildReflectionImage(FCapturedText, ratio == 1.0 ? Parameters : parameters);
    } catch (const std::bad_alloc&) {
        reflection = QImage();
    }
    if (reflection.isNull())
        throw std::runtime_error(AllocationFailure);
    reflection.setDevicePixelRatio(ratio);
    FReflection = std::move(reflection);
}

bool TLabelRendering::AnchorAt(QImage& Surface, const QString& Markup, int X, int Y, QString& Anchor,
                               QRect& AnchorRect, int& AnchorIndex)
{
    Anchor.clear();
    AnchorRect = QRect(QPoint(-1, -1), QPoint(-2, -2));
    TCanvas canvas(&Surface);
    canvas.Font()->CopyFrom(FFont.get());
    TMarkupRequest request = LabelRequest(TextArea(Surface.rect()), QPoint(X, Y));
    request.HotIndex = -1;
    request.TestOnly = true;
    request.AnchorColor = HitTestAnchorColor;
    request.ShadowColor = clNone;
    const TMarkupResult result = Render(canvas, Markup, request);
    if (!result.AnchorAtPoint) {
        AnchorIndex = -1;
        return false;
    }
    AnchorIndex = result.PointAnchorIndex;
    Anchor = result.PointAnchor;
    AnchorRect = result.PointAnchorRect;
    return true;
}

QSize TLabelRendering::FittingSize(const QString& Markup, int Width)
{
    QImage scratch(1, 1, QImage::Format_RGB32);
    TCanvas canvas(&scratch);
    canvas.Font()->CopyFrom(FFont.get());
    const int areaWidth = Width > 0 ? std::min(Width, MaxFittingSide) : MaxFittingSide;
    TMarkupRequest request = LabelRequest(QRect(0, 0, areaWidth, MaxFittingSide), QPoint(-1, -1));
    request.HotIndex = -1;
    request.MeasureOnly = true;
    Render(canvas, Markup, request);
    const int height = FMarkupHeight;
    if (ReflectionDirectionInfo(Parameters.Direction).Sideways) {
        const int columns = VisibleReflectionRows(FMarkupWidth, Parameters);
        const int reflectionEnd = columns > 0 ? FMarkupWidth + Parameters.Axis + columns : FMarkupWidth;
        return QSize(Width > 0 ? Width : std::max({1, FMarkupWidth, reflectionEnd}), std::max(1, height));
    }
    const int visibleRows = VisibleReflectionRows(height, Parameters);
    const int reflectionBottom = visibleRows > 0 ? height + Parameters.Axis + visibleRows : height;
    return QSize(Width > 0 ? Width : std::max(1, FMarkupWidth), std::max({1, height, reflectionBottom}));
}

QRect TLabelRendering::TextAndReflectionArea(QSize Surface) const
{
    const int height = FMarkupHeight;
    const int width = FCapturedText.isNull() ? 0 : FCapturedText.width();
    const TReflectionDirection side = Parameters.Direction;
    const bool sideways = ReflectionDirectionInfo(side).Sideways;
    const int length = sideways ? width : height;
    const int visibleRows = std::clamp(Parameters.Size, 0, length);
    // How far the reflection reaches beyond the text on its side.
    const int beyond = visibleRows > 0 ? std::max(0, Parameters.Axis + visibleRows) : 0;
    const QPoint text(FCaptureLeft, TextOffset().y());
    QRect area(text, QSize(width, height));
    if (side == TReflectionDirection::Below)
        area.setBottom(area.bottom() + beyond);
    else if (side == TReflectionDirection::Above)
        area.setTop(area.top() - beyond);
    else if (side == TReflectionDirection::Right)
        area.setRight(area.right() + beyond);
    else
        area.setLeft(area.left() - beyond);
    return area & QRect(QPoint(0, 0), Surface);
}

QImage TLabelRendering::Picture(const QString& Markup, QSize Size, const TLabelPictureOptions& Options,
                                QString* Reason)
{
    auto refuse = [Reason](const QString& Text) {
        if (Reason)
            *Reason = Text;
        return QImage();
    };
    // The label keeps showing what it showed: its text size, capture and
    // reflection come back when the picture is done.
    const TRestored shown(FReflection, FCapturedText, FRebuildPending, FMarkupWidth, FMarkupHeight,
                          FMarkupLeft, FCaptureLeft, FTransparent);

    FTransparent = Options.Transparent;
    QImage surface(Size, Options.Transparent ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    if (surface.isNull())
        return refuse(
            QStringLiteral("out of memory for a %1 × %2 image").arg(Size.width()).arg(Size.height()));
    FReflection = QImage();
    FCapturedText = QImage();
    FRebuildPending = true;
    {
        struct TSeenRowsOnly {
            bool& Flag;
            explicit TSeenRowsOnly(bool& Value) : Flag(Value) { Flag = true; }
            ~TSeenRowsOnly() { Flag = false; }
        } seenRowsOnly(FCaptureSeenRowsOnly);
        Paint(surface, Markup, QPoint(-1, -1), -1, false);
    }
    // Without text there is nothing to reflect, and nothing worth a picture.
    if (!HasReflection())
        return refuse(QStringLiteral("there is no text to draw"));
    if (Options.Trim) {
        const QRect area = TextAndReflectionArea(surface.size());
        if (area.isEmpty())
            return refuse(QStringLiteral("there is no text to draw"));
        surface = surface.copy(area);
    }
    return Options.Transparent ? surface.convertToFormat(QImage::Format_ARGB32) : surface;
}

QImage TLabelRendering::ScreenPicture(const QString& Markup, QSize Size, double Ratio, QPoint Point,
                                      int HotIndex, bool Transparent)
{
    const TRestored shown(FReflection, FCapturedText, FRebuildPending, FMarkupWidth, FMarkupHeight,
                          FMarkupLeft, FCaptureLeft, FTransparent);

    FTransparent = Transparent;
    QImage surface((QSizeF(Size) * Ratio).toSize(),
                   Transparent ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    if (surface.isNull())
        return surface;
    surface.setDevicePixelRatio(Ratio);
    FReflection = QImage();
    FCapturedText = QImage();
    FRebuildPending = true;
    Paint(surface, Markup, Point, HotIndex, false);
    return surface;
}

QImage PictureForFormat(const QImage& Picture, ImageSaveFormat Format, TColor Background)
{
    const TSaveFormatInfo* format = FindSaveFormat(Format);
    if (!Picture.hasAlphaChannel() || !format || format->KeepsAlpha)
        return Picture;
    const QImage source = Picture.convertToFormat(QImage::Format_ARGB32);
    QImage flat(source.size(), QImage::Format_RGB32);
    if (flat.isNull())
        return flat;
    const std::uint32_t background = ColorToQColor(Background).rgb() | 0xFF000000u;
    for (int y = 0; y < source.height(); ++y) {
        const auto* in = reinterpret_cast<const std::uint32_t*>(source.constScanLine(y));
        auto* out = reinterpret_cast<std::uint32_t*>(flat.scanLine(y));
        for (int x = 0; x < source.width(); ++x)
            out[x] = BlendArgbOver(in[x], background) | 0xFF000000u;
    }
    return flat;
}

bool IsOpenableAnchor(const QString& Target)
{
    static const QLatin1String schemes[] = {QLatin1String("http://"), QLatin1String("https://"),
                                            QLatin1String("ftp://"), QLatin1String("mailto:")};
    for (const QLatin1String& scheme : schemes)
        if (Target.startsWith(scheme, Qt::CaseSensitive) && Target.size() > scheme.size())
            return true;
    return false;
}
