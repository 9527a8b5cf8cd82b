#pragma once

#include <QString>
#include <memory>
#include <vector>

class THTMLPicture;

// An owning list of pictures found again by their Identifier (the location
// text they were loaded from). Pictures are never removed one by one.
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
    int Count() const { return int(FPictures.size()); }
    // Destroys every picture, from the first on.
    void ClearPictures();

  private:
    std::vector<std::unique_ptr<THTMLPicture>> FPictures;
};
