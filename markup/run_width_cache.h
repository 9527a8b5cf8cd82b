#pragma once

#include <QString>

struct TRunWidthTable;

// Widths of text runs by font, kept across layout calls on one thread. A
// label is laid out again on every paint and every mouse move over it, each
// time with the same runs in the same fonts; shaping them anew dominated the
// cost of a call.
class TRunWidthCache
{
  public:
    // The cache of the calling thread.
    static TRunWidthCache& ForThisThread();

    // Makes the font the current one: Name, pixel Height, style bits and
    // whether ampersands are drawn literally decide a run's width.
    void SelectFont(const QString& Name, int Height, int Style, bool LiteralAmpersands);

    // The width of Text in the current font, or -1 when it is not known.
    int Find(const QString& Text) const;
    void Insert(const QString& Text, int Width);

    // The current font's text cell height, or -1 when it is not known.
    int CellHeight() const;
    void SetCellHeight(int Height);

  private:
    TRunWidthCache() = default;
    TRunWidthTable* FCurrent = nullptr; // the current font's widths
};
