#pragma once

#include <QByteArray>
#include <QString>

// Readers fill in what a damaged file lacks (grey or black rows, a last
// colour repeated) and call the result good. These checks read a file's
// structure with the strictness of an independent decoder before the reader
// runs. Each returns why the data is damaged, or an empty text when it is
// sound; they never allocate memory in proportion to the declared picture
// and their cost is bounded by the file's size and the picture's pixels.

// Dispatches on Format, as QImageReader names it ("png", "gif", "bmp");
// formats without a check of their own give an empty text. Unreadable, when
// given, tells whether the damage would also make the reader fail (after
// printing its own complaint), so that nothing is left to keep.
QString FindDamage(const QByteArray& Data, const QByteArray& Format, bool* Unreadable = nullptr);
