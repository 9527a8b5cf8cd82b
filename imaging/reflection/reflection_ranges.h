#pragma once

#include "imaging/reflection/reflection_parameters.h"

#include <array>

// The values each of a reflection's settings accepts, in one table that the
// controls' setters and the command line read. A new setting is one more row
// here (and its field in TReflectionParameters): the command line then offers
// it as an option, checks it and lists it in its usage.

// Opacities are bytes. The size and offset are bounded so that a composed
// height cannot overflow.
inline constexpr int MaxReflectionOpacity = 255;
inline constexpr int MaxReflectionSize = 1'000'000;
inline constexpr int MaxReflectionAxis = 1'000'000;

struct TReflectionValueInfo {
    int TReflectionParameters::*Value;
    int Low, High;          // accepted values, both included
    const char* OptionName; // the command line's name for it ("size" for --size)
    const char* ValueName;  // its value in the usage text ("N")
    // The usage text's line, without the default: "{low}" and "{high}" stand
    // for the bounds, "{object}" for what is reflected ("picture", "text").
    const char* Help;
};

inline constexpr std::array<TReflectionValueInfo, 6> ReflectionValues{{
    {&TReflectionParameters::Size, 0, MaxReflectionSize, "size", "N",
     "reflection size in rows, {low} or more"},
    {&TReflectionParameters::OpacityStart, 0, MaxReflectionOpacity, "start", "S",
     "opacity where the reflection starts, {low}..{high}"},
    {&TReflectionParameters::OpacityEnd, 0, MaxReflectionOpacity, "end", "E",
     "opacity where the reflection ends, {low}..{high}"},
    {&TReflectionParameters::Axis, -MaxReflectionAxis, MaxReflectionAxis, "axis", "A",
     "rows between the {object} and its reflection"},
    // The style (reflection_style.h); 0 and 100 leave the classic fade.
    {&TReflectionParameters::Blur, 0, 100, "blur", "R",
     "blur radius in pixels at the reflection's last row, growing\n"
     "                         from none at its first, {low}..{high}"},
    {&TReflectionParameters::Scale, 10, 100, "scale", "P",
     "the mirror's height, {low}..{high} % of the {object}'s"},
}};

constexpr bool IsInRange(const TReflectionValueInfo& Info, int Value)
{
    return Value >= Info.Low && Value <= Info.High;
}

// Value brought into Info's range, as the controls take a stored layout's
// style values.
constexpr int ClampedToRange(const TReflectionValueInfo& Info, int Value)
{
    return Value < Info.Low ? Info.Low : Value > Info.High ? Info.High : Value;
}

// The row of Value (&TReflectionParameters::OpacityStart, ...).
constexpr const TReflectionValueInfo& ReflectionValueInfo(int TReflectionParameters::*Value)
{
    for (const TReflectionValueInfo& info : ReflectionValues)
        if (info.Value == Value)
            return info;
    return ReflectionValues.front();
}

// Whether Value may be stored as an opacity (start or end).
constexpr bool IsOpacity(int Value)
{
    return IsInRange(ReflectionValueInfo(&TReflectionParameters::OpacityStart), Value);
}

// The controls store any size from the table's lowest on: their own users
// (the window's slider, a stored layout) stay far below the command line's
// bound.
constexpr bool IsStorableReflectionSize(int Value)
{
    return Value >= ReflectionValueInfo(&TReflectionParameters::Size).Low;
}
