#pragma once

#include <stdexcept>
#include <string>

// Raised for every fault in a stored window layout (binary or text form) and for
// a component tree that cannot be written; the message names where it happened
// (byte offset or line) and what was expected there.
class ELayoutError : public std::runtime_error
{
  public:
    explicit ELayoutError(const std::string& Message) : std::runtime_error(Message) {}
};
