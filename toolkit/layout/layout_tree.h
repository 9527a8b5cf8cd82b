#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

// The content of a window layout independent of any class: what the binary
// reader produces and the binary writer consumes. The object reader and
// writer and the text form both go through this tree, so the byte format is
// coded in one place only.

enum class TLayoutValueType : std::uint8_t {
    Null = 0x00,
    List = 0x01,
    Int8 = 0x02,
    Int16 = 0x03,
    Int32 = 0x04,
    Extended = 0x05, // 10 bytes: 80-bit x87 extended precision, little-endian
    String = 0x06,   // short string: 1 length byte + Latin-1 bytes
    Ident = 0x07,    // short string
    False = 0x08,
    True = 0x09,
    Binary = 0x0A,  // int32 length + bytes
    Set = 0x0B,     // short strings until an empty one
    LString = 0x0C, // int32 length + Latin-1 bytes
    Nil = 0x0D,
    Collection = 0x0E, // items: 0x01, properties, 0x00; a final 0x00
    WString = 0x12,    // int32 count of UTF-16LE units + units
    Int64 = 0x13,
    Utf8String = 0x14, // int32 length + UTF-8 bytes
};

// Size in bytes of the stored extended value.
constexpr int LayoutExtendedSize = 10;

struct TLayoutProperty;

struct TLayoutValue {
    TLayoutValueType Type = TLayoutValueType::Null;
    qint64 Offset = -1; // of the value type byte in the binary form; -1 when built in memory

    qint64 Integer = 0;                              // Int8..Int64
    QString Text;                                    // strings and identifiers
    QByteArray Bytes;                                // Binary; the 10 raw bytes of an Extended
    QStringList Names;                               // Set
    std::vector<TLayoutValue> List;                  // List
    std::vector<std::vector<TLayoutProperty>> Items; // Collection

    bool IsInteger() const;
    bool IsString() const;
};

struct TLayoutProperty {
    QString Name;
    qint64 Offset = -1; // of the name in the binary form
    TLayoutValue Value;
};

struct TLayoutObject {
    QString ClassName;
    QString Name;
    qint64 Offset = -1; // of the class name in the binary form
    std::vector<TLayoutProperty> Properties;
    std::vector<TLayoutObject> Children;
};

// Values built in memory, typed the way the writer stores them: the smallest
// integer type, a short string when it can be one and a wide string otherwise.
TLayoutValue MakeLayoutInteger(qint64 Value);
TLayoutValue MakeLayoutString(const QString& Value);
TLayoutValue MakeLayoutExtended(long double Value);
long double LayoutExtendedValue(const TLayoutValue& Value);

// Nesting of objects, lists and collections allowed in one layout.
constexpr int LayoutMaxDepth = 64;

// Binary form <-> tree. Parsing checks every length against the bytes that
// remain and every nesting against LayoutMaxDepth; faults raise ELayoutError
// naming the offset. Writing rejects names that do not fit a short string.
TLayoutObject ParseLayoutBinary(const QByteArray& Binary);
QByteArray SerializeLayoutBinary(const TLayoutObject& Root);
