#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

class QImage;

// What the row writers (JPEG, BMP, TIFF) ask for: rows [First, First +
// Count) written into Out, Stride words apart, as 0xAARRGGBB words, down
// the picture; false stops the writing.
using TImageRowFeed = std::function<bool(int First, int Count, std::uint32_t* Out, std::size_t Stride)>;

// The rows of Rows (Format_RGB32 or Format_ARGB32, kept alive by the caller
// while the feed is used). The save running on this thread, if any, sees
// the rows written and stops the writing once it is cancelled, as on the
// road from composed rows.
TImageRowFeed ImageRowFeed(const QImage& Rows);

// Whether the save running on this thread was cancelled.
bool SaveOnThisThreadCancelled();
