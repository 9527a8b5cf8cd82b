#pragma once

#include "toolkit/persistent.h"

#include <functional>
#include <memory>
#include <vector>

class TCollection;

// One entry of a TCollection. Its published properties (Q_PROPERTYs) are what
// a window layout stores for the item.
class TCollectionItem : public TPersistent
{
    Q_OBJECT
  public:
    explicit TCollectionItem(QObject* parent = nullptr) : TPersistent(parent) {}

    // The collection holding the item (nullptr while it is in none).
    TCollection* Collection() const { return OwningCollection; }
    // 0-based position in the collection, -1 while it is in none.
    int Index() const;

  private:
    friend class TCollection;
    TCollection* OwningCollection = nullptr;
};

// An ordered list of items of one class, created by the collection itself
// (also when a window layout is read). Stored in a layout as a collection
// value (0x0E) holding each item's properties.
class TCollection : public TPersistent
{
    Q_OBJECT
  public:
    using TItemFactory = std::function<std::unique_ptr<TCollectionItem>()>;
    using TNotify = std::function<void(TCollection* Sender)>;

    // ItemFactory makes a new item of the collection's item class.
    explicit TCollection(TItemFactory ItemFactory, QObject* parent = nullptr);
    ~TCollection() override;

    template <class TItem> static TItemFactory ItemClass()
    {
        return [] { return std::make_unique<TItem>(); };
    }

    // Fired after items are added, deleted, cleared or copied.
    TNotify OnChange;

    int Count() const { return int(ItemList.size()); }
    // The item at Index (0-based); throws std::out_of_range outside 0..Count-1.
    TCollectionItem* Items(int Index) const;
    int IndexOf(const TCollectionItem* Item) const;

    TCollectionItem* Add();
    void Delete(int Index);
    void Clear();

    // The object the collection belongs to (for naming its items); none by default.
    virtual QObject* Owner() const { return nullptr; }

    // From another TCollection: replaces the items by new items of this
    // collection's class, each copied from the source item at the same index.
    void CopyFrom(const TPersistent* Source) override;

  private:
    void Changed();

    TItemFactory ItemFactory;
    std::vector<std::unique_ptr<TCollectionItem>> ItemList;
};
