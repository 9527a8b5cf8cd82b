#include "toolkit/layout/layout_value_kind.h"

#include "toolkit/layout/layout_error.h"
#include "toolkit/layout/layout_meta.h"
#include "toolkit/notify_event.h"

#include <QMetaEnum>
#include <QMetaMethod>
#include <QPointer>
#include <iterator>
#include <limits>

namespace
{

QString ClassOf(const QObject* Object)
{
    return QString::fromLatin1(Object->metaObject()->className());
}

TLayoutValue Typed(TLayoutValueType Type, const QString& Text = {})
{
    TLayoutValue value;
    value.Type = Type;
    value.Text = Text;
    return value;
}

// ------------------------------------------------ events: the handler's name

bool EventFits(const QMetaProperty& Property)
{
    return Property.metaType() == QMetaType::fromType<TNotifyEvent>();
}

TNotifyEvent BindHandler(QObject* Root, const TLayoutValue& Value)
{
    const QByteArray signature =
        QMetaObject::normalizedSignature((Value.Text + QStringLiteral("(QObject*)")).toLatin1().constData());
    const QMetaObject* meta = Root->metaObject();
    const int index = meta->indexOfMethod(signature.constData());
    if (index < 0)
        ThrowLayoutDamaged(
            Value.Offset, QStringLiteral("a method %1(QObject* Sender) of %2").arg(Value.Text, ClassOf(Root)),
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

QVariant EventRead(const TLayoutValueReading& Reading)
{
    const TLayoutValue& value = Reading.Stored.Value;
    TNotifyEvent event;
    if (value.Type == TLayoutValueType::Ident)
        event = BindHandler(Reading.Root, value);
    else if (value.Type != TLayoutValueType::Nil)
        ThrowLayoutWrongValue(Reading.Stored, QStringLiteral("the name of an event handler"));
    return QVariant::fromValue(event);
}

std::optional<TLayoutValue> EventWrite(const TLayoutValueWriting& Writing)
{
    const TNotifyEvent event = Writing.Value.value<TNotifyEvent>();
    if (event.Name.isEmpty())
        return std::nullopt;
    return Typed(TLayoutValueType::Ident, event.Name);
}

// ------------------------------------------------ flags: a set of names

bool SetFits(const QMetaProperty& Property)
{
    return Property.isFlagType();
}

QVariant SetRead(const TLayoutValueReading& Reading)
{
    const TLayoutValue& value = Reading.Stored.Value;
    if (value.Type != TLayoutValueType::Set)
        ThrowLayoutWrongValue(Reading.Stored, QStringLiteral("a set"));
    const QMetaEnum flags = Reading.Property.enumerator();
    qint64 bits = 0;
    for (const QString& name : value.Names) {
        bool ok = false;
        const int bit = flags.keyToValue(name.toLatin1().constData(), &ok);
        if (!ok)
            ThrowLayoutDamaged(value.Offset,
                               QStringLiteral("an element of %1 for %2")
                                   .arg(QString::fromLatin1(flags.name()), Reading.Stored.Name),
                               QStringLiteral("\"%1\"").arg(name));
        bits |= qint64(quint32(bit));
    }
    return MakeEnumVariant(Reading.Property.metaType(), bits);
}

std::optional<TLayoutValue> SetWrite(const TLayoutValueWriting& Writing)
{
    const QMetaEnum flags = Writing.Property.enumerator();
    const quint64 bits = quint64(EnumVariantValue(Writing.Value));
    TLayoutValue stored = Typed(TLayoutValueType::Set);
    quint64 written = 0;
    for (int k = 0; k < flags.keyCount(); ++k) {
        const quint64 bit = quint64(quint32(flags.value(k)));
        // Only single-bit elements; combined keys are shorthands.
        if (bit == 0 || (bit & (bit - 1)) != 0 || !(bits & bit) || (written & bit))
            continue;
        written |= bit;
        stored.Names.append(QString::fromLatin1(flags.key(k)));
    }
    if (written != (bits & 0xFFFFFFFFu))
        Writing.Fail(QStringLiteral("the set holds elements that have no name"));
    return stored;
}

// ------------------------------------------------ enumerations: an identifier

bool EnumFits(const QMetaProperty& Property)
{
    return Property.isEnumType() && !Property.isFlagType();
}

QVariant EnumRead(const TLayoutValueReading& Reading)
{
    const TLayoutValue& value = Reading.Stored.Value;
    if (value.Type != TLayoutValueType::Ident)
        ThrowLayoutWrongValue(Reading.Stored, QStringLiteral("an identifier"));
    const QMetaEnum enumeration = Reading.Property.enumerator();
    bool ok = false;
    const int number = enumeration.keyToValue(value.Text.toLatin1().constData(), &ok);
    if (!ok)
        ThrowLayoutDamaged(value.Offset,
                           QStringLiteral("a value of %1 for %2")
                               .arg(QString::fromLatin1(enumeration.name()), Reading.Stored.Name),
                           QStringLiteral("\"%1\"").arg(value.Text));
    return MakeEnumVariant(Reading.Property.metaType(), number);
}

std::optional<TLayoutValue> EnumWrite(const TLayoutValueWriting& Writing)
{
    const qint64 number = EnumVariantValue(Writing.Value);
    const char* key = Writing.Property.enumerator().valueToKey(int(number));
    if (!key)
        Writing.Fail(QStringLiteral("the value %1 has no name").arg(number));
    return Typed(TLayoutValueType::Ident, QString::fromLatin1(key));
}

// ------------------------------------------------ Booleans: True or False

bool BoolFits(const QMetaProperty& Property)
{
    return Property.metaType().id() == QMetaType::Bool;
}

QVariant BoolRead(const TLayoutValueReading& Reading)
{
    const TLayoutValueType type = Reading.Stored.Value.Type;
    if (type != TLayoutValueType::True && type != TLayoutValueType::False)
        ThrowLayoutWrongValue(Reading.Stored, QStringLiteral("True or False"));
    return QVariant(type == TLayoutValueType::True);
}

std::optional<TLayoutValue> BoolWrite(const TLayoutValueWriting& Writing)
{
    return Typed(Writing.Value.toBool() ? TLayoutValueType::True : TLayoutValueType::False);
}

// ------------------------------------------------ integers: the smallest integer type

struct TIntegerRange {
    QMetaType::Type Type;
    qint64 Minimum, Maximum;
};

// 64 bits for the long types: the unsigned ones keep the stored bit pattern.
constexpr TIntegerRange IntegerRanges[] = {
    {QMetaType::Char, std::numeric_limits<signed char>::min(), std::numeric_limits<signed char>::max()},
    {QMetaType::SChar, std::numeric_limits<signed char>::min(), std::numeric_limits<signed char>::max()},
    {QMetaType::UChar, 0, std::numeric_limits<unsigned char>::max()},
    {QMetaType::Short, std::numeric_limits<short>::min(), std::numeric_limits<short>::max()},
    {QMetaType::UShort, 0, std::numeric_limits<unsigned short>::max()},
    {QMetaType::Int, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()},
    {QMetaType::UInt, 0, std::numeric_limits<unsigned int>::max()},
    {QMetaType::Long, std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max()},
    {QMetaType::LongLong, std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max()},
    {QMetaType::ULong, std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max()},
    {QMetaType::ULongLong, std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max()},
};

const TIntegerRange* IntegerRangeOf(const QMetaProperty& Property)
{
    for (const TIntegerRange& range : IntegerRanges)
        if (Property.metaType().id() == range.Type)
            return &range;
    return nullptr;
}

bool IntegerFits(const QMetaProperty& Property)
{
    return IntegerRangeOf(Property) != nullptr;
}

QVariant IntegerRead(const TLayoutValueReading& Reading)
{
    const TLayoutValue& value = Reading.Stored.Value;
    const TIntegerRange& range = *IntegerRangeOf(Reading.Property);
    if (!value.IsInteger())
        ThrowLayoutWrongValue(Reading.Stored, QStringLiteral("an integer"));
    if (value.Integer < range.Minimum || value.Integer > range.Maximum)
        ThrowLayoutWrongValue(
            Reading.Stored, QStringLiteral("an integer from %1 to %2").arg(range.Minimum).arg(range.Maximum));
    QVariant converted(value.Integer);
    if (!converted.convert(Reading.Property.metaType()))
        ThrowLayoutWrongValue(Reading.Stored, QStringLiteral("an integer"));
    return converted;
}

std::optional<TLayoutValue> IntegerWrite(const TLayoutValueWriting& Writing)
{
    // Values past the signed range keep their bit pattern.
    if (Writing.Property.metaType().id() == QMetaType::ULongLong)
        return MakeLayoutInteger(qint64(Writing.Value.toULongLong()));
    return MakeLayoutInteger(Writing.Value.toLongLong());
}

// ------------------------------------------------ floating point: an extended value

bool FloatFits(const QMetaProperty& Property)
{
    const int type = Property.metaType().id();
    return type == QMetaType::Double || type == QMetaType::Float;
}

QVariant FloatRead(const TLayoutValueReading& Reading)
{
    const TLayoutValue& value = Reading.Stored.Value;
    double number = 0;
    if (value.Type == TLayoutValueType::Extended)
        number = double(LayoutExtendedValue(value));
    else if (value.IsInteger())
        number = double(value.Integer);
    else
        ThrowLayoutWrongValue(Reading.Stored, QStringLiteral("a number"));
    QVariant converted(number);
    converted.convert(Reading.Property.metaType());
    return converted;
}

std::optional<TLayoutValue> FloatWrite(const TLayoutValueWriting& Writing)
{
    return MakeLayoutExtended(static_cast<long double>(Writing.Value.toDouble()));
}

// ------------------------------------------------ strings

bool StringFits(const QMetaProperty& Property)
{
    return Property.metaType().id() == QMetaType::QString;
}

QVariant StringRead(const TLayoutValueReading& Reading)
{
    if (!Reading.Stored.Value.IsString())
        ThrowLayoutWrongValue(Reading.Stored, QStringLiteral("a string"));
    return QVariant(Reading.Stored.Value.Text);
}

std::optional<TLayoutValue> StringWrite(const TLayoutValueWriting& Writing)
{
    return MakeLayoutString(Writing.Value.toString());
}

constexpr TLayoutValueKind Kinds[] = {
    {EventFits, EventRead, EventWrite},       {SetFits, SetRead, SetWrite},
    {EnumFits, EnumRead, EnumWrite},          {BoolFits, BoolRead, BoolWrite},
    {IntegerFits, IntegerRead, IntegerWrite}, {FloatFits, FloatRead, FloatWrite},
    {StringFits, StringRead, StringWrite},
};

} // namespace

void TLayoutValueWriting::Fail(const QString& Why) const
{
    ThrowLayoutUnwritable(Object, Name, Why);
}

const TLayoutValueKind* FindLayoutValueKind(const QMetaProperty& Property)
{
    for (const TLayoutValueKind& kind : Kinds)
        if (kind.Fits(Property))
            return &kind;
    return nullptr;
}
