#pragma once

#include <QList>
#include <QMetaProperty>
#include <QVariant>
#include <optional>

class QObject;

// How the layout reader and writer see an object's published properties.

// The published properties of Object in declaration order (base classes
// first): those declared by our own classes, not by Qt's (whose class names
// start with 'Q').
QList<QMetaProperty> PublishedProperties(const QObject* Object);

// The published property Name of Object, if there is one.
std::optional<QMetaProperty> FindPublishedProperty(const QObject* Object, const QString& Name);

// Whether Property is stored for Object: its STORED flag, and, because Qt 6
// allows no STORED function, a Q_INVOKABLE "bool Is<Name>Stored() const" when
// the class declares one (e.g. a property stored only when it differs from
// its default).
bool IsPropertyStored(const QObject* Object, const QMetaProperty& Property);

// The QObject held by a value of a pointer-to-QObject type; nullptr otherwise.
QObject* ObjectInVariant(const QVariant& Value);

// Enumeration and flag values kept in their declared storage size.
qint64 EnumVariantValue(const QVariant& Value);
QVariant MakeEnumVariant(QMetaType Type, qint64 Value);
