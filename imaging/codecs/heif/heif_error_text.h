#pragma once

#include <libheif/heif.h>
#include <string>

// A libheif error as the user reads it: its own message, or its code when
// it gives none.
inline std::string HeifErrorText(const heif_error& Error)
{
    return Error.message && *Error.message ? std::string(Error.message)
                                           : "libheif error " + std::to_string(int(Error.code));
}
