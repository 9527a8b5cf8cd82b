#pragma once

#include "toolkit/layout/layout_tree.h"

#include <QMetaProperty>
#include <QVariant>
#include <optional>

class QObject;

// A stored value being read for a property.
struct TLayoutValueReading {
    QObject* Root; // whose methods event handlers bind to
    const QMetaProperty& Property;
    const TLayoutProperty& Stored;
};

// A property's value being written, and how to say it has no stored form.
struct TLayoutValueWriting {
    const QObject* Object;
    const QString& Name; // the property's stored (possibly dotted) name
    const QMetaProperty& Property;
    const QVariant& Value;

    [[noreturn]] void Fail(const QString& Why) const;
};

// One kind of plain (not object) property value with its stored form, read
// and written side by side so that the two stay each other's mirror. Read
// gives what the property is set to; Write gives the value to store, or
// nothing when there is nothing to store.
struct TLayoutValueKind {
    bool (*Fits)(const QMetaProperty& Property);
    QVariant (*Read)(const TLayoutValueReading& Reading);
    std::optional<TLayoutValue> (*Write)(const TLayoutValueWriting& Writing);
};

// The kind that stores Property's values; nullptr when its type has none.
const TLayoutValueKind* FindLayoutValueKind(const QMetaProperty& Property);
