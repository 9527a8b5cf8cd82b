#include "toolkit/layout/layout_reader.h"

#include "toolkit/layout/class_registry.h"
#include "toolkit/layout/layout_component.h"
#include "toolkit/layout/layout_error.h"
#include "toolkit/layout/layout_meta.h"
#include "toolkit/layout/layout_object_kind.h"
#include "toolkit/layout/layout_tree.h"
#include "toolkit/layout/layout_value_kind.h"

#include <QPointer>
#include <functional>
#include <memory>

namespace
{

QString ClassOf(const QObject* Object)
{
    return QString::fromLatin1(Object->metaObject()->className());
}

struct TReference {
    QObject* Object;
    QMetaProperty Property;
    QString Name;
    qint64 Offset;
};

class TReader
{
  public:
    explicit TReader(QObject* RootObject) : Root(RootObject) {}

    void ReadRoot(const TLayoutObject& Stored)
    {
        if (Stored.ClassName != ClassOf(Root))
            ThrowLayoutDamaged(Stored.Offset, QStringLiteral("the class %1").arg(ClassOf(Root)),
                               QStringLiteral("\"%1\"").arg(Stored.ClassName));
        Root->setObjectName(Stored.Name);
        ReadComponent(Root, Stored);
        ResolveReferences();
        for (const QPointer<QObject>& component : Loaded)
            if (auto* loading = dynamic_cast<TLayoutComponent*>(component.data()))
                loading->LayoutLoaded();
    }

  private:
    void Begin(QObject* Object)
    {
        if (auto* loading = dynamic_cast<TLayoutComponent*>(Object)) {
            loading->BeginLoading();
            Loaded.append(Object);
        }
    }

    void ReadComponent(QObject* Component, const TLayoutObject& Stored)
    {
        Begin(Component);
        ApplyProperties(Component, Stored.Properties);
        for (const TLayoutObject& storedChild : Stored.Children) {
            QObject* child = CreateLayoutComponent(storedChild.ClassName, Component);
            if (!child)
                ThrowLayoutDamaged(storedChild.Offset, QStringLiteral("a registered component class"),
                                   QStringLiteral("\"%1\"").arg(storedChild.ClassName));
            // Whatever the factory did, the parent owns what the reader made.
            // (Widget factories give widgets their parent widget themselves.)
            if (!child->parent())
                child->setParent(Component);
            child->setObjectName(storedChild.Name);
            ReadComponent(child, storedChild);
        }
    }

    void ApplyProperties(QObject* Object, const std::vector<TLayoutProperty>& Properties)
    {
        for (const TLayoutProperty& property : Properties)
            ApplyProperty(Object, property);
    }

    void ApplyProperty(QObject* Object, const TLayoutProperty& Stored)
    {
        const QStringList path = Stored.Name.split(QLatin1Char('.'));
        QObject* target = Object;
        for (qsizetype i = 0; i + 1 < path.size(); ++i) {
            const std::optional<QMetaProperty> property = FindPublishedProperty(target, path[i]);
            if (!property || !(property->metaType().flags() & QMetaType::PointerToQObject))
                ThrowLayoutDamaged(Stored.Offset,
                                   QStringLiteral("an object property of %1").arg(ClassOf(target)),
                                   QStringLiteral("\"%1\" in \"%2\"").arg(path[i], Stored.Name));
            QObject* next = ObjectInVariant(property->read(target));
            if (!next)
                ThrowLayoutDamaged(Stored.Offset,
                                   QStringLiteral("an object in %1.%2").arg(ClassOf(target), path[i]),
                                   QStringLiteral("none"));
            target = next;
        }
        const QString& last = path.last();

        // "Picture.Data", "Lines.Strings": the content of the object reached.
        if (path.size() > 1) {
            const TLayoutObjectKind* kind = FindLayoutObjectKind(target);
            if (kind && *kind->Suffix && last == QLatin1String(kind->Suffix)) {
                ReadHeld(*kind, target, Stored);
                return;
            }
        }

        const std::optional<QMetaProperty> property = FindPublishedProperty(target, last);
        if (!property)
            ThrowLayoutDamaged(Stored.Offset, QStringLiteral("a property of %1").arg(ClassOf(target)),
                               QStringLiteral("\"%1\"").arg(Stored.Name));
        ApplyValue(target, *property, Stored);
    }

    void ReadHeld(const TLayoutObjectKind& Kind, QObject* Held, const TLayoutProperty& Stored)
    {
        const std::function<void(QObject*, const std::vector<TLayoutProperty>&)> readItem =
            [this](QObject* Item, const std::vector<TLayoutProperty>& Properties) {
                Begin(Item);
                ApplyProperties(Item, Properties);
            };
        Kind.Read(TLayoutObjectReading{Held, Stored, readItem});
    }

    void Write(QObject* Target, const QMetaProperty& Property, const TLayoutProperty& Stored,
               const QVariant& Value)
    {
        if (!Property.write(Target, Value))
            ThrowLayoutDamaged(Stored.Value.Offset,
                               QStringLiteral("a value that %1 accepts").arg(Stored.Name),
                               QStringLiteral("one that it refused"));
    }

    void ApplyValue(QObject* Target, const QMetaProperty& Property, const TLayoutProperty& Stored)
    {
        const TLayoutValue& value = Stored.Value;
        const QMetaType type = Property.metaType();

        if (type.flags() & QMetaType::PointerToQObject) {
            QObject* held = ObjectInVariant(Property.read(Target));
            if (const TLayoutObjectKind* kind = FindLayoutObjectKind(held); kind && !*kind->Suffix) {
                ReadHeld(*kind, held, Stored);
                return;
            }
            if (!Property.isWritable())
                ThrowLayoutWrongValue(Stored, QStringLiteral("a property that can be set"));
            if (value.Type == TLayoutValueType::Nil) {
                QObject* none = nullptr;
                Write(Target, Property, Stored, QVariant(type, &none));
                return;
            }
            if (value.Type != TLayoutValueType::Ident)
                ThrowLayoutWrongValue(Stored, QStringLiteral("the name of a component"));
            References.push_back({Target, Property, value.Text, value.Offset});
            return;
        }
        if (!Property.isWritable())
            ThrowLayoutWrongValue(Stored, QStringLiteral("a property that can be set"));
        const TLayoutValueKind* kind = FindLayoutValueKind(Property);
        if (!kind)
            ThrowLayoutDamaged(
                Stored.Offset, QStringLiteral("a property with a stored form"),
                QStringLiteral("%1 of type %2").arg(Stored.Name, QString::fromLatin1(type.name())));
        Write(Target, Property, Stored, kind->Read(TLayoutValueReading{Root, Property, Stored}));
    }

    void ResolveReferences()
    {
        for (const TReference& reference : References) {
            QObject* found = Root->objectName() == reference.Name
                                 ? Root
                                 : Root->findChild<QObject*>(reference.Name, Qt::FindChildrenRecursively);
            const QMetaObject* wanted = reference.Property.metaType().metaObject();
            if (!found || (wanted && !found->metaObject()->inherits(wanted)))
                ThrowLayoutDamaged(
                    reference.Offset,
                    QStringLiteral("the name of a component for %1.%2")
                        .arg(ClassOf(reference.Object), QString::fromLatin1(reference.Property.name())),
                    QStringLiteral("\"%1\"").arg(reference.Name));
            if (!reference.Property.write(reference.Object, QVariant(reference.Property.metaType(), &found)))
                ThrowLayoutDamaged(
                    reference.Offset,
                    QStringLiteral("a component that %1 accepts").arg(reference.Property.name()),
                    QStringLiteral("\"%1\"").arg(reference.Name));
        }
    }

    QObject* Root;
    QList<QPointer<QObject>> Loaded;
    std::vector<TReference> References;
};

} // namespace

void ReadLayoutInto(QObject* Root, const QByteArray& Binary)
{
    if (!Root)
        throw ELayoutError("Cannot read a window layout without a root component");
    const TLayoutObject stored = ParseLayoutBinary(Binary);
    TReader(Root).ReadRoot(stored);
}

QObject* ReadLayout(const QByteArray& Binary, QObject* Parent)
{
    const TLayoutObject stored = ParseLayoutBinary(Binary);
    std::unique_ptr<QObject> root(CreateLayoutComponent(stored.ClassName, Parent));
    if (!root)
        ThrowLayoutDamaged(stored.Offset, QStringLiteral("a registered component class"),
                           QStringLiteral("\"%1\"").arg(stored.ClassName));
    TReader(root.get()).ReadRoot(stored);
    return root.release();
}
