#pragma once

#include <QString>
#include <cstdio>
#include <mutex>

// Name as it is, or, when it holds control characters (a newline would split
// the line) or bytes that are not UTF-8, between double quotes with C's
// escapes, as `ls --quoting-style=c` writes it: "a\nb.png", "x\377.png".
QString QuotedFileName(const QString& Name);

// Lines for standard error, written whole under a lock so that workers never
// interleave inside a line.
class TCliReporter
{
  public:
    explicit TCliReporter(std::FILE* Stream = stderr);

    // Whether the stream is a terminal: progress is shown only there.
    bool IsTerminal() const { return FIsTerminal; }

    void Line(const QString& Text);
    // "lumivex-cli: NAME: REASON"
    void Failure(const QString& Name, const QString& Reason);
    // "[COUNT/TOTAL] NAME", only on a terminal and only for a batch.
    void Progress(int Count, int Total, const QString& Name);

  private:
    std::FILE* FStream;
    bool FIsTerminal;
    std::mutex FLock;
};
