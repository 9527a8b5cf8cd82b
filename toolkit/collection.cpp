#include "toolkit/collection.h"

#include <stdexcept>
#include <string>

int TCollectionItem::Index() const
{
    return OwningCollection ? OwningCollection->IndexOf(this) : -1;
}

TCollection::TCollection(TItemFactory Factory, QObject* parent)
    : TPersistent(parent), ItemFactory(std::move(Factory))
{
    if (!this->ItemFactory)
        throw std::invalid_argument("A collection needs an item class");
}

TCollection::~TCollection()
{
    for (auto& item : ItemList)
        item->OwningCollection = nullptr;
}

TCollectionItem* TCollection::Items(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw std::out_of_range("List index out of bounds (" + std::to_string(Index) + ")");
    return ItemList[std::size_t(Index)].get();
}

int TCollection::IndexOf(const TCollectionItem* Item) const
{
    for (std::size_t i = 0; i < ItemList.size(); ++i)
        if (ItemList[i].get() == Item)
            return int(i);
    return -1;
}

TCollectionItem* TCollection::Add()
{
    std::unique_ptr<TCollectionItem> item = ItemFactory();
    if (!item)
        throw std::runtime_error("The collection's item class made no item");
    item->OwningCollection = this;
    ItemList.push_back(std::move(item));
    Changed();
    return ItemList.back().get();
}

void TCollection::Delete(int Index)
{
    if (Index < 0 || Index >= Count())
        throw std::out_of_range("List index out of bounds (" + std::to_string(Index) + ")");
    std::unique_ptr<TCollectionItem> item = std::move(ItemList[std::size_t(Index)]);
    ItemList.erase(ItemList.begin() + Index);
    item->OwningCollection = nullptr;
    item.reset();
    Changed();
}

void TCollection::Clear()
{
    std::vector<std::unique_ptr<TCollectionItem>> items;
    items.swap(ItemList);
    for (auto& item : items)
        item->OwningCollection = nullptr;
    items.clear();
    Changed();
}

void TCollection::CopyFrom(const TPersistent* Source)
{
    const auto* source = qobject_cast<const TCollection*>(Source);
    if (!source || source == this)
        return;
    // Build the copies first so that a failing copy leaves this collection as it was.
    std::vector<std::unique_ptr<TCollectionItem>> copies;
    for (const auto& sourceItem : source->ItemList) {
        std::unique_ptr<TCollectionItem> item = ItemFactory();
        if (!item)
            throw std::runtime_error("The collection's item class made no item");
        item->OwningCollection = this;
        copies.push_back(std::move(item));
        copies.back()->CopyFrom(sourceItem.get());
    }
    for (auto& item : ItemList)
        item->OwningCollection = nullptr;
    ItemList.swap(copies);
    Changed();
}

void TCollection::Changed()
{
    if (OnChange)
        OnChange(this);
}
