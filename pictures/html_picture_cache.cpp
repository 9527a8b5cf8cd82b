#include "pictures/html_picture_cache.h"

#include "pictures/html_picture.h"

#include <stdexcept>
#include <string>

THTMLPictureCache::THTMLPictureCache() = default;

THTMLPictureCache::~THTMLPictureCache()
{
    ClearPictures();
}

THTMLPicture* THTMLPictureCache::CreatePicture()
{
    FPictures.push_back(std::make_unique<THTMLPicture>());
    return FPictures.back().get();
}

THTMLPicture* THTMLPictureCache::FindByIdentifier(const QString& Text) const
{
    for (const auto& picture : FPictures)
        if (picture->Identifier() == Text)
            return picture.get();
    return nullptr;
}

THTMLPicture* THTMLPictureCache::PictureAt(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw std::out_of_range("List index out of bounds (" + std::to_string(Index) + ")");
    return FPictures[std::size_t(Index)].get();
}

void THTMLPictureCache::ClearPictures()
{
    for (auto& picture : FPictures)
        picture.reset();
    FPictures.clear();
}
