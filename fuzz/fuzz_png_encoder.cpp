// Pictures made from the input, encoded by our PNG encoder with options taken
// from the input, decoded by libpng: every pixel must come back.
#include "fuzz_support.h"
#include "imaging/png/png_encoder.h"

#include <QImage>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <png.h>
#include <vector>

namespace
{
constexpr std::size_t OptionBytes = 4;

// The image as libpng decodes it, expanded to 8-bit RGBA rows.
bool DecodeWithLibpng(const QByteArray& File, int Width, int Height, std::vector<std::uint8_t>& Rgba)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, File.constData(), std::size_t(File.size())))
        return false;
    image.format = PNG_FORMAT_RGBA;
    if (int(image.width) != Width || int(image.height) != Height) {
        png_image_free(&image);
        return false;
    }
    Rgba.resize(PNG_IMAGE_SIZE(image));
    return png_image_finish_read(&image, nullptr, Rgba.data(), 0, nullptr) != 0;
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    StartFuzzApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    if (Size < OptionBytes + 4)
        return 0;
    TPngEncodeOptions options;
    options.Level = Data[0] % 13;
    options.Coding = TPngCoding(Data[1] % 3);
    options.Threads = 1 + Data[2] % 3;
    options.BandRows = Data[3] % 9;
    options.ForceAlpha = Data[0] & 0x80;
    const std::uint8_t* pixels = Data + OptionBytes;
    const std::size_t count = (Size - OptionBytes) / 4;
    const int width = 1 + int(pixels[0] % 64);
    // Few rows are enough to reach every band and filter path; tall strips of
    // one-row bands would only spend the time on compressor set-up.
    constexpr std::size_t MaxRows = 96;
    const int height = int(std::clamp<std::size_t>(count / std::size_t(width), 1, MaxRows));
    QImage picture(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::size_t at = (std::size_t(y) * std::size_t(width) + std::size_t(x)) % count;
            std::uint32_t value = 0;
            std::memcpy(&value, pixels + at * 4, 4);
            reinterpret_cast<std::uint32_t*>(picture.scanLine(y))[x] = value;
        }

    const QByteArray file = EncodePng(picture, options);
    if (file.isEmpty())
        std::abort();
    std::vector<std::uint8_t> rgba;
    if (!DecodeWithLibpng(file, width, height, rgba))
        std::abort();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const QRgb expected = picture.pixel(x, y);
            const std::uint8_t* got =
                rgba.data() + (std::size_t(y) * std::size_t(width) + std::size_t(x)) * 4;
            if (got[0] != qRed(expected) || got[1] != qGreen(expected) || got[2] != qBlue(expected) ||
                got[3] != qAlpha(expected))
                std::abort();
        }
    return 0;
}
