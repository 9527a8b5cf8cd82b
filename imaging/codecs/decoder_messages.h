#pragma once

#include <QStringList>

// Image readers report through Qt's log: libjpeg's "Corrupt JPEG data" and
// "Premature end of JPEG file" warnings, libpng's and libtiff's notes. Left
// alone they reach standard error without a file name, interleaved between
// workers, and the damage they describe goes unnoticed. While a capture lives
// on a thread, every message that thread logs is collected by it instead;
// messages of other threads go on to the handler installed before.
class TDecoderMessageCapture
{
  public:
    TDecoderMessageCapture();
    ~TDecoderMessageCapture();
    TDecoderMessageCapture(const TDecoderMessageCapture&) = delete;
    TDecoderMessageCapture& operator=(const TDecoderMessageCapture&) = delete;

    const QStringList& Messages() const { return FMessages; }
    // The messages that tell of damaged data (a decoder's warning that it
    // filled in or skipped something), as opposed to notes such as an
    // unknown colour profile.
    QStringList DamageMessages() const;

  private:
    friend void CaptureDecoderMessage(const QString& Message);
    QStringList FMessages;
    TDecoderMessageCapture* FOuter;
};
