#pragma once

#include <QString>
#include <QtGlobal>

class TCliReporter;

// Qt's log (and the image libraries that report through it) belongs to the
// command's own reporter: each message becomes one whole line naming the
// file the logging thread works on, never a bare line interleaved with the
// workers' lines. Only critical messages are kept: warnings and notes (a
// missing runtime folder, a colour profile) say nothing a user can act on,
// and a decoder's warnings are collected by the decoder itself.
void CliMessageHandler(QtMsgType Type, const QMessageLogContext& Context, const QString& Message);

// The reporter that lines go to from now on; nullptr writes them to standard
// error directly.
void SetMessageReporter(TCliReporter* Reporter);

// While alive, names the file that the current thread's messages are about.
class TMessageSubject
{
  public:
    explicit TMessageSubject(const QString& Name);
    ~TMessageSubject();
    TMessageSubject(const TMessageSubject&) = delete;
    TMessageSubject& operator=(const TMessageSubject&) = delete;

  private:
    QString FPrevious;
};
