#pragma once

#include <QObject>
#include <functional>

class QPainter;
class QRect;
class TOrbReflectionLabel;

// Fills Area with the grey and white squares that stand for "transparent"
// in image tools, aligned to the area's corner.
void PaintCheckerboard(QPainter& Painter, const QRect& Area);

// Shows the "Text" page's label as a save without background writes it:
// the text and its fading reflection over a checkerboard, while Active says
// so. The label paints itself as usual otherwise.
class TTransparencyPreview : public QObject
{
  public:
    TTransparencyPreview(TOrbReflectionLabel* Label, std::function<bool()> Active);

  protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

  private:
    TOrbReflectionLabel* FLabel;
    std::function<bool()> FActive;
};
