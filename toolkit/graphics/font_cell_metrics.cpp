#include "toolkit/graphics/font_cell_metrics.h"

#include <QByteArray>
#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QRawFont>
#include <QtEndian>
#include <cmath>

namespace
{

// Byte offsets of usWinAscent and usWinDescent in the OS/2 table; every
// version of the table has them.
constexpr int WinAscentOffset = 74;
constexpr int WinDescentOffset = 76;

// A font-heavy text can name many sizes; the cache starts over instead of
// growing without bound.
constexpr qsizetype CacheLimit = 512;

TFontCellMetrics Measure(const QFont& Font)
{
    const QFontMetrics metrics(Font);
    TFontCellMetrics cell;
    cell.Ascent = metrics.ascent();
    cell.Descent = metrics.descent();
    cell.ExternalLeading = qMax(0, metrics.leading());

    const QRawFont raw = QRawFont::fromFont(Font);
    if (!raw.isValid() || raw.unitsPerEm() <= 0)
        return cell;
    const QByteArray table = raw.fontTable("OS/2");
    if (table.size() < WinDescentOffset + 2)
        return cell;
    const int winAscent = qFromBigEndian<quint16>(table.constData() + WinAscentOffset);
    const int winDescent = qFromBigEndian<quint16>(table.constData() + WinDescentOffset);
    if (winAscent + winDescent <= 0)
        return cell;
    const double scale = raw.pixelSize() / raw.unitsPerEm();
    cell.Ascent = int(std::lround(winAscent * scale));
    cell.Descent = int(std::lround(winDescent * scale));
    return cell;
}

// What the vertical metrics depend on; QFont::key() would do, but builds a
// long text on every call.
struct TCellKey {
    QString Family;
    int PixelSize;
    int Weight;
    bool Italic;

    bool operator==(const TCellKey&) const = default;
};

size_t qHash(const TCellKey& Key, size_t Seed = 0)
{
    return qHashMulti(Seed, Key.Family, Key.PixelSize, Key.Weight, Key.Italic);
}

} // namespace

TFontCellMetrics FontCellMetrics(const QFont& Font)
{
    // Fonts are measured on the GUI thread, but benchmarks and tools may
    // measure elsewhere: one cache per thread needs no lock.
    thread_local QHash<TCellKey, TFontCellMetrics> cache;
    const TCellKey key{Font.family(), Font.pixelSize(), int(Font.weight()), Font.italic()};
    if (const auto found = cache.constFind(key); found != cache.constEnd())
        return *found;
    if (cache.size() >= CacheLimit)
        cache.clear();
    const TFontCellMetrics cell = Measure(Font);
    cache.insert(key, cell);
    return cell;
}
