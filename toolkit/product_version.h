#pragma once

#include <QString>
#include <cstdint>

// A version packed into 32 bits: major in the top byte, then minor, release
// and build in the lowest byte.
constexpr std::uint32_t PackVersion(std::uint8_t Major, std::uint8_t Minor, std::uint8_t Release,
                                    std::uint8_t Build)
{
    return (std::uint32_t(Major) << 24) | (std::uint32_t(Minor) << 16) | (std::uint32_t(Release) << 8) |
           Build;
}

// The four bytes of a packed version from the top one down, in decimal,
// joined by ".".
QString PackedVersionText(std::uint32_t Number);

// The program's version as the build declares it, with build number 0.
std::uint32_t ProductVersionNumber();
