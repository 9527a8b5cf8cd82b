#pragma once

#include <QObject>
#include <chrono>

class TForm2;

// For timing how soon "lumivex FILE" shows FILE, as a user waits for it
// (bench/first_paint_process.cpp): once the opened picture has first been
// painted, fitted or at 100 %, one line goes to standard output and the
// program quits:
//   first paint: <wall clock in ns since 1970> <ms since main began>
// Only with LUMIVEX_REPORT_FIRST_PAINT set in the environment, so that it
// stays out of every user's way.
class TFirstPaintReport : public QObject
{
  public:
    static bool Wanted();
    // Watches Form's "Image" page; Start is when the program began.
    TFirstPaintReport(TForm2* Form, std::chrono::steady_clock::time_point Start);

  protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

  private:
    // Runs after a paint: reports and quits once the picture was in it.
    void Check();

    TForm2* FForm;
    std::chrono::steady_clock::time_point FStart;
    bool FControlPainted = false;
    bool FReported = false;
};
