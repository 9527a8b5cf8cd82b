// The entry point of the loadable module lumivex_heif: the one symbol the
// libraries look up, giving the table of what the module does.
#include "imaging/codecs/heif/avif_encoding.h"
#include "imaging/codecs/heif/heif_reading.h"

namespace
{
constexpr LumivexHeifModule Module{
    LUMIVEX_HEIF_MODULE_VERSION,
    OpenHeifFile,
    CloseHeifFile,
    HeifFileError,
    HeifPrimarySize,
    DecodeHeifFile,
    HeifFilePixels,
    HeifFilePacket,
    CanEncodeAvif,
    EncodeAvif,
};
} // namespace

extern "C" __attribute__((visibility("default"))) const LumivexHeifModule* lumivex_heif_module(int Version)
{
    return Version == LUMIVEX_HEIF_MODULE_VERSION ? &Module : nullptr;
}
