#pragma once

#include <QString>
#include <cstdint>

// What kind of trouble stopped a read or a write. Callers choose what to add
// to a message (a hint, an option to raise) from the kind, never by reading
// the sentence, which stays free to change.
enum class TFailureKind : std::uint8_t {
    None,
    Damaged,     // the file's data is broken or ends early
    OverLimit,   // larger than a limit the caller set and may raise
    Unsupported, // a format or an encoder that is not there
    Unreadable,  // the input could not be read
    Refused,     // not read at all: the caller's policy does not allow it
    Unwritable,  // the output could not be written
    OutOfMemory, // beyond the memory budget or what can be allocated
};

// A failure as a value: its kind and the sentence the user reads.
struct TFailure {
    TFailureKind Kind = TFailureKind::None;
    QString Text;

    bool Failed() const { return Kind != TFailureKind::None; }
};
