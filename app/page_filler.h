#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

// Keeps Child filling its parent's width and the height from Child's top
// down, whatever size the parent takes: a control that stands below a row
// of others neither slides up behind them in a short window nor leaves an
// empty band in a tall one.
class TPageFiller : public QObject
{
  public:
    explicit TPageFiller(QWidget* Child);

  protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

  private:
    void Fill();

    QPointer<QWidget> FChild;
    int FTop;
};
