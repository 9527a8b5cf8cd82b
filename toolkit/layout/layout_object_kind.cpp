#include "toolkit/layout/layout_object_kind.h"

#include "toolkit/collection.h"
#include "toolkit/graphics/graphic.h"
#include "toolkit/layout/layout_error.h"
#include "toolkit/strings.h"

#include <QBuffer>
#include <cstring>

namespace
{

// ------------------------------------------------ graphics: their stored data as binary

bool GraphicFits(const QObject* Held)
{
    return qobject_cast<const TGraphic*>(Held) != nullptr;
}

void GraphicRead(const TLayoutObjectReading& Reading)
{
    if (Reading.Stored.Value.Type != TLayoutValueType::Binary)
        ThrowLayoutWrongValue(Reading.Stored, QStringLiteral("binary data"));
    QByteArray bytes = Reading.Stored.Value.Bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    qobject_cast<TGraphic*>(Reading.Held)->ReadStoredData(&buffer);
}

std::optional<TLayoutValue> GraphicWrite(const TLayoutObjectWriting& Writing)
{
    // Writing the data is no change to the graphic; its interface just is not const.
    auto* graphic = const_cast<TGraphic*>(qobject_cast<const TGraphic*>(Writing.Held));
    if (graphic->IsEmpty())
        return std::nullopt;
    TLayoutValue value;
    value.Type = TLayoutValueType::Binary;
    QBuffer buffer(&value.Bytes);
    buffer.open(QIODevice::WriteOnly);
    graphic->WriteStoredData(&buffer);
    return value;
}

// ------------------------------------------------ string lists: a list of strings

bool StringsFits(const QObject* Held)
{
    return qobject_cast<const TStrings*>(Held) != nullptr;
}

void StringsRead(const TLayoutObjectReading& Reading)
{
    const TLayoutValue& value = Reading.Stored.Value;
    if (value.Type != TLayoutValueType::List)
        ThrowLayoutWrongValue(Reading.Stored, QStringLiteral("a list of strings"));
    QStringList lines;
    for (const TLayoutValue& line : value.List) {
        if (!line.IsString())
            ThrowLayoutDamaged(line.Offset, QStringLiteral("a string in %1").arg(Reading.Stored.Name),
                               DescribeLayoutValue(line));
        lines.append(line.Text);
    }
    qobject_cast<TStrings*>(Reading.Held)->SetLines(lines);
}

std::optional<TLayoutValue> StringsWrite(const TLayoutObjectWriting& Writing)
{
    const auto* strings = qobject_cast<const TStrings*>(Writing.Held);
    if (strings->Count() == 0)
        return std::nullopt;
    TLayoutValue value;
    value.Type = TLayoutValueType::List;
    for (const QString& line : strings->Lines())
        value.List.push_back(MakeLayoutString(line));
    return value;
}

// ------------------------------------------------ collections: each item's properties

bool CollectionFits(const QObject* Held)
{
    return qobject_cast<const TCollection*>(Held) != nullptr;
}

void CollectionRead(const TLayoutObjectReading& Reading)
{
    if (Reading.Stored.Value.Type != TLayoutValueType::Collection)
        ThrowLayoutWrongValue(Reading.Stored, QStringLiteral("a collection"));
    auto* collection = qobject_cast<TCollection*>(Reading.Held);
    collection->Clear();
    for (const std::vector<TLayoutProperty>& storedItem : Reading.Stored.Value.Items)
        Reading.ReadItem(collection->Add(), storedItem);
}

std::optional<TLayoutValue> CollectionWrite(const TLayoutObjectWriting& Writing)
{
    if (Writing.Depth >= LayoutMaxDepth)
        ThrowLayoutUnwritable(Writing.Owner, Writing.Name, QStringLiteral("objects nested too deeply"));
    const auto* collection = qobject_cast<const TCollection*>(Writing.Held);
    TLayoutValue value;
    value.Type = TLayoutValueType::Collection;
    for (int i = 0; i < collection->Count(); ++i)
        value.Items.push_back(Writing.WriteItem(collection->Items(i)));
    return value;
}

constexpr TLayoutObjectKind Kinds[] = {
    {"Data", GraphicFits, GraphicRead, GraphicWrite},
    {"Strings", StringsFits, StringsRead, StringsWrite},
    {"", CollectionFits, CollectionRead, CollectionWrite},
};

} // namespace

QString TLayoutObjectKind::StoredName(const QString& Name) const
{
    return *Suffix ? Name + QLatin1Char('.') + QLatin1String(Suffix) : Name;
}

const TLayoutObjectKind* FindLayoutObjectKind(const QObject* Held)
{
    if (!Held)
        return nullptr;
    for (const TLayoutObjectKind& kind : Kinds)
        if (kind.Fits(Held))
            return &kind;
    return nullptr;
}
