#include "app/image_view.h"

#include "app/checkerboard.h"
#include "controls/orb_reflection_image.h"
#include "imaging/image_shrink.h"
#include "imaging/reflection/reflection_block.h"
#include "imaging/reflection/reflection_builder.h"
#include "imaging/reflection/reflection_composer.h"
#include "toolkit/graphics/canvas.h"

#include <QEvent>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

namespace
{
constexpr int FocusFrameWidth = 2;
} // namespace

TImageView::TImageView(TOrbReflectionImage* Image, QWidget* Page)
    : QScrollArea(Page), FImage(Image), FContent(new QWidget)
{
    setFrameShape(QFrame::NoFrame);
    // The page's own background shows through, as it did around the control.
    setAutoFillBackground(false);
    viewport()->setAutoFillBackground(false);
    FContent->setAutoFillBackground(false);
    // The view starts where the control was placed, below the row of the
    // "Open image" button and the size caption, so that a scrolled or large
    // picture never passes under them; the control keeps its stored left and
    // appears at its stored top while the view is not scrolled.
    const QPoint place = Image->pos();
    FTop = std::max(0, place.y());
    Image->setParent(FContent);
    Image->move(place.x(), place.y() - FTop);
    Image->show();
    setWidget(FContent);
    setWidgetResizable(false);
    FollowImageSize();
    Image->installEventFilter(this);
    Page->installEventFilter(this);
    FContent->installEventFilter(this);
    FollowPage();
    lower();
    // The view takes the keyboard (arrows scroll at 100 %). While it has the
    // focus a frame over its edges says so, above whatever picture it shows.
    FFocusMark = new QWidget(this);
    FFocusMark->setAttribute(Qt::WA_TransparentForMouseEvents);
    FFocusMark->setFocusPolicy(Qt::NoFocus);
    FFocusMark->installEventFilter(this);
    FFocusMark->hide();
}

void TImageView::FollowPage()
{
    const QRect page = parentWidget()->rect();
    setGeometry(page.adjusted(0, std::min(FTop, page.height()), 0, 0));
}

QSize TImageView::PictureSize() const
{
    if (!FPreview.isNull())
        return FPreviewSize;
    TGDIPPicture* picture = FImage->Picture();
    if (picture->IsEmpty() || picture->Width() <= 0 || picture->Height() <= 0)
        return {};
    return QSize(picture->Width(), picture->Height());
}

void TImageView::SetPreview(const QImage& Reduced, QSize FullSize, const QByteArray& Icc)
{
    FPreview = Reduced;
    FPreviewSize = FullSize;
    FPreviewIcc = Reduced.isNull() ? QByteArray() : Icc;
    if (!FPreview.isNull())
        SetFitted(true);
    Refresh();
}

double TImageView::Scale() const
{
    if (!FFitted)
        return 1.0;
    const QSize picture = PictureSize();
    if (picture.isEmpty())
        return 1.0;
    const QRect area = FitArea();
    const QSize composed = ComposedSize(picture, FImage->ReflectionParameters());
    // Only ever shrunk: a small picture is shown at its own size.
    const double scale = std::min({1.0, double(area.width()) / std::max(1, composed.width()),
                                   double(area.height()) / std::max(1, composed.height())});
    return std::max(scale, 1e-4);
}

void TImageView::FitWhenLarger()
{
    TGDIPPicture* picture = FImage->Picture();
    const QRect area = FitArea();
    const QSize composed =
        ComposedSize(QSize(picture->Width(), picture->Height()), FImage->ReflectionParameters());
    const bool larger =
        !picture->IsEmpty() && (composed.width() > area.width() || composed.height() > area.height());
    SetFitted(larger);
    Refresh();
}

void TImageView::SetFitted(bool Value)
{
    // A reduced decoding has no pixels to show at 100 %.
    if (Value == FFitted || (!Value && !FPreview.isNull()))
        return;
    FFitted = Value;
    const Qt::ScrollBarPolicy policy = FFitted ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded;
    setHorizontalScrollBarPolicy(policy);
    setVerticalScrollBarPolicy(policy);
    if (FFitted) {
        horizontalScrollBar()->setValue(0);
        verticalScrollBar()->setValue(0);
    }
    FContent->setVisible(!FFitted);
    if (!FFitted) {
        // The fitted copies are not worth their memory while unseen.
        FPageCopy = QImage();
        FScaled = QImage();
    }
    Refresh();
}

void TImageView::SetCheckerboard(bool Value)
{
    if (Value == FCheckerboard)
        return;
    FCheckerboard = Value;
    FContent->update();
    Refresh();
}

void TImageView::Refresh()
{
    viewport()->update();
    if (OnViewChanged)
        OnViewChanged();
}

const TDisplayColours& TImageView::Colours()
{
    const QByteArray icc = !FPreview.isNull()             ? FPreviewIcc
                           : FImage->Picture()->IsEmpty() ? QByteArray()
                                                          : FImage->Picture()->Packets().Icc;
    if (icc != FColours.Icc()) {
        FColours = TDisplayColours(icc);
        // The fitted copy was made in the colours of another profile.
        FPageCopy = QImage();
        FScaled = QImage();
    }
    return FColours;
}

bool TImageView::ConvertsColours()
{
    return Colours().Converts();
}

QRect TImageView::FitArea() const
{
    return viewport()->rect();
}

QImage TImageView::ScaledPicture(const QImage& Picture, QSize Size, double Ratio)
{
    // On a high-density screen the page holds Ratio times the pixels.
    const QSizeF physical = QSizeF(FitArea().size()) * Ratio;
    const QRect area(QPoint(0, 0), physical.toSize());
    const double pageScale = std::min(
        {1.0, double(area.width()) / Picture.width(), double(area.height()) / std::max(1, Picture.height())});
    const QSize pageSize(std::max(1, int(std::lround(Picture.width() * pageScale))),
                         std::max(1, int(std::lround(Picture.height() * pageScale))));
    // The copy is kept while the page is resized within a range, so that
    // dragging the window's edge does not go back to the full picture.
    if (FPageCopy.isNull() || FPageCopySource != Picture.cacheKey() || FPageCopy.width() < pageSize.width() ||
        FPageCopy.width() > 2 * pageSize.width()) {
        const QSize copySize = (QSizeF(pageSize) * 1.25).toSize().boundedTo(Picture.size());
        // Box averages bring a large photo near the page size first, so the
        // smooth scaling never needs a full-size premultiplied copy of it.
        const int factor =
            std::max(1, std::min(Picture.width() / copySize.width(), Picture.height() / copySize.height()));
        // Scaled on the stored values, then converted: the small copy costs
        // little to convert, the full picture would cost its whole size.
        FPageCopy = Colours().Shown(ShrinkByBoxes(Picture, factor)
                                        .scaled(copySize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                                        .convertToFormat(QImage::Format_ARGB32));
        FPageCopySource = Picture.cacheKey();
        FScaled = QImage();
    }
    if (Size == FPageCopy.size())
        return FPageCopy;
    if (FScaled.isNull() || FScaled.size() != Size)
        FScaled = FPageCopy.scaled(Size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                      .convertToFormat(QImage::Format_ARGB32);
    return FScaled;
}

void TImageView::paintEvent(QPaintEvent* Event)
{
    QScrollArea::paintEvent(Event);
    PaintPicture();
}

void TImageView::focusInEvent(QFocusEvent* Event)
{
    QScrollArea::focusInEvent(Event);
    FFocusMark->setGeometry(rect());
    FFocusMark->raise();
    FFocusMark->show();
}

void TImageView::focusOutEvent(QFocusEvent* Event)
{
    QScrollArea::focusOutEvent(Event);
    FFocusMark->hide();
}

void TImageView::PaintPicture()
{
    if (!FFitted)
        return;
    TGDIPPicture* picture = FImage->Picture();
    if (FPreview.isNull() && picture->IsEmpty())
        return;
    // While a large photo is still being decoded, its reduced decoding
    // stands in for it at the same place and size.
    const QImage& full = FPreview.isNull() ? picture->DecodedImage() : FPreview;
    if (full.isNull())
        return;
    const QSize pictureSize = FPreview.isNull() ? full.size() : FPreviewSize;
    QPainter painter(viewport());
    // A high-density screen gets the picture at its own pixels, as far as
    // the picture has them, rather than a page-sized copy enlarged.
    const QPaintDevice* device = painter.paintEngine() ? painter.paintEngine()->paintDevice() : nullptr;
    const double ratio = std::max(1.0, device ? device->devicePixelRatio() : devicePixelRatio());
    const double scale = Scale();
    const double pixelScale = std::min(1.0, scale * ratio);
    const double shownRatio = pixelScale / scale;
    const QSize size(std::max(1, int(std::lround(pictureSize.width() * pixelScale))),
                     std::max(1, int(std::lround(pictureSize.height() * pixelScale))));
    // Reflection values are lengths in picture pixels: they shrink with it.
    const int reflectionSize = int(std::lround(FImage->ReflectionSize() * pixelScale));
    // Read before the copy is looked up: a change of profile drops it.
    Colours();
    QImage shown = ScaledPicture(full, size, ratio);
    if (FImage->ReflectionParameters().Direction != TReflectionDirection::Below) {
        PaintOnSide(painter, shown, pixelScale, shownRatio);
        ++FPicturePaints;
        return;
    }
    // The blur radius is a length as well; the squash is a proportion.
    QImage reflection = BuildReflectionBlock(shown,
                                             {.Size = reflectionSize,
                                              .OpacityStart = FImage->ReflectionOpacityStart(),
                                              .OpacityEnd = FImage->ReflectionOpacityEnd(),
                                              .Blur = int(std::lround(FImage->ReflectionBlur() * pixelScale)),
                                              .Scale = FImage->ReflectionScale()},
                                             QRect(0, 0, size.width(), reflectionSize));
    shown.setDevicePixelRatio(shownRatio);
    const QPointF origin = FitArea().topLeft();
    const double shownHeight = size.height() / shownRatio;
    const double axis = FImage->ReflectionAxis() * scale;
    if (FCheckerboard) {
        const double reflectionBottom =
            reflection.isNull() ? 0
                                : shownHeight + double(std::lround(axis)) + reflection.height() / shownRatio;
        const QRectF composed(origin,
                              QSizeF(size.width() / shownRatio, std::max(shownHeight, reflectionBottom)));
        PaintCheckerboard(painter, composed.toAlignedRect());
    }
    if (!reflection.isNull()) {
        reflection.setDevicePixelRatio(shownRatio);
        painter.drawImage(origin + QPointF(0, shownHeight + double(std::lround(axis))), reflection);
    }
    painter.drawImage(origin, shown);
    ++FPicturePaints;
    if (!FPreview.isNull() && OnPreviewPainted)
        OnPreviewPainted();
}

bool TImageView::PaintControlConverted(const QRect& Area)
{
    if (FImage->Picture()->IsEmpty() || Area.isEmpty() || !Colours().Converts())
        return false;
    // What the control would draw, drawn on a clear image of the area and
    // converted before it reaches the screen: the reflection, its fade and
    // its style are the control's own.
    QImage drawn(Area.size(), QImage::Format_ARGB32_Premultiplied);
    if (drawn.isNull())
        return false;
    drawn.fill(Qt::transparent);
    {
        QPainter painter(&drawn);
        painter.translate(-Area.topLeft());
        TCanvas canvas(&painter);
        FImage->DrawArea(canvas, Area);
    }
    QPainter painter(FImage);
    painter.drawImage(Area.topLeft(), FColours.Shown(std::move(drawn)));
    return true;
}

void TImageView::PaintOnSide(QPainter& Painter, QImage Shown, double PixelScale, double ShownRatio)
{
    // Every length, the axis included, in the shown pixels; the composition
    // laid out as the saved file has it.
    TReflectionParameters values = FImage->ReflectionParameters();
    values.Size = int(std::lround(values.Size * PixelScale));
    values.Axis = int(std::lround(values.Axis * PixelScale));
    values.Blur = int(std::lround(values.Blur * PixelScale));
    const TComposedPlaces places = ComposedPlaces(Shown.size(), values);
    QImage reflection = BuildReflectionImage(Shown, values);
    const QPointF origin = FitArea().topLeft();
    if (FCheckerboard) {
        const QSizeF composed = QSizeF(ComposedSize(Shown.size(), values)) / ShownRatio;
        PaintCheckerboard(Painter, QRectF(origin, composed).toAlignedRect());
    }
    if (!reflection.isNull()) {
        reflection.setDevicePixelRatio(ShownRatio);
        Painter.drawImage(origin + QPointF(places.Reflection.topLeft()) / ShownRatio, reflection);
    }
    Shown.setDevicePixelRatio(ShownRatio);
    Painter.drawImage(origin + QPointF(places.Picture.topLeft()) / ShownRatio, Shown);
}

void TImageView::resizeEvent(QResizeEvent* Event)
{
    QScrollArea::resizeEvent(Event);
    if (FFocusMark)
        FFocusMark->setGeometry(rect());
    if (FFitted)
        Refresh();
}

bool TImageView::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == FFocusMark && Event->type() == QEvent::Paint) {
        // A frame in the focus colour the other controls use, leaving the
        // picture itself untouched.
        QPainter painter(FFocusMark);
        painter.setPen(QPen(palette().color(QPalette::Highlight), FocusFrameWidth));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(FFocusMark->rect()).adjusted(1, 1, -1, -1));
        return true;
    }
    if (Watched == FContent && Event->type() == QEvent::Paint && FCheckerboard && !FFitted) {
        // Under the control, which paints the picture and its fade over it.
        TGDIPPicture* picture = FImage->Picture();
        if (!picture->IsEmpty()) {
            QPainter painter(FContent);
            PaintCheckerboard(painter,
                              QRect(FImage->pos(), ComposedSize(QSize(picture->Width(), picture->Height()),
                                                                FImage->ReflectionParameters())));
        }
    }
    if (Watched == FImage && Event->type() == QEvent::Paint &&
        PaintControlConverted(static_cast<QPaintEvent*>(Event)->rect()))
        return true;
    if (Watched == FImage && (Event->type() == QEvent::Resize || Event->type() == QEvent::Move))
        FollowImageSize();
    else if (Watched == parentWidget() && Event->type() == QEvent::Resize)
        FollowPage();
    return QScrollArea::eventFilter(Watched, Event);
}

void TImageView::FollowImageSize()
{
    const QRect placed = FImage->geometry();
    FContent->resize(std::max(0, placed.right() + 1), std::max(0, placed.bottom() + 1));
    if (OnViewChanged)
        OnViewChanged();
}
