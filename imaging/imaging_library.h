#pragma once

#include "imaging/gp_status.h"

#include <QStringList>
#include <cstdint>

// What a start found.
struct TImagingStartup {
    TGpStatus Status = TGpStatus::GdiplusNotInitialized;
    std::uintptr_t Token = 0;   // hand back to Stop
    QStringList MissingReaders; // formats that cannot be decoded ("tiff", ...)
};

// Start and stop of the imaging layer, once per program: start before the
// first window, stop after the last imaging object is gone. Starting checks
// that Qt's readers for PNG, JPEG, GIF, BMP and TIFF are installed (every
// format is written by our own writers); the status is Ok when all are,
// FileNotFound when some are missing (the rest still works).
class TImagingLibrary
{
  public:
    static TImagingStartup Start();
    static void Stop(std::uintptr_t Token);
    static bool IsStarted();
    // The readers and writers the layer needs.
    static QStringList RequiredReaders();
};
