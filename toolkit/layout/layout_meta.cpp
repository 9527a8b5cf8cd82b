#include "toolkit/layout/layout_meta.h"

#include <QMetaMethod>
#include <QObject>
#include <cstring>

QList<QMetaProperty> PublishedProperties(const QObject* Object)
{
    QList<QMetaProperty> properties;
    const QMetaObject* meta = Object->metaObject();
    for (int i = 0; i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        const QMetaObject* declaring = property.enclosingMetaObject();
        if (declaring && declaring->className()[0] == 'Q')
            continue;
        properties.append(property);
    }
    return properties;
}

std::optional<QMetaProperty> FindPublishedProperty(const QObject* Object, const QString& Name)
{
    const QMetaObject* meta = Object->metaObject();
    const int index = meta->indexOfProperty(Name.toLatin1().constData());
    if (index < 0)
        return std::nullopt;
    const QMetaProperty property = meta->property(index);
    const QMetaObject* declaring = property.enclosingMetaObject();
    if (declaring && declaring->className()[0] == 'Q')
        return std::nullopt;
    return property;
}

bool IsPropertyStored(const QObject* Object, const QMetaProperty& Property)
{
    if (!Property.isStored())
        return false;
    const QByteArray signature = QByteArray("Is") + Property.name() + "Stored()";
    const QMetaObject* meta = Object->metaObject();
    const int index = meta->indexOfMethod(signature.constData());
    if (index < 0)
        return true;
    const QMetaMethod method = meta->method(index);
    if (method.returnMetaType() != QMetaType::fromType<bool>())
        return true;
    bool stored = true;
    // The object is not changed: the method is const in its class.
    method.invoke(const_cast<QObject*>(Object), Qt::DirectConnection, Q_RETURN_ARG(bool, stored));
    return stored;
}

QObject* ObjectInVariant(const QVariant& Value)
{
    if (!(Value.metaType().flags() & QMetaType::PointerToQObject))
        return nullptr;
    QObject* object = nullptr;
    std::memcpy(&object, Value.constData(), sizeof(object));
    return object;
}

qint64 EnumVariantValue(const QVariant& Value)
{
    const QMetaType type = Value.metaType();
    const bool isUnsigned = type.flags() & QMetaType::IsUnsignedEnumeration;
    const void* data = Value.constData();
    switch (type.sizeOf()) {
    case 1: {
        std::uint8_t raw;
        std::memcpy(&raw, data, 1);
        return isUnsigned ? qint64(raw) : qint64(std::int8_t(raw));
    }
    case 2: {
        std::uint16_t raw;
        std::memcpy(&raw, data, 2);
        return isUnsigned ? qint64(raw) : qint64(std::int16_t(raw));
    }
    case 4: {
        std::uint32_t raw;
        std::memcpy(&raw, data, 4);
        return isUnsigned ? qint64(raw) : qint64(std::int32_t(raw));
    }
    case 8: {
        qint64 raw;
        std::memcpy(&raw, data, 8);
        return raw;
    }
    default:
        return Value.toLongLong();
    }
}

QVariant MakeEnumVariant(QMetaType Type, qint64 Value)
{
    unsigned char raw[8] = {};
    // Little-endian host: the low bytes of the value are its narrower forms.
    std::memcpy(raw, &Value, sizeof(Value));
    if (Type.sizeOf() > 8)
        return QVariant();
    return QVariant(Type, raw);
}
