#pragma once

#include "toolkit/layout/layout_tree.h"

#include <QString>
#include <functional>
#include <optional>
#include <vector>

class QObject;

// An object held by a property whose content is stored as one value: a
// graphic's data, a string list's lines, a collection's items.
struct TLayoutObjectReading {
    QObject* Held;
    const TLayoutProperty& Stored;
    // Reads one collection item's properties the way the reader reads any
    // component's (loading state included).
    const std::function<void(QObject* Item, const std::vector<TLayoutProperty>& Properties)>& ReadItem;
};

struct TLayoutObjectWriting {
    const QObject* Owner;
    const QString& Name; // the holding property's stored name
    const QObject* Held;
    int Depth; // of the owner, for the nesting limit
    // One collection item's properties, the way the writer writes any
    // component's.
    const std::function<std::vector<TLayoutProperty>(const QObject* Item)>& WriteItem;
};

// One kind of held object, its content read and written side by side. Suffix
// names the stored property after the holding one ("Picture" + ".Data");
// empty when the content is stored under the holding property's own name.
// Write gives nothing when there is nothing to store.
struct TLayoutObjectKind {
    const char* Suffix;
    bool (*Fits)(const QObject* Held);
    void (*Read)(const TLayoutObjectReading& Reading);
    std::optional<TLayoutValue> (*Write)(const TLayoutObjectWriting& Writing);

    // The stored property's name for a holding property named Name.
    QString StoredName(const QString& Name) const;
};

// The kind of Held; nullptr for other objects (components, nested objects
// whose properties are stored one by one, or none at all).
const TLayoutObjectKind* FindLayoutObjectKind(const QObject* Held);
