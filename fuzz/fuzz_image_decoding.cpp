// Any bytes through the decoder and its damage checks: never a crash, a leak
// or undefined behaviour, and a damaged verdict never comes with a clean image.
// The streamed PNG reader must never take a file that the whole-picture
// decoder refuses, and must give its pixels when it takes one. An
// animation's frames, read as far as its structure counted them, all come at
// the canvas size it declares.
#include "fuzz_support.h"
#include "imaging/codecs/animation_decoding.h"
#include "imaging/codecs/damage_checks.h"
#include "imaging/codecs/image_decoding.h"
#include "imaging/codecs/png_row_decoder.h"

#include <QImage>

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

    const TAnimationFacts animation = ProbeAnimation(bytes);
    if (animation.Frames > 0 && animation.Pixels() <= (1 << 22)) {
        const std::unique_ptr<TFrameReader> frames = OpenFrames(bytes);
        TAnimationFrame frame;
        QString damage;
        int read = 0;
        // As the saving road reads them: no further than the frames counted.
        while (frames && read < animation.Frames && frames->Next(frame, damage)) {
            ++read;
            if (frame.Image.size() != animation.Canvas)
                std::abort();
        }
    }

    TPngRowDecoder rows(bytes);
    if (!rows.Streamable() || std::int64_t(rows.Width()) * rows.Height() > (1 << 22))
        return 0;
    QImage streamed(rows.Width(), rows.Height(), QImage::Format_ARGB32);
    for (int y = 0; y < rows.Height(); ++y)
        if (!rows.ReadRow(reinterpret_cast<std::uint32_t*>(streamed.scanLine(y))))
            return 0;
    if (!rows.Finish())
        return 0;
    const TDecodedImage strict = DecodeImage(bytes);
    if (strict.Status != TGpStatus::Ok || strict.Image != streamed)
        std::abort();
    return 0;
}
