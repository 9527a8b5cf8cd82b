#pragma once

#include <cstdint>

// A colour with alpha in bits 24..31, then red, green and blue; never premultiplied.
using TArgb = std::uint32_t;

// The only pixel format bitmaps are created in: 32 bits per pixel, ARGB.
inline constexpr std::uint32_t PixelFormat32bppARGB = 0x0026200A;

// Rotate/flip types; the reflection only needs the vertical flip, value 6.
inline constexpr int RotateNoneFlipNone = 0;
inline constexpr int Rotate90FlipNone = 1;
inline constexpr int Rotate180FlipNone = 2;
inline constexpr int Rotate270FlipNone = 3;
inline constexpr int RotateNoneFlipX = 4;
inline constexpr int Rotate90FlipX = 5;
inline constexpr int Rotate180FlipX = 6;
inline constexpr int Rotate270FlipX = 7;
inline constexpr int RotateNoneFlipY = Rotate180FlipX;

constexpr TArgb MakeArgb(std::uint8_t A, std::uint8_t R, std::uint8_t G, std::uint8_t B)
{
    return (TArgb(A) << 24) | (TArgb(R) << 16) | (TArgb(G) << 8) | TArgb(B);
}

constexpr std::uint8_t ArgbAlpha(TArgb Color)
{
    return std::uint8_t(Color >> 24);
}
constexpr std::uint8_t ArgbRed(TArgb Color)
{
    return std::uint8_t(Color >> 16);
}
constexpr std::uint8_t ArgbGreen(TArgb Color)
{
    return std::uint8_t(Color >> 8);
}
constexpr std::uint8_t ArgbBlue(TArgb Color)
{
    return std::uint8_t(Color);
}
