#pragma once

#include <cctype>
#include <string>
#include <string_view>

// Pieces of parameterised test names. GoogleTest accepts only letters, digits
// and underscores, and its default names are indices whose printed values
// hold raw bytes (pointers included), so the list would change between runs.

// Free text as a name piece: every run of other characters becomes one '_'.
inline std::string TestNameFrom(std::string_view Text)
{
    std::string name;
    for (const char c : Text) {
        if (std::isalnum(static_cast<unsigned char>(c)))
            name += c;
        else if (!name.empty() && name.back() != '_')
            name += '_';
    }
    while (!name.empty() && name.back() == '_')
        name.pop_back();
    return name;
}

// A signed number as a name piece: "m5" for -5, since '-' is not allowed.
inline std::string TestNameOf(long long Number)
{
    return Number < 0 ? "m" + std::to_string(-Number) : std::to_string(Number);
}
