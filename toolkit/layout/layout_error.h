#pragma once

#include <QString>
#include <QtGlobal>

#include <stdexcept>
#include <string>

class QObject;
struct TLayoutProperty;
struct TLayoutValue;

// Raised for every fault in a stored window layout (binary or text form) and for
// a component tree that cannot be written; the message names where it happened
// (byte offset or line) and what was expected there.
class ELayoutError : public std::runtime_error
{
  public:
    explicit ELayoutError(const std::string& Message) : std::runtime_error(Message) {}
};

// Throws the ELayoutError for damaged binary data at byte Offset.
[[noreturn]] void ThrowLayoutDamaged(qint64 Offset, const QString& Expected, const QString& Found);

// What a stored value is, for the "found" part of such a message.
QString DescribeLayoutValue(const TLayoutValue& Value);

// Throws the ELayoutError for a property of Object that cannot be written.
[[noreturn]] void ThrowLayoutUnwritable(const QObject* Object, const QString& Name, const QString& Why);

// Throws the ELayoutError for a stored property whose value is not Expected.
[[noreturn]] void ThrowLayoutWrongValue(const TLayoutProperty& Stored, const QString& Expected);
