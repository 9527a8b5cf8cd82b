#pragma once

#include <functional>

// Runs Work over [0, Rows) split into contiguous bands, one per core, when the
// job is large enough to pay for the threads; small jobs run inline. Work must
// only touch the rows of its own band.
void ForEachRowBand(int Rows, long long PixelsPerRow, const std::function<void(int Begin, int End)>& Work);
