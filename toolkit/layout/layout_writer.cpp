#include "toolkit/layout/layout_writer.h"

#include "toolkit/graphics/graphic.h"
#include "toolkit/layout/class_registry.h"
#include "toolkit/layout/layout_error.h"
#include "toolkit/layout/layout_meta.h"
#include "toolkit/layout/layout_object_kind.h"
#include "toolkit/layout/layout_tree.h"
#include "toolkit/layout/layout_value_kind.h"
#include "toolkit/persistent.h"

#include <QMetaProperty>
#include <functional>
#include <optional>

namespace
{

void AddProperty(std::vector<TLayoutProperty>& Out, const QString& Name, TLayoutValue Value)
{
    TLayoutProperty property;
    property.Name = Name;
    property.Value = std::move(Value);
    Out.push_back(std::move(property));
}

void WriteProperties(const QObject* Object, const QString& Prefix, std::vector<TLayoutProperty>& Out,
                     int Depth);

void WriteObjectValue(const QObject* Owner, const QString& Name, QObject* Value,
                      std::vector<TLayoutProperty>& Out, int Depth)
{
    if (!Value)
        return;
    if (qobject_cast<TGraphic*>(Value)) {
        // A graphic's own published properties come first, so that reading
        // sets them before its bytes are decoded.
        if (Depth >= LayoutMaxDepth)
            ThrowLayoutUnwritable(Owner, Name, QStringLiteral("objects nested too deeply"));
        WriteProperties(Value, Name + QLatin1Char('.'), Out, Depth + 1);
    }
    if (const TLayoutObjectKind* kind = FindLayoutObjectKind(Value)) {
        const std::function<std::vector<TLayoutProperty>(const QObject*)> writeItem =
            [Depth](const QObject* Item) {
                std::vector<TLayoutProperty> properties;
                WriteProperties(Item, QString(), properties, Depth + 1);
                return properties;
            };
        if (std::optional<TLayoutValue> stored =
                kind->Write(TLayoutObjectWriting{Owner, Name, Value, Depth, writeItem}))
            AddProperty(Out, kind->StoredName(Name), std::move(*stored));
        return;
    }
    if (IsLayoutClassRegistered(QString::fromLatin1(Value->metaObject()->className()))) {
        // Another component: stored by name and found again after reading.
        if (Value->objectName().isEmpty())
            return;
        TLayoutValue value;
        value.Type = TLayoutValueType::Ident;
        value.Text = Value->objectName();
        AddProperty(Out, Name, std::move(value));
        return;
    }
    if (qobject_cast<TPersistent*>(Value)) {
        if (Depth >= LayoutMaxDepth)
            ThrowLayoutUnwritable(Owner, Name, QStringLiteral("objects nested too deeply"));
        WriteProperties(Value, Name + QLatin1Char('.'), Out, Depth + 1);
    }
    // Other objects are neither owned nor components: nothing to store.
}

void WriteProperties(const QObject* Object, const QString& Prefix, std::vector<TLayoutProperty>& Out,
                     int Depth)
{
    for (const QMetaProperty& property : PublishedProperties(Object)) {
        if (!property.isReadable() || !IsPropertyStored(Object, property))
            continue;
        const QString name = Prefix + QString::fromLatin1(property.name());
        const QVariant value = property.read(Object);
        const QMetaType type = property.metaType();

        if (type.flags() & QMetaType::PointerToQObject) {
            WriteObjectValue(Object, name, ObjectInVariant(value), Out, Depth);
            continue;
        }
        if (!property.isWritable())
            continue;
        const TLayoutValueKind* kind = FindLayoutValueKind(property);
        if (!kind)
            ThrowLayoutUnwritable(Object, name,
                                  QStringLiteral("values of type %1 have no stored form")
                                      .arg(QString::fromLatin1(type.name())));
        if (std::optional<TLayoutValue> stored =
                kind->Write(TLayoutValueWriting{Object, name, property, value}))
            AddProperty(Out, name, std::move(*stored));
    }
}

void CollectChildren(const QObject* Parent, std::vector<TLayoutObject>& Out, int Depth);

TLayoutObject WriteComponent(const QObject* Component, int Depth)
{
    if (Depth > LayoutMaxDepth)
        throw ELayoutError("Cannot write a window layout: components nested too deeply");
    TLayoutObject object;
    object.ClassName = QString::fromLatin1(Component->metaObject()->className());
    object.Name = Component->objectName();
    WriteProperties(Component, QString(), object.Properties, 0);
    CollectChildren(Component, object.Children, Depth);
    return object;
}

void CollectChildren(const QObject* Parent, std::vector<TLayoutObject>& Out, int Depth)
{
    if (Depth > LayoutMaxDepth)
        throw ELayoutError("Cannot write a window layout: components nested too deeply");
    for (const QObject* child : Parent->children()) {
        if (IsLayoutClassRegistered(QString::fromLatin1(child->metaObject()->className())))
            Out.push_back(WriteComponent(child, Depth + 1));
        else
            CollectChildren(child, Out, Depth + 1);
    }
}

} // namespace

QByteArray WriteLayout(QObject* Root)
{
    if (!Root)
        throw ELayoutError("Cannot write a window layout without a root component");
    return SerializeLayoutBinary(WriteComponent(Root, 0));
}
