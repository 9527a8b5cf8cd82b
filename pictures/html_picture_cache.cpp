#include "pictures/html_picture_cache.h"

#include "pictures/html_picture.h"
#include "pictures/picture_location.h"

#include <algorithm>
#include <stdexcept>
#include <string>

THTMLPictureCache::THTMLPictureCache() = default;

THTMLPictureCache::~THTMLPictureCache()
{
    ClearPictures();
}

THTMLPicture* THTMLPictureCache::CreatePicture()
{
    FEntries.push_back({std::make_unique<THTMLPicture>(), QString(), ++FUseClock});
    return FEntries.back().Picture.get();
}

THTMLPicture* THTMLPictureCache::FindByIdentifier(const QString& Text) const
{
    for (const TEntry& entry : FEntries)
        if (entry.Picture->Identifier() == Text)
            return entry.Picture.get();
    return nullptr;
}

THTMLPicture* THTMLPictureCache::PictureAt(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw std::out_of_range("List index out of bounds (" + std::to_string(Index) + ")");
    return FEntries[std::size_t(Index)].Picture.get();
}

void THTMLPictureCache::ClearPictures()
{
    for (TEntry& entry : FEntries)
        entry.Picture.reset();
    FEntries.clear();
}

qint64 THTMLPictureCache::DecodedBytes() const
{
    qint64 total = 0;
    for (const TEntry& entry : FEntries)
        total += entry.Picture->DecodedBytes();
    return total;
}

THTMLPicture* THTMLPictureCache::PictureForLocation(const QString& Location, const QSize& DrawnSize)
{
    const TPictureLocation location = ParsePictureLocation(Location);
    for (TEntry& entry : FEntries) {
        if (entry.Key.isEmpty() || entry.Key != location.Key)
            continue;
        entry.LastUse = ++FUseClock;
        THTMLPicture* picture = entry.Picture.get();
        const bool hadPixels = !picture->IsEmpty();
        picture->DecodeFor(DrawnSize);
        if (hadPixels && picture->IsEmpty())
            Report(Location, picture);
        KeepWithinMemory(picture);
        return picture;
    }

    FEntries.push_back({std::make_unique<THTMLPicture>(), location.Key, ++FUseClock});
    TEntry& entry = FEntries.back();
    THTMLPicture* picture = entry.Picture.get();
    picture->SetAsynchronous(false);
    picture->SetMaxPixels(FPolicy.MaxPicturePixels);
    picture->SetDecodeBox(DrawnSize);
    const QString refusal = LocationRefusal(FPolicy, location);
    if (!refusal.isEmpty()) {
        // Found again under its text, and still empty: nothing is read.
        picture->SetIdentifier(Location);
        Report(Location, TFailure{TFailureKind::Refused, refusal});
        return picture;
    }
    if (location.Kind == TPictureLocation::TKind::File) {
        // The resolved path is what was judged, so it is what is opened.
        picture->SetIdentifier(Location);
        if (!location.Name.isEmpty())
            picture->LoadFile(location.ResolvedPath);
        if (picture->IsEmpty() && !location.Name.isEmpty())
            Report(Location, picture);
    } else {
        try {
            picture->LoadFromLocation(Location);
        } catch (const std::exception&) {
            // A resource that does not decode: drawn as nothing, like a file.
        }
        if (location.Kind == TPictureLocation::TKind::Resource && !picture->LoadError().isEmpty())
            Report(Location, picture);
    }
    KeepWithinMemory(picture);
    return picture;
}

void THTMLPictureCache::Report(const QString& Location, const THTMLPicture* Picture)
{
    Report(Location, TFailure{Picture->LoadFailureKind(), Picture->LoadError()});
}

void THTMLPictureCache::Report(const QString& Location, const TFailure& Reason)
{
    if (OnPictureRefused)
        OnPictureRefused(Location, Reason);
}

void THTMLPictureCache::KeepWithinMemory(const THTMLPicture* Newest)
{
    qint64 total = DecodedBytes();
    while (total > FPolicy.MaxCachedBytes) {
        // The least recently used picture holding pixels, other than the one
        // just asked for: that one is kept even alone over the limit.
        auto oldest = FEntries.end();
        for (auto it = FEntries.begin(); it != FEntries.end(); ++it)
            if (it->Picture.get() != Newest && it->Picture->DecodedBytes() > 0 &&
                (oldest == FEntries.end() || it->LastUse < oldest->LastUse))
                oldest = it;
        if (oldest == FEntries.end())
            return;
        total -= oldest->Picture->DecodedBytes();
        FEntries.erase(oldest);
    }
}
