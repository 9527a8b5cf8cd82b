#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <cstdint>
#include <memory>

// What a file's structure tells of its frames, read without decoding a pixel.
struct TAnimationFacts {
    QByteArray Format; // "gif" or "webp"; empty when the file is neither
    QSize Canvas;      // the size every composed frame has
    int Frames = 0;    // the frames the file holds (as far as its structure reads)
    // How many times the animation plays, 0 forever: WebP's loop count; a
    // GIF's looping extension counts the repeats after the first play (as
    // browsers read it), and a GIF without one plays once.
    int Plays = 1;
    // The pixels the frames' data decode to before they are composed: a GIF
    // frame may declare more than the canvas shows.
    std::int64_t StoredPixels = 0;
    // Pixels of every frame composed at the canvas size.
    std::int64_t Pixels() const
    {
        return Canvas.isValid() ? std::int64_t(Canvas.width()) * Canvas.height() * Frames : 0;
    }
};

// The facts of a GIF or WebP file; Frames 0 for anything else. A GIF's
// blocks are walked without decompressing them, so a file declaring many
// frames is measured in the time its bytes take to skip.
TAnimationFacts ProbeAnimation(const QByteArray& Data);

// One frame as a viewer shows it: composed on the canvas (disposal and
// blending applied), Format_ARGB32, and how long it stays.
struct TAnimationFrame {
    QImage Image;
    int DelayMs = 0;
};

// Reads an animation frame after frame; only the canvas (and, for a GIF
// frame that restores what it covered, that part of it) is held.
class TFrameReader
{
  public:
    virtual ~TFrameReader() = default;
    // The next frame; false at the end, or with Damage set when the frame
    // cannot be read.
    virtual bool Next(TAnimationFrame& Frame, QString& Damage) = 0;
};

// A reader for Data (which must outlive it), nullptr when ProbeAnimation
// finds no frames in it.
std::unique_ptr<TFrameReader> OpenFrames(const QByteArray& Data);
