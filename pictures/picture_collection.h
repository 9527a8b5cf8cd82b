#pragma once

#include "toolkit/collection.h"

class TPictureContainer;
class TPictureItem;

// The items of a TPictureContainer.
class TPictureCollection : public TCollection
{
    Q_OBJECT
  public:
    explicit TPictureCollection(TPictureContainer* Owner);

    // The item at Index (0-based); throws std::out_of_range outside 0..Count-1.
    TPictureItem* Items(int Index) const;
    TPictureItem* Add();

    QObject* Owner() const override;

  private:
    TPictureContainer* FOwner;
};
