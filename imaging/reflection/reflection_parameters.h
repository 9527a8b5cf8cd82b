#pragma once

#include <cstdint>

// The side of the picture the mirror lies on (reflection_direction.h
// defines each side from the one below).
enum class TReflectionDirection : std::uint8_t { Below, Above, Left, Right };

// The values of a fading mirror, as the reflection controls, the window and
// the command line pass them around. A set starts empty (no reflection) and
// unstyled; each user starts from one of the named sets below.
struct TReflectionParameters {
    int Size = 0;         // rows over which the opacity fades; rows from Size on are transparent
    int OpacityStart = 0; // opacity of reflection row 0 (the mirrored bottom row)
    int OpacityEnd = 0;   // opacity the fade approaches at row Size
    int Axis = 0;         // offset from the object's bottom edge to the reflection's top edge
    // The style (reflection_style.h): neutral values leave the classic fade.
    int Blur = 0;    // blur radius in pixels reached at the reflection's last row
    int Scale = 100; // the mirror's height in percent of the picture's
    // Every value above counts along the reflection's length: columns for
    // a mirror on the left or right.
    TReflectionDirection Direction = TReflectionDirection::Below;

    friend bool operator==(const TReflectionParameters&, const TReflectionParameters&) = default;
};

// The image control's defaults: the whole picture fading out, one row below it.
inline constexpr TReflectionParameters ImageReflectionDefaults{
    .Size = 100, .OpacityStart = 255, .OpacityEnd = 0, .Axis = 1};

// The label control's defaults: a short, half-strength fade pulled up under
// the text, whose cell ends below the baseline.
inline constexpr TReflectionParameters LabelReflectionDefaults{
    .Size = 20, .OpacityStart = 128, .OpacityEnd = 0, .Axis = -7};

// What the window starts with (its image control's stored values), and so
// what the command line uses when no value is given.
inline constexpr TReflectionParameters WindowStartReflection{
    .Size = 50, .OpacityStart = 120, .OpacityEnd = 1, .Axis = 1};
