// Any bytes through the decoder and its damage checks: never a crash, a leak
// or undefined behaviour, and a damaged verdict never comes with a clean image.
#include "fuzz_support.h"
#include "imaging/codecs/damage_checks.h"
#include "imaging/codecs/image_decoding.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    StartFuzzApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(Data), qsizetype(Size));
    for (const char* format : {"png", "gif", "bmp"})
        FindDamage(bytes, format);
    TDecodeOptions options;
    options.KeepDamaged = Size > 0 && (Data[Size - 1] & 1);
    const TDecodedImage decoded = DecodeImage(bytes, options);
    if (decoded.Status == TGpStatus::Ok && decoded.Image.isNull())
        std::abort();
    if (decoded.Damaged && decoded.Status == TGpStatus::Ok && !options.KeepDamaged)
        std::abort();
    return 0;
}
