#pragma once

#include <QObject>

// Root of every object that can be stored in a window layout and copied into
// another object of its kind. Published properties are the Q_PROPERTYs of the
// subclasses, declared in their published order.
class TPersistent : public QObject
{
    Q_OBJECT
  public:
    explicit TPersistent(QObject* parent = nullptr) : QObject(parent) {}

    // Copies Source's content into this object. Sources this class does not
    // know leave it unchanged; subclasses override for the sources they accept.
    virtual void CopyFrom(const TPersistent* Source) { Q_UNUSED(Source); }
};
