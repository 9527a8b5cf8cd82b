#include "toolkit/layout/layout_error.h"

#include "toolkit/layout/layout_tree.h"

#include <QObject>

void ThrowLayoutDamaged(qint64 Offset, const QString& Expected, const QString& Found)
{
    throw ELayoutError(QStringLiteral("Layout stream damaged at offset %1: expected %2, found %3")
                           .arg(Offset)
                           .arg(Expected, Found)
                           .toStdString());
}

QString DescribeLayoutValue(const TLayoutValue& Value)
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

void ThrowLayoutUnwritable(const QObject* Object, const QString& Name, const QString& Why)
{
    throw ELayoutError(QStringLiteral("Cannot write property %1 of %2: %3")
                           .arg(Name, QString::fromLatin1(Object->metaObject()->className()), Why)
                           .toStdString());
}

void ThrowLayoutWrongValue(const TLayoutProperty& Stored, const QString& Expected)
{
    ThrowLayoutDamaged(Stored.Value.Offset, QStringLiteral("%1 for %2").arg(Expected, Stored.Name),
                       DescribeLayoutValue(Stored.Value));
}
