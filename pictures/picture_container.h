#pragma once

#include "toolkit/layout/layout_component.h"

#include <QObject>
#include <QString>

class THTMLPicture;
class TPictureCollection;

// The property types must be complete where the meta-object code is compiled.
Q_MOC_INCLUDE("pictures/picture_collection.h")

// A non-visual component keeping named pictures for the markup, stored with
// the window layout.
class TPictureContainer : public QObject, public TLayoutComponent
{
    Q_OBJECT
    Q_PROPERTY(int Tag READ Tag WRITE SetTag)
    Q_PROPERTY(TPictureCollection* Items READ Items WRITE SetItems)
    Q_PROPERTY(QString Version READ Version WRITE SetVersion)
  public:
    Q_INVOKABLE explicit TPictureContainer(QObject* Parent = nullptr);
    ~TPictureContainer() override;

    int Tag() const { return FTag; }
    void SetTag(int Value) { FTag = Value; }

    TPictureCollection* Items() const { return FItems; }
    // Copies the given collection's items into the owned one.
    void SetItems(TPictureCollection* Value);

    // The picture of the first item whose name equals Name, ignoring the case
    // of the ASCII letters a-z only; nullptr when no item has that name.
    virtual THTMLPicture* PictureByName(const QString& Name) const;

    // "1.0.0.0"; written versions are ignored.
    QString Version() const;
    void SetVersion(const QString& Value) { Q_UNUSED(Value); }
    // Major version in the top byte, then minor, release and build.
    int VersionNumber() const;

  private:
    TPictureCollection* FItems; // owned as a child object
    int FTag = 0;
};
