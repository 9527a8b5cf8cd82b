#include "pictures/picture_collection.h"

#include "pictures/picture_container.h"
#include "pictures/picture_item.h"

TPictureCollection::TPictureCollection(TPictureContainer* Owner)
    : TCollection(ItemClass<TPictureItem>(), Owner), FOwner(Owner)
{
}

TPictureItem* TPictureCollection::Items(int Index) const
{
    return static_cast<TPictureItem*>(TCollection::Items(Index));
}

TPictureItem* TPictureCollection::Add()
{
    return static_cast<TPictureItem*>(TCollection::Add());
}

QObject* TPictureCollection::Owner() const
{
    return FOwner;
}
