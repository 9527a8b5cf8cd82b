#pragma once

#include <QString>
#include <functional>

class QTemporaryDir;

// What the benchmarks of the real window share: the photo they open and
// their program's start.

// A photo-like JPEG of Width x Height written into Folder (quality 90):
// smooth gradients with fine texture, so the file is of a realistic size
// and every row differs. Its name, "photo-WxH.jpg".
QString MakeBenchPhoto(const QTemporaryDir& Folder, int Width, int Height);

// The main of a benchmark program of the window: the off-screen platform
// unless another is asked for, the application, the fonts and components
// the layout needs, then every benchmark. Finish runs after them, while the
// application still exists (windows made by the benchmarks go there).
int RunWindowBenchmarks(int argc, char** argv, const std::function<void()>& Finish);
