#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

// The reduced picture of the file named on the command line, decoded on a
// thread of its own from the start of main while the application and the
// window are made: on two cores both are ready at about the same time,
// instead of one after the other.
//
// The page the window will fit the picture into is not known before the
// window exists, so the reduction is chosen for a guess of it; the window
// takes the prefetched picture only when its real page asks for the same
// reduction, and otherwise decodes again.
namespace PreviewPrefetch
{
// The fitted view's page in device pixels as the window opens by its stored
// layout at one device pixel per pixel.
inline constexpr QSize OpeningPage(972, 541);

void Start(const QString& FileName, QSize Fit);
// Waits for the prefetch of FileName and hands over its picture when it is
// what TQuickOpen::ReducedPicture(FileName, Fit, ...) would give; null when
// nothing was prefetched, for another file, or at another reduction. The
// prefetch is gone afterwards either way.
QImage Take(const QString& FileName, QSize Fit, QSize* FullSize, QByteArray* Icc);
// Waits for a prefetch nobody took, before the application it may use goes.
void Drop();
} // namespace PreviewPrefetch
