#include "toolkit/product_version.h"

// The build passes the project's version in; each part must fit its byte.
static_assert(LUMIVEX_VERSION_MAJOR >= 0 && LUMIVEX_VERSION_MAJOR <= 255);
static_assert(LUMIVEX_VERSION_MINOR >= 0 && LUMIVEX_VERSION_MINOR <= 255);
static_assert(LUMIVEX_VERSION_PATCH >= 0 && LUMIVEX_VERSION_PATCH <= 255);

QString PackedVersionText(std::uint32_t Number)
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg(Number >> 24)
        .arg((Number >> 16) & 0xFF)
        .arg((Number >> 8) & 0xFF)
        .arg(Number & 0xFF);
}

std::uint32_t ProductVersionNumber()
{
    return PackVersion(LUMIVEX_VERSION_MAJOR, LUMIVEX_VERSION_MINOR, LUMIVEX_VERSION_PATCH, 0);
}
