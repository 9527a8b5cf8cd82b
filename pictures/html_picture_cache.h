#pragma once

#include "pictures/picture_policy.h"

#include <QSize>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class THTMLPicture;

// An owning list of pictures found again by their Identifier (the location
// text they were loaded from) or, through PictureForLocation, by what that
// text names. The decoded pictures it keeps stay under its policy's memory
// limit: the least recently used go first.
class THTMLPictureCache
{
  public:
    THTMLPictureCache();
    ~THTMLPictureCache();
    THTMLPictureCache(const THTMLPictureCache&) = delete;
    THTMLPictureCache& operator=(const THTMLPictureCache&) = delete;

    // A new picture in its initial state, appended and owned by the cache.
    THTMLPicture* CreatePicture();
    // The first picture whose Identifier equals Text exactly (case-sensitive);
    // nullptr when there is none.
    THTMLPicture* FindByIdentifier(const QString& Text) const;
    // Throws std::out_of_range outside 0..Count-1.
    THTMLPicture* PictureAt(int Index) const;
    int Count() const { return int(FEntries.size()); }
    // Destroys every picture, from the first on.
    void ClearPictures();

    // What the lookup may read and spend; the pictures already kept stay.
    const TPicturePolicy& Policy() const { return FPolicy; }
    void SetPolicy(const TPicturePolicy& Policy) { FPolicy = Policy; }
    // Told once per location that is refused or cannot be drawn, with the
    // reason: a location the policy refuses, a missing or unreadable file, a
    // picture over the size limit. The reason's kind is Refused for what the
    // policy does not allow.
    std::function<void(const QString& Location, const TFailure& Reason)> OnPictureRefused;

    // The picture a location text names, to be drawn into DrawnSize (invalid
    // for its own size): the one already kept for the same thing (any
    // spelling of the same file), decoded again when it holds fewer pixels
    // than the drawing needs, or a new one loaded under the policy. Remote
    // locations are recorded, never fetched. A refused location gives an
    // empty picture, kept so that it is refused only once. The result stays
    // valid until the next call or ClearPictures.
    THTMLPicture* PictureForLocation(const QString& Location, const QSize& DrawnSize = QSize());

    // Bytes of the decoded pictures kept now.
    qint64 DecodedBytes() const;

  private:
    struct TEntry {
        std::unique_ptr<THTMLPicture> Picture;
        QString Key; // what the location names; empty for CreatePicture's pictures
        quint64 LastUse = 0;
    };
    void Report(const QString& Location, const TFailure& Reason);
    void Report(const QString& Location, const THTMLPicture* Picture);
    void KeepWithinMemory(const THTMLPicture* Newest);

    std::vector<TEntry> FEntries;
    TPicturePolicy FPolicy;
    quint64 FUseClock = 0;
};
