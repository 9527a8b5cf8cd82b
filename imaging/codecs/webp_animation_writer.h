#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

struct WebPAnimEncoder;

// Writes frames of one size as an animated WebP through libwebp's
// animation encoder, at the quality a single WebP is written at (100:
// lossless with the colours under transparent pixels kept). The encoder
// keeps only the last frames it compares with and the encoded bytes.
// Consecutive frames with the same pixels are joined by the encoder into one
// frame shown for both delays (as libwebp does even when every frame is
// made a key frame): the timing stays, the count of frames drops.
class TWebpAnimationWriter
{
  public:
    // Plays: how many times the animation plays, 0 forever.
    TWebpAnimationWriter(const QSize& Canvas, int Plays, int Quality);
    ~TWebpAnimationWriter();
    TWebpAnimationWriter(const TWebpAnimationWriter&) = delete;
    TWebpAnimationWriter& operator=(const TWebpAnimationWriter&) = delete;

    bool Add(const QImage& Frame, int DelayMs, QString* Reason);
    bool Finish(QByteArray& File, QString* Reason);

  private:
    QSize FCanvas;
    int FQuality;
    WebPAnimEncoder* FEncoder = nullptr;
    int FTimestamp = 0; // where the next frame starts, in milliseconds
};
