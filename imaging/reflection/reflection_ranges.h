#pragma once

#include "imaging/reflection/reflection_parameters.h"

#include <array>

// The values each of a reflection's settings accepts, in one table that the
// controls' setters and the command line read. A new setting is one more row
// here (and its field in TReflectionParameters): the command line then offers
// it as an option, checks it and lists it in its usage, and both controls
// take, refuse and store it by the same row (controls/reflection_values.h).

// Opacities are bytes. The size and offset are bounded so that a composed
// height cannot overflow.
inline constexpr int MaxReflectionOpacity = 255;
inline constexpr int MaxReflectionSize = 1'000'000;
inline constexpr int MaxReflectionAxis = 1'000'000;

// What a changed value asks of whatever shows the reflection.
struct TReflectionChange {
    bool Rebuild = false; // the reflection's pixels differ
    bool Move = false;    // the reflection lies elsewhere, its pixels the same
    bool Resize = false;  // the object and its reflection take another height
    constexpr bool Any() const { return Rebuild || Move || Resize; }
    friend bool operator==(const TReflectionChange&, const TReflectionChange&) = default;
};

// How the controls' setters take a value on one side of a row's range: the
// command line refuses every value outside it, but a control is also fed by
// layouts written elsewhere and by programs of its users.
enum class TOutsideRange {
    Refused, // the setter ignores it, as it ignores an unchanged value
    Clamped, // the nearest bound is taken instead
    Stored,  // taken as it is
};

struct TReflectionValueInfo {
    int TReflectionParameters::*Value;
    int Low, High;          // accepted values, both included
    const char* OptionName; // the command line's name for it ("size" for --size)
    const char* ValueName;  // its value in the usage text ("N")
    // The usage text's line, without the default: "{low}" and "{high}" stand
    // for the bounds, "{object}" for what is reflected ("picture", "text");
    // a '\n' starts a line, which the usage text indents.
    const char* Help;
    TReflectionChange Needs;              // what an accepted change asks of a control
    TOutsideRange BelowRange, AboveRange; // how the controls' setters take it
};

inline constexpr std::array<TReflectionValueInfo, 6> ReflectionValues{{
    // The controls' own users (the window's slider, a stored layout) stay
    // far below the command line's bound, so a control stores any larger
    // size. Below the range each control decides (TReflectionValues).
    {&TReflectionParameters::Size,
     0,
     MaxReflectionSize,
     "size",
     "N",
     "reflection size in rows, {low} or more",
     {.Rebuild = true, .Resize = true},
     TOutsideRange::Refused,
     TOutsideRange::Stored},
    {&TReflectionParameters::OpacityStart,
     0,
     MaxReflectionOpacity,
     "start",
     "S",
     "opacity where the reflection starts, {low}..{high}",
     {.Rebuild = true},
     TOutsideRange::Refused,
     TOutsideRange::Refused},
    {&TReflectionParameters::OpacityEnd,
     0,
     MaxReflectionOpacity,
     "end",
     "E",
     "opacity where the reflection ends, {low}..{high}",
     {.Rebuild = true},
     TOutsideRange::Refused,
     TOutsideRange::Refused},
    // The reflection only lies elsewhere: its pixels and the control's
    // height stay.
    {&TReflectionParameters::Axis,
     -MaxReflectionAxis,
     MaxReflectionAxis,
     "axis",
     "A",
     "rows between the {object} and its reflection",
     {.Move = true},
     TOutsideRange::Stored,
     TOutsideRange::Stored},
    // The style (reflection_style.h); 0 and 100 leave the classic fade. A
    // layout from elsewhere may hold any number, so the controls clamp.
    {&TReflectionParameters::Blur,
     0,
     100,
     "blur",
     "R",
     "blur radius in pixels at the reflection's last row, growing\n"
     "from none at its first, {low}..{high}",
     {.Rebuild = true},
     TOutsideRange::Clamped,
     TOutsideRange::Clamped},
    {&TReflectionParameters::Scale,
     10,
     100,
     "scale",
     "P",
     "the mirror's height, {low}..{high} % of the {object}'s",
     {.Rebuild = true},
     TOutsideRange::Clamped,
     TOutsideRange::Clamped},
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
