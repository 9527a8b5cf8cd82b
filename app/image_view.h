#pragma once

#include "app/display_colours.h"

#include <QByteArray>
#include <QImage>
#include <QScrollArea>
#include <QSize>
#include <functional>

class QPainter;
class TOrbReflectionImage;

// The "Image" page's view of the reflection image control. At 100 % the
// control keeps its place and size and the page scrolls when it is larger;
// fitted, a copy of the picture scaled smoothly to the page is shown with
// its own reflection, so that the whole composition is in view. Saving and
// copying always use the control's full-size picture.
class TImageView : public QScrollArea
{
    Q_OBJECT
  public:
    // Takes Image into the view and covers Page below the row above Image's
    // place.
    TImageView(TOrbReflectionImage* Image, QWidget* Page);

    bool Fitted() const { return FFitted; }
    void SetFitted(bool Value);

    // Fits a newly opened picture that would not fit at 100 %, and shows a
    // smaller one at its own size, as image viewers open pictures.
    void FitWhenLarger();

    // The scale at which the picture is shown: 1 at 100 %, at most 1 fitted.
    double Scale() const;

    // Shows Reduced, a reduced decoding of a picture of FullSize carrying
    // the colour profile Icc, fitted in the picture's place until the whole
    // picture is taken (a null image ends it). The control keeps its picture
    // meanwhile.
    void SetPreview(const QImage& Reduced, QSize FullSize, const QByteArray& Icc = {});
    bool ShowsPreview() const { return !FPreview.isNull(); }
    // The size of the picture shown: the previewed one's, or the control's.
    QSize PictureSize() const;
    // How many times a fitted picture has been painted, to time the first.
    int PicturePaints() const { return FPicturePaints; }

    // Shows the control's current picture and values again.
    void Refresh();

    // A checkerboard under the composition, showing through where a save
    // with alpha is transparent (the fade, the picture's own transparency).
    bool Checkerboard() const { return FCheckerboard; }
    void SetCheckerboard(bool Value);

    // Whether the picture shown has a colour profile whose colours are
    // converted for the screen (see display_colours.h), fitted and at 100 %.
    bool ConvertsColours();

    // Runs once a reduced decoding has been painted.
    std::function<void()> OnPreviewPainted;

    // Runs after the view's mode or scale may have changed.
    std::function<void()> OnViewChanged;

  protected:
    void paintEvent(QPaintEvent* Event) override;
    void focusInEvent(QFocusEvent* Event) override;
    void focusOutEvent(QFocusEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

  private:
    // The fitted composition, scaled to the view.
    void PaintPicture();
    // The same for a reflection above or beside the picture: Shown at
    // PixelScale of the picture's pixels, ShownRatio of them per view pixel.
    void PaintOnSide(QPainter& Painter, QImage Shown, double PixelScale, double ShownRatio);
    // Where the fitted composition goes: the whole view, below the page's
    // row of controls.
    QRect FitArea() const;
    // Covers the page below that row.
    void FollowPage();
    // The picture at Size, smoothly scaled. A copy that fits the page (at
    // Ratio device pixels per pixel) is kept per picture and page size;
    // sliders that change the composition's height only rescale that small
    // copy, never the full picture again.
    // The copy is in the screen's colours.
    QImage ScaledPicture(const QImage& Picture, QSize Size, double Ratio);
    // The colours of the picture shown: the preview's or the control's.
    const TDisplayColours& Colours();
    // At 100 % the control draws Area as always, and a picture whose
    // colours are converted is put on the screen converted; false when
    // there is nothing to convert (the control paints itself).
    bool PaintControlConverted(const QRect& Area);
    void FollowImageSize();

    TOrbReflectionImage* FImage;
    QWidget* FContent;
    bool FFitted = false;
    bool FCheckerboard = false;
    QWidget* FFocusMark = nullptr;
    int FTop = 0; // the height of the page's row of controls above the view
    QImage FPageCopy;
    qint64 FPageCopySource = 0;
    QImage FScaled;
    QImage FPreview;
    QSize FPreviewSize;
    QByteArray FPreviewIcc;
    TDisplayColours FColours;
    int FPicturePaints = 0;
};
