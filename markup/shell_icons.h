#pragma once

#include <QSize>
#include <QString>

class TCanvas;
struct TPicturePolicy;

// Draws (when Draw) an icon of the shell icon list at (X, Y): Name is an index
// when it is a whole number, else a file or folder path or a file type; an
// empty name is icon 0. Scale stretches the icon by Factor (drawn over white,
// as an opaque bitmap); otherwise it is alpha-blended at its size. Size
// receives the list's icon size (32 or 16 pixels as Large says).
void DrawShellIcon(TCanvas& Canvas, int X, int Y, const QString& Name, bool Large, bool Draw, bool Scale,
                   double Factor, QSize& Size);

// The same for the icon Index of the list (nothing outside it), looked up
// already: the markup finds it under its picture policy.
void DrawShellIcon(TCanvas& Canvas, int X, int Y, int Index, bool Large, bool Scale, double Factor);

// The icon a shell icon name gives: a whole number is the index itself, an
// empty name icon 0, anything else a file, folder or file type judged under
// Policy (ShellIconList::IndexOf).
int ShellIconIndex(const QString& Name, const TPicturePolicy& Policy);

// The size of the shell icons, large or small, whatever the icon.
QSize ShellIconSize(bool Large);
