#pragma once

#include <QApplication>
#include <QCursor>

// Shows the busy pointer while a long task (opening or saving a big
// picture) holds the window, and restores it however the task ends.
class TBusyCursor
{
  public:
    TBusyCursor() { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~TBusyCursor() { QApplication::restoreOverrideCursor(); }
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;
};
