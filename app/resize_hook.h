#pragma once

#include <QObject>
#include <functional>

class QWidget;

// Runs a function whenever a widget changes size, and once at the start: for
// controls that follow their page in ways docking cannot express.
class TResizeHook : public QObject
{
  public:
    TResizeHook(QWidget* Watched, std::function<void()> Action);

  protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

  private:
    std::function<void()> FAction;
};
