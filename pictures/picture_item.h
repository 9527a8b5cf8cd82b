#pragma once

#include "toolkit/collection.h"
#include "toolkit/layout/layout_component.h"

#include <QString>

class THTMLPicture;

// The property types must be complete where the meta-object code is compiled.
Q_MOC_INCLUDE("pictures/html_picture.h")

// One named picture of a TPictureContainer; markup refers to it by Name.
class TPictureItem : public TCollectionItem, public TLayoutComponent
{
    Q_OBJECT
    Q_PROPERTY(THTMLPicture* Picture READ Picture WRITE SetPicture)
    Q_PROPERTY(QString Name READ Name WRITE SetName)
    Q_PROPERTY(int Tag READ Tag WRITE SetTag)
  public:
    explicit TPictureItem(QObject* Parent = nullptr);
    ~TPictureItem() override;

    // The item's own picture; the setter copies Value into it.
    THTMLPicture* Picture() const { return FPicture; }
    void SetPicture(THTMLPicture* Value);
    QString Name() const { return FName; }
    void SetName(const QString& Value) { FName = Value; }
    int Tag() const { return FTag; }
    void SetTag(int Value) { FTag = Value; }

    // Copies Name, Tag and the picture of another TPictureItem. Throws
    // std::invalid_argument for no source and std::bad_cast ("Invalid class
    // typecast") for another kind of object, before changing anything.
    void CopyFrom(const TPersistent* Source) override;

  private:
    THTMLPicture* FPicture; // owned as a child object
    QString FName;
    int FTag = 0;
};
