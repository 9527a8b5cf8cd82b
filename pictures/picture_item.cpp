#include "pictures/picture_item.h"

#include "pictures/html_picture.h"

#include <stdexcept>
#include <typeinfo>

namespace
{
struct EInvalidCast : std::bad_cast {
    const char* what() const noexcept override { return "Invalid class typecast"; }
};
} // namespace

TPictureItem::TPictureItem(QObject* Parent) : TCollectionItem(Parent), FPicture(new THTMLPicture(this)) {}

TPictureItem::~TPictureItem() = default;

void TPictureItem::SetPicture(THTMLPicture* Value)
{
    FPicture->CopyFrom(Value);
}

void TPictureItem::CopyFrom(const TPersistent* Source)
{
    if (!Source)
        throw std::invalid_argument(
            "A picture item can only be copied from another picture item, not from none");
    const auto* source = qobject_cast<const TPictureItem*>(Source);
    if (!source)
        throw EInvalidCast();
    if (source == this)
        return;
    FName = source->FName;
    FTag = source->FTag;
    FPicture->CopyFrom(source->FPicture);
}
