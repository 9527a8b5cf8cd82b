#include "markup/run_width_cache.h"

#include <QHashFunctions>
#include <unordered_map>

namespace
{

struct TFontKey {
    QString Name;
    int Height = 0;
    int Style = 0;
    bool LiteralAmpersands = false;

    bool operator==(const TFontKey&) const = default;
};

struct TFontKeyHash {
    size_t operator()(const TFontKey& Key) const
    {
        return qHashMulti(0, Key.Name, Key.Height, Key.Style, Key.LiteralAmpersands);
    }
};

struct TTextHash {
    size_t operator()(const QString& Text) const { return qHash(Text); }
};

} // namespace

struct TRunWidthTable {
    std::unordered_map<QString, int, TTextHash> Widths;
    int CellHeight = -1;
};

namespace
{

// Beyond this many runs the cache starts over, so that a stream of
// different texts cannot make it grow without bound.
constexpr size_t RunLimit = 100000;

struct TStore {
    // Node-based maps: a table stays where it is while other fonts are added.
    std::unordered_map<TFontKey, TRunWidthTable, TFontKeyHash> Fonts;
    size_t Runs = 0;
};

TStore& Store()
{
    thread_local TStore store;
    return store;
}

} // namespace

TRunWidthCache& TRunWidthCache::ForThisThread()
{
    thread_local TRunWidthCache cache;
    return cache;
}

void TRunWidthCache::SelectFont(const QString& Name, int Height, int Style, bool LiteralAmpersands)
{
    TStore& store = Store();
    if (store.Runs >= RunLimit) {
        store.Fonts.clear();
        store.Runs = 0;
    }
    FCurrent = &store.Fonts[TFontKey{Name, Height, Style, LiteralAmpersands}];
}

int TRunWidthCache::Find(const QString& Text) const
{
    if (!FCurrent)
        return -1;
    const auto found = FCurrent->Widths.find(Text);
    return found == FCurrent->Widths.end() ? -1 : found->second;
}

void TRunWidthCache::Insert(const QString& Text, int Width)
{
    TStore& store = Store();
    if (!FCurrent || store.Runs >= RunLimit)
        return;
    if (FCurrent->Widths.emplace(Text, Width).second)
        ++store.Runs;
}

int TRunWidthCache::CellHeight() const
{
    return FCurrent ? FCurrent->CellHeight : -1;
}

void TRunWidthCache::SetCellHeight(int Height)
{
    if (FCurrent)
        FCurrent->CellHeight = Height;
}
