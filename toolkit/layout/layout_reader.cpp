#include "toolkit/layout/layout_reader.h"

#include "toolkit/collection.h"
#include "toolkit/graphics/graphic.h"
#include "toolkit/layout/class_registry.h"
#include "toolkit/layout/layout_component.h"
#include "toolkit/layout/layout_error.h"
#include "toolkit/layout/layout_meta.h"
#include "toolkit/layout/layout_tree.h"
#include "toolkit/notify_event.h"
#include "toolkit/strings.h"

#include <QBuffer>
#include <QMetaEnum>
#include <QMetaMethod>
#include <QPointer>
#include <limits>
#include <memory>

namespace
{

QString ClassOf(const QObject* Object)
{
    return QString::fromLatin1(Object->metaObject()->className());
}

QString Describe(const TLayoutValue& Value)
{
    switch (Value.Type) {
    case TLayoutValueType::Null:
        return QStringLiteral("a null value");
    case TLayoutValueType::List:
        return QStringLiteral("a list");
    case TLayoutValueType::Int8:
    case TLayoutValueType::Int16:
    case TLayoutValueType::Int32:
    case TLayoutValueType::Int64:
        return QStringLiteral("the integer %1").arg(Value.Integer);
    case TLayoutValueType::Extended:
        return QStringLiteral("an extended value");
    case TLayoutValueType::String:
    case TLayoutValueType::LString:
    case TLayoutValueType::WString:
    case TLayoutValueType::Utf8String:
        return QStringLiteral("a string");
    case TLayoutValueType::Ident:
        return QStringLiteral("the identifier %1").arg(Value.Text);
    case TLayoutValueType::False:
    case TLayoutValueType::True:
        return QStringLiteral("a Boolean");
    case TLayoutValueType::Binary:
        return QStringLiteral("binary data");
    case TLayoutValueType::Set:
        return QStringLiteral("a set");
    case TLayoutValueType::Nil:
        return QStringLiteral("nil");
    case TLayoutValueType::Collection:
        return QStringLiteral("a collection");
    }
    return QStringLiteral("an unknown value");
}

[[noreturn]] void Damaged(qint64 Offset, const QString& Expected, const QString& Found)
{
    throw ELayoutError(QStringLiteral("Layout stream damaged at offset %1: expected %2, found %3")
                           .arg(Offset)
                           .arg(Expected, Found)
                           .toStdString());
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
            Damaged(Stored.Offset, QStringLiteral("the class %1").arg(ClassOf(Root)),
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
                Damaged(storedChild.Offset, QStringLiteral("a registered component class"),
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
                Damaged(Stored.Offset, QStringLiteral("an object property of %1").arg(ClassOf(target)),
                        QStringLiteral("\"%1\" in \"%2\"").arg(path[i], Stored.Name));
            QObject* next = ObjectInVariant(property->read(target));
            if (!next)
                Damaged(Stored.Offset, QStringLiteral("an object in %1.%2").arg(ClassOf(target), path[i]),
                        QStringLiteral("none"));
            target = next;
        }
        const QString& last = path.last();

        if (path.size() > 1 && last == QLatin1String("Data")) {
            if (auto* graphic = qobject_cast<TGraphic*>(target)) {
                if (Stored.Value.Type != TLayoutValueType::Binary)
                    Damaged(Stored.Value.Offset, QStringLiteral("binary data for %1").arg(Stored.Name),
                            Describe(Stored.Value));
                QByteArray bytes = Stored.Value.Bytes;
                QBuffer buffer(&bytes);
                buffer.open(QIODevice::ReadOnly);
                graphic->ReadStoredData(&buffer);
                return;
            }
        }
        if (path.size() > 1 && last == QLatin1String("Strings")) {
            if (auto* strings = qobject_cast<TStrings*>(target)) {
                if (Stored.Value.Type != TLayoutValueType::List)
                    Damaged(Stored.Value.Offset, QStringLiteral("a list of strings for %1").arg(Stored.Name),
                            Describe(Stored.Value));
                QStringList lines;
                for (const TLayoutValue& line : Stored.Value.List) {
                    if (!line.IsString())
                        Damaged(line.Offset, QStringLiteral("a string in %1").arg(Stored.Name),
                                Describe(line));
                    lines.append(line.Text);
                }
                strings->SetLines(lines);
                return;
            }
        }

        const std::optional<QMetaProperty> property = FindPublishedProperty(target, last);
        if (!property)
            Damaged(Stored.Offset, QStringLiteral("a property of %1").arg(ClassOf(target)),
                    QStringLiteral("\"%1\"").arg(Stored.Name));
        ApplyValue(target, *property, Stored);
    }

    [[noreturn]] void WrongValue(const TLayoutProperty& Stored, const QString& Expected)
    {
        Damaged(Stored.Value.Offset, QStringLiteral("%1 for %2").arg(Expected, Stored.Name),
                Describe(Stored.Value));
    }

    void Write(QObject* Target, const QMetaProperty& Property, const TLayoutProperty& Stored,
               const QVariant& Value)
    {
        if (!Property.write(Target, Value))
            Damaged(Stored.Value.Offset, QStringLiteral("a value that %1 accepts").arg(Stored.Name),
                    QStringLiteral("one that it refused"));
    }

    void ApplyValue(QObject* Target, const QMetaProperty& Property, const TLayoutProperty& Stored)
    {
        const TLayoutValue& value = Stored.Value;
        const QMetaType type = Property.metaType();

        if (type.flags() & QMetaType::PointerToQObject) {
            QObject* held = ObjectInVariant(Property.read(Target));
            if (auto* collection = qobject_cast<TCollection*>(held)) {
                if (value.Type != TLayoutValueType::Collection)
                    WrongValue(Stored, QStringLiteral("a collection"));
                collection->Clear();
                for (const std::vector<TLayoutProperty>& storedItem : value.Items) {
                    TCollectionItem* item = collection->Add();
                    Begin(item);
                    ApplyProperties(item, storedItem);
                }
                return;
            }
            if (!Property.isWritable())
                WrongValue(Stored, QStringLiteral("a property that can be set"));
            if (value.Type == TLayoutValueType::Nil) {
                QObject* none = nullptr;
                Write(Target, Property, Stored, QVariant(type, &none));
                return;
            }
            if (value.Type != TLayoutValueType::Ident)
                WrongValue(Stored, QStringLiteral("the name of a component"));
            References.push_back({Target, Property, value.Text, value.Offset});
            return;
        }
        if (!Property.isWritable())
            WrongValue(Stored, QStringLiteral("a property that can be set"));

        if (type == QMetaType::fromType<TNotifyEvent>()) {
            TNotifyEvent event;
            if (value.Type == TLayoutValueType::Ident)
                event = BindHandler(value);
            else if (value.Type != TLayoutValueType::Nil)
                WrongValue(Stored, QStringLiteral("the name of an event handler"));
            Write(Target, Property, Stored, QVariant::fromValue(event));
            return;
        }
        if (Property.isFlagType()) {
            if (value.Type != TLayoutValueType::Set)
                WrongValue(Stored, QStringLiteral("a set"));
            const QMetaEnum flags = Property.enumerator();
            qint64 bits = 0;
            for (const QString& name : value.Names) {
                bool ok = false;
                const int bit = flags.keyToValue(name.toLatin1().constData(), &ok);
                if (!ok)
                    Damaged(value.Offset,
                            QStringLiteral("an element of %1 for %2")
                                .arg(QString::fromLatin1(flags.name()), Stored.Name),
                            QStringLiteral("\"%1\"").arg(name));
                bits |= qint64(quint32(bit));
            }
            Write(Target, Property, Stored, MakeEnumVariant(type, bits));
            return;
        }
        if (Property.isEnumType()) {
            if (value.Type != TLayoutValueType::Ident)
                WrongValue(Stored, QStringLiteral("an identifier"));
            const QMetaEnum enumeration = Property.enumerator();
            bool ok = false;
            const int number = enumeration.keyToValue(value.Text.toLatin1().constData(), &ok);
            if (!ok)
                Damaged(value.Offset,
                        QStringLiteral("a value of %1 for %2")
                            .arg(QString::fromLatin1(enumeration.name()), Stored.Name),
                        QStringLiteral("\"%1\"").arg(value.Text));
            Write(Target, Property, Stored, MakeEnumVariant(type, number));
            return;
        }

        switch (type.id()) {
        case QMetaType::Bool:
            if (value.Type != TLayoutValueType::True && value.Type != TLayoutValueType::False)
                WrongValue(Stored, QStringLiteral("True or False"));
            Write(Target, Property, Stored, QVariant(value.Type == TLayoutValueType::True));
            return;
        case QMetaType::Char:
        case QMetaType::SChar:
            return WriteInteger(Target, Property, Stored, std::numeric_limits<signed char>::min(),
                                std::numeric_limits<signed char>::max());
        case QMetaType::UChar:
            return WriteInteger(Target, Property, Stored, 0, std::numeric_limits<unsigned char>::max());
        case QMetaType::Short:
            return WriteInteger(Target, Property, Stored, std::numeric_limits<short>::min(),
                                std::numeric_limits<short>::max());
        case QMetaType::UShort:
            return WriteInteger(Target, Property, Stored, 0, std::numeric_limits<unsigned short>::max());
        case QMetaType::Int:
            return WriteInteger(Target, Property, Stored, std::numeric_limits<int>::min(),
                                std::numeric_limits<int>::max());
        case QMetaType::UInt:
            return WriteInteger(Target, Property, Stored, 0, std::numeric_limits<unsigned int>::max());
        case QMetaType::Long:
        case QMetaType::LongLong:
        case QMetaType::ULong:
        case QMetaType::ULongLong:
            // 64 bits: the unsigned types keep the stored bit pattern.
            return WriteInteger(Target, Property, Stored, std::numeric_limits<qint64>::min(),
                                std::numeric_limits<qint64>::max());
        case QMetaType::Double:
        case QMetaType::Float: {
            double number = 0;
            if (value.Type == TLayoutValueType::Extended)
                number = double(LayoutExtendedValue(value));
            else if (value.IsInteger())
                number = double(value.Integer);
            else
                WrongValue(Stored, QStringLiteral("a number"));
            QVariant converted(number);
            converted.convert(type);
            Write(Target, Property, Stored, converted);
            return;
        }
        case QMetaType::QString:
            if (!value.IsString())
                WrongValue(Stored, QStringLiteral("a string"));
            Write(Target, Property, Stored, QVariant(value.Text));
            return;
        default:
            Damaged(Stored.Offset, QStringLiteral("a property with a stored form"),
                    QStringLiteral("%1 of type %2").arg(Stored.Name, QString::fromLatin1(type.name())));
        }
    }

    void WriteInteger(QObject* Target, const QMetaProperty& Property, const TLayoutProperty& Stored,
                      qint64 Minimum, qint64 Maximum)
    {
        const TLayoutValue& value = Stored.Value;
        if (!value.IsInteger())
            WrongValue(Stored, QStringLiteral("an integer"));
        if (value.Integer < Minimum || value.Integer > Maximum)
            WrongValue(Stored, QStringLiteral("an integer from %1 to %2").arg(Minimum).arg(Maximum));
        QVariant converted(value.Integer);
        if (!converted.convert(Property.metaType()))
            WrongValue(Stored, QStringLiteral("an integer"));
        Write(Target, Property, Stored, converted);
    }

    TNotifyEvent BindHandler(const TLayoutValue& Value)
    {
        const QByteArray signature = QMetaObject::normalizedSignature(
            (Value.Text + QStringLiteral("(QObject*)")).toLatin1().constData());
        const QMetaObject* meta = Root->metaObject();
        const int index = meta->indexOfMethod(signature.constData());
        if (index < 0)
            Damaged(Value.Offset,
                    QStringLiteral("a method %1(QObject* Sender) of %2").arg(Value.Text, ClassOf(Root)),
                    QStringLiteral("no such method"));
        TNotifyEvent event;
        event.Name = Value.Text;
        const QMetaMethod method = meta->method(index);
        QPointer<QObject> root(Root);
        event.Handler = [root, method](QObject* Sender) {
            if (root)
                method.invoke(root.data(), Qt::DirectConnection, Q_ARG(QObject*, Sender));
        };
        return event;
    }

    void ResolveReferences()
    {
        for (const TReference& reference : References) {
            QObject* found = Root->objectName() == reference.Name
                                 ? Root
                                 : Root->findChild<QObject*>(reference.Name, Qt::FindChildrenRecursively);
            const QMetaObject* wanted = reference.Property.metaType().metaObject();
            if (!found || (wanted && !found->metaObject()->inherits(wanted)))
                Damaged(reference.Offset,
                        QStringLiteral("the name of a component for %1.%2")
                            .arg(ClassOf(reference.Object), QString::fromLatin1(reference.Property.name())),
                        QStringLiteral("\"%1\"").arg(reference.Name));
            if (!reference.Property.write(reference.Object, QVariant(reference.Property.metaType(), &found)))
                Damaged(reference.Offset,
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
        Damaged(stored.Offset, QStringLiteral("a registered component class"),
                QStringLiteral("\"%1\"").arg(stored.ClassName));
    TReader(root.get()).ReadRoot(stored);
    return root.release();
}
