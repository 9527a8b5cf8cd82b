#include "toolkit/layout/layout_tree.h"

#include "toolkit/layout/layout_error.h"

#include <QtEndian>
#include <cstring>
#include <limits>

static_assert(std::numeric_limits<long double>::digits == 64,
              "the stored extended type is the 80-bit x87 format");

namespace
{

const char Signature[] = "TPF0";

QString HexByte(std::uint8_t Byte)
{
    return QStringLiteral("0x") + QString::number(Byte, 16).toUpper().rightJustified(2, QLatin1Char('0'));
}

// Bounds-checked reading of the binary form. Every read names what it expects
// so that a fault can say so together with its offset.
class TInput
{
  public:
    explicit TInput(const QByteArray& Bytes) : Data(Bytes) {}

    qint64 Offset() const { return Position; }
    qint64 Remaining() const { return Data.size() - Position; }

    [[noreturn]] void Fail(qint64 At, const QString& Expected, const QString& Found) const
    {
        ThrowLayoutDamaged(At, Expected, Found);
    }

    void Need(qint64 Count, const QString& Expected) const
    {
        if (Count < 0 || Count > Remaining())
            Fail(Position, Expected,
                 Remaining() == 0 ? QStringLiteral("the end of the stream")
                                  : QStringLiteral("only %1 bytes left").arg(Remaining()));
    }

    std::uint8_t PeekByte(const QString& Expected) const
    {
        Need(1, Expected);
        return std::uint8_t(Data[Position]);
    }

    std::uint8_t ReadByte(const QString& Expected)
    {
        const std::uint8_t byte = PeekByte(Expected);
        ++Position;
        return byte;
    }

    QByteArray ReadBytes(qint64 Count, const QString& Expected)
    {
        Need(Count, Expected);
        QByteArray bytes = Data.mid(Position, Count);
        Position += Count;
        return bytes;
    }

    template <class T> T ReadLittle(const QString& Expected)
    {
        Need(sizeof(T), Expected);
        const T value = qFromLittleEndian<T>(Data.constData() + Position);
        Position += sizeof(T);
        return value;
    }

    // A 32-bit length (or count of Unit-byte units) that must fit in what remains.
    qint64 ReadLength(int Unit, const QString& Expected)
    {
        const qint64 at = Position;
        const qint64 length = ReadLittle<qint32>(Expected);
        if (length < 0)
            Fail(at, Expected, QStringLiteral("the negative length %1").arg(length));
        if (length * Unit > Remaining())
            Fail(at, Expected,
                 QStringLiteral("a length of %1 bytes with only %2 bytes left")
                     .arg(length * Unit)
                     .arg(Remaining()));
        return length;
    }

    QString ReadShortString(const QString& Expected)
    {
        const qint64 length = ReadByte(Expected);
        return QString::fromLatin1(ReadBytes(length, Expected));
    }

  private:
    const QByteArray& Data;
    qint64 Position = 0;
};

class TParser
{
  public:
    explicit TParser(const QByteArray& Data) : In(Data) {}

    TLayoutObject Parse()
    {
        const QByteArray signature = In.ReadBytes(4, QStringLiteral("the signature TPF0"));
        if (signature != QByteArray(Signature))
            In.Fail(0, QStringLiteral("the signature TPF0"),
                    QStringLiteral("\"%1\"").arg(QString::fromLatin1(signature.toHex(' '))));
        TLayoutObject root = ParseObject(0);
        if (In.Remaining() != 0)
            In.Fail(In.Offset(), QStringLiteral("the end of the stream"),
                    QStringLiteral("%1 more bytes").arg(In.Remaining()));
        return root;
    }

  private:
    void Enter(int Depth)
    {
        if (Depth > LayoutMaxDepth)
            In.Fail(In.Offset(),
                    QStringLiteral("at most %1 nested objects, lists or collections").arg(LayoutMaxDepth),
                    QStringLiteral("deeper nesting"));
    }

    TLayoutObject ParseObject(int Depth)
    {
        Enter(Depth);
        TLayoutObject object;
        object.Offset = In.Offset();
        object.ClassName = In.ReadShortString(QStringLiteral("a class name"));
        if (object.ClassName.isEmpty())
            In.Fail(object.Offset, QStringLiteral("a class name"), QStringLiteral("an empty name"));
        object.Name = In.ReadShortString(QStringLiteral("a component name"));
        object.Properties = ParseProperties(Depth);
        while (In.PeekByte(QStringLiteral("a child component or the end of the children")) != 0)
            object.Children.push_back(ParseObject(Depth + 1));
        In.ReadByte(QString());
        return object;
    }

    std::vector<TLayoutProperty> ParseProperties(int Depth)
    {
        std::vector<TLayoutProperty> properties;
        while (In.PeekByte(QStringLiteral("a property name or the end of the properties")) != 0) {
            TLayoutProperty property;
            property.Offset = In.Offset();
            property.Name = In.ReadShortString(QStringLiteral("a property name"));
            property.Value = ParseValue(Depth);
            properties.push_back(std::move(property));
        }
        In.ReadByte(QString());
        return properties;
    }

    TLayoutValue ParseValue(int Depth)
    {
        TLayoutValue value;
        value.Offset = In.Offset();
        const std::uint8_t type = In.ReadByte(QStringLiteral("a value type"));
        value.Type = TLayoutValueType(type);
        switch (value.Type) {
        case TLayoutValueType::Null:
        case TLayoutValueType::False:
        case TLayoutValueType::True:
        case TLayoutValueType::Nil:
            break;
        case TLayoutValueType::List:
            Enter(Depth + 1);
            while (In.PeekByte(QStringLiteral("a list value or the end of the list")) != 0)
                value.List.push_back(ParseValue(Depth + 1));
            In.ReadByte(QString());
            break;
        case TLayoutValueType::Int8:
            value.Integer = In.ReadLittle<qint8>(QStringLiteral("an 8-bit integer"));
            break;
        case TLayoutValueType::Int16:
            value.Integer = In.ReadLittle<qint16>(QStringLiteral("a 16-bit integer"));
            break;
        case TLayoutValueType::Int32:
            value.Integer = In.ReadLittle<qint32>(QStringLiteral("a 32-bit integer"));
            break;
        case TLayoutValueType::Int64:
            value.Integer = In.ReadLittle<qint64>(QStringLiteral("a 64-bit integer"));
            break;
        case TLayoutValueType::Extended:
            value.Bytes = In.ReadBytes(LayoutExtendedSize, QStringLiteral("a 10-byte extended value"));
            break;
        case TLayoutValueType::String:
            value.Text = In.ReadShortString(QStringLiteral("a short string"));
            break;
        case TLayoutValueType::Ident:
            value.Text = In.ReadShortString(QStringLiteral("an identifier"));
            if (value.Text.isEmpty())
                In.Fail(value.Offset + 1, QStringLiteral("an identifier"), QStringLiteral("an empty one"));
            break;
        case TLayoutValueType::Binary: {
            const qint64 length = In.ReadLength(1, QStringLiteral("the length of binary data"));
            value.Bytes = In.ReadBytes(length, QStringLiteral("binary data"));
            break;
        }
        case TLayoutValueType::Set:
            for (;;) {
                const QString name =
                    In.ReadShortString(QStringLiteral("a set element or the end of the set"));
                if (name.isEmpty())
                    break;
                value.Names.append(name);
            }
            break;
        case TLayoutValueType::LString: {
            const qint64 length = In.ReadLength(1, QStringLiteral("the length of a long string"));
            value.Text = QString::fromLatin1(In.ReadBytes(length, QStringLiteral("a long string")));
            break;
        }
        case TLayoutValueType::Utf8String: {
            const qint64 length = In.ReadLength(1, QStringLiteral("the length of a UTF-8 string"));
            value.Text = QString::fromUtf8(In.ReadBytes(length, QStringLiteral("a UTF-8 string")));
            break;
        }
        case TLayoutValueType::WString: {
            const qint64 count = In.ReadLength(2, QStringLiteral("the length of a wide string"));
            const QByteArray units = In.ReadBytes(count * 2, QStringLiteral("a wide string"));
            value.Text.resize(count);
            for (qint64 i = 0; i < count; ++i)
                value.Text[i] = QChar(qFromLittleEndian<quint16>(units.constData() + 2 * i));
            break;
        }
        case TLayoutValueType::Collection:
            Enter(Depth + 1);
            while (In.PeekByte(QStringLiteral("a collection item or the end of the collection")) != 0) {
                const qint64 at = In.Offset();
                const std::uint8_t marker = In.ReadByte(QString());
                if (marker != std::uint8_t(TLayoutValueType::List))
                    In.Fail(at, QStringLiteral("a collection item (0x01)"), HexByte(marker));
                value.Items.push_back(ParseProperties(Depth + 1));
            }
            In.ReadByte(QString());
            break;
        default:
            In.Fail(value.Offset, QStringLiteral("a value type"), HexByte(type));
        }
        return value;
    }

    TInput In;
};

class TOutput
{
  public:
    QByteArray Data;

    void Byte(std::uint8_t Value) { Data.append(char(Value)); }
    template <class T> void Little(T Value)
    {
        char bytes[sizeof(T)];
        qToLittleEndian<T>(Value, bytes);
        Data.append(bytes, sizeof(T));
    }
    void ShortString(const QString& Value, const char* What)
    {
        if (!FitsShortString(Value))
            throw ELayoutError(std::string("Cannot write a window layout: ") + What + " \"" +
                               Value.toStdString() + "\" is not a Latin-1 text of at most 255 characters");
        Byte(std::uint8_t(Value.size()));
        Data.append(Value.toLatin1());
    }
    void Length(qint64 Value)
    {
        if (Value > std::numeric_limits<qint32>::max())
            throw ELayoutError("Cannot write a window layout: a value of " + std::to_string(Value) +
                               " bytes exceeds the 32-bit length of the format");
        Little<qint32>(qint32(Value));
    }

    static bool FitsShortString(const QString& Value)
    {
        if (Value.size() > 255)
            return false;
        for (QChar c : Value)
            if (c.unicode() > 0xFF)
                return false;
        return true;
    }

    void Object(const TLayoutObject& Object)
    {
        ShortString(Object.ClassName, "the class name");
        ShortString(Object.Name, "the component name");
        Properties(Object.Properties);
        for (const TLayoutObject& child : Object.Children)
            this->Object(child);
        Byte(0);
    }

    void Properties(const std::vector<TLayoutProperty>& Properties)
    {
        for (const TLayoutProperty& property : Properties) {
            ShortString(property.Name, "the property name");
            Value(property.Value);
        }
        Byte(0);
    }

    void Value(const TLayoutValue& Value)
    {
        Byte(std::uint8_t(Value.Type));
        switch (Value.Type) {
        case TLayoutValueType::Null:
        case TLayoutValueType::False:
        case TLayoutValueType::True:
        case TLayoutValueType::Nil:
            break;
        case TLayoutValueType::List:
            for (const TLayoutValue& item : Value.List)
                this->Value(item);
            Byte(0);
            break;
        case TLayoutValueType::Int8:
            Little<qint8>(qint8(Value.Integer));
            break;
        case TLayoutValueType::Int16:
            Little<qint16>(qint16(Value.Integer));
            break;
        case TLayoutValueType::Int32:
            Little<qint32>(qint32(Value.Integer));
            break;
        case TLayoutValueType::Int64:
            Little<qint64>(Value.Integer);
            break;
        case TLayoutValueType::Extended:
            if (Value.Bytes.size() != LayoutExtendedSize)
                throw ELayoutError("Cannot write a window layout: an extended value needs 10 bytes");
            Data.append(Value.Bytes);
            break;
        case TLayoutValueType::String:
            ShortString(Value.Text, "the string");
            break;
        case TLayoutValueType::Ident:
            ShortString(Value.Text, "the identifier");
            break;
        case TLayoutValueType::Binary:
            Length(Value.Bytes.size());
            Data.append(Value.Bytes);
            break;
        case TLayoutValueType::Set:
            for (const QString& name : Value.Names) {
                if (name.isEmpty())
                    throw ELayoutError("Cannot write a window layout: a set element has no name");
                ShortString(name, "the set element");
            }
            Byte(0);
            break;
        case TLayoutValueType::LString: {
            const QByteArray bytes = Value.Text.toLatin1();
            Length(bytes.size());
            Data.append(bytes);
            break;
        }
        case TLayoutValueType::Utf8String: {
            const QByteArray bytes = Value.Text.toUtf8();
            Length(bytes.size());
            Data.append(bytes);
            break;
        }
        case TLayoutValueType::WString:
            Length(Value.Text.size());
            for (QChar c : Value.Text)
                Little<quint16>(c.unicode());
            break;
        case TLayoutValueType::Collection:
            for (const std::vector<TLayoutProperty>& item : Value.Items) {
                Byte(std::uint8_t(TLayoutValueType::List));
                Properties(item);
            }
            Byte(0);
            break;
        default:
            throw ELayoutError("Cannot write a window layout: unknown value type " +
                               std::to_string(int(Value.Type)));
        }
    }
};

} // namespace

bool TLayoutValue::IsInteger() const
{
    return Type == TLayoutValueType::Int8 || Type == TLayoutValueType::Int16 ||
           Type == TLayoutValueType::Int32 || Type == TLayoutValueType::Int64;
}

bool TLayoutValue::IsString() const
{
    return Type == TLayoutValueType::String || Type == TLayoutValueType::LString ||
           Type == TLayoutValueType::WString || Type == TLayoutValueType::Utf8String;
}

TLayoutValue MakeLayoutInteger(qint64 Value)
{
    TLayoutValue value;
    value.Integer = Value;
    if (Value >= std::numeric_limits<qint8>::min() && Value <= std::numeric_limits<qint8>::max())
        value.Type = TLayoutValueType::Int8;
    else if (Value >= std::numeric_limits<qint16>::min() && Value <= std::numeric_limits<qint16>::max())
        value.Type = TLayoutValueType::Int16;
    else if (Value >= std::numeric_limits<qint32>::min() && Value <= std::numeric_limits<qint32>::max())
        value.Type = TLayoutValueType::Int32;
    else
        value.Type = TLayoutValueType::Int64;
    return value;
}

TLayoutValue MakeLayoutString(const QString& Value)
{
    TLayoutValue value;
    value.Type = TOutput::FitsShortString(Value) ? TLayoutValueType::String : TLayoutValueType::WString;
    value.Text = Value;
    return value;
}

TLayoutValue MakeLayoutExtended(long double Value)
{
    TLayoutValue value;
    value.Type = TLayoutValueType::Extended;
    unsigned char bytes[sizeof(long double)] = {};
    std::memcpy(bytes, &Value, sizeof(long double));
    value.Bytes = QByteArray(reinterpret_cast<const char*>(bytes), LayoutExtendedSize);
    return value;
}

long double LayoutExtendedValue(const TLayoutValue& Value)
{
    long double result = 0;
    unsigned char bytes[sizeof(long double)] = {};
    std::memcpy(bytes, Value.Bytes.constData(), std::min<qsizetype>(Value.Bytes.size(), LayoutExtendedSize));
    std::memcpy(&result, bytes, sizeof(long double));
    return result;
}

TLayoutObject ParseLayoutBinary(const QByteArray& Binary)
{
    return TParser(Binary).Parse();
}

QByteArray SerializeLayoutBinary(const TLayoutObject& Root)
{
    TOutput output;
    output.Data.append(Signature, 4);
    output.Object(Root);
    return output.Data;
}
