#include "imaging/codecs/gif_writer.h"

#include "imaging/codecs/flatten_over_white.h"

#include <QIODevice>
#include <QImage>
#include <cstdint>
#include <gif_lib.h>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace
{

int WriteToDevice(GifFileType* Gif, const GifByteType* Bytes, int Length)
{
    auto* device = static_cast<QIODevice*>(Gif->UserData);
    const qint64 written = device->write(reinterpret_cast<const char*>(Bytes), Length);
    return written < 0 ? 0 : int(written);
}

bool Fail(QString* Reason, const QString& Text)
{
    if (Reason)
        *Reason = Text;
    return false;
}

QString GifErrorText(int Error)
{
    const char* text = GifErrorString(Error);
    return text ? QString::fromLatin1(text) : QStringLiteral("GIF error %1").arg(Error);
}

// Closes the file on every path; giflib frees it even when closing fails.
struct TGifCloser {
    GifFileType* Gif = nullptr;
    ~TGifCloser()
    {
        if (Gif) {
            int error = 0;
            EGifCloseFile(Gif, &error);
        }
    }
};

// Fills Palette and Indices with the picture's own colours when it has at
// most 256 of them, so such pictures (text, flat graphics) stay exact.
bool ExactPalette(const QImage& Flat, std::vector<GifByteType>& Indices, GifColorType* Palette, int& Count)
{
    std::unordered_map<std::uint32_t, GifByteType> known;
    Count = 0;
    for (int y = 0; y < Flat.height(); ++y) {
        const uchar* line = Flat.constScanLine(y);
        const std::size_t base = std::size_t(y) * Flat.width();
        for (int x = 0; x < Flat.width(); ++x) {
            const std::uint32_t key =
                (std::uint32_t(line[3 * x]) << 16) | (std::uint32_t(line[3 * x + 1]) << 8) | line[3 * x + 2];
            auto found = known.find(key);
            if (found == known.end()) {
                if (Count == 256)
                    return false;
                Palette[Count] = GifColorType{line[3 * x], line[3 * x + 1], line[3 * x + 2]};
                found = known.emplace(key, GifByteType(Count++)).first;
            }
            Indices[base + x] = found->second;
        }
    }
    return true;
}

// The median-cut palette holds 5-bit colours scaled up (white comes out as
// 248); each entry becomes the true average of the pixels mapped to it.
void RefinePalette(const QImage& Flat, const std::vector<GifByteType>& Indices, GifColorType* Palette,
                   int Count)
{
    std::vector<std::uint64_t> sums(std::size_t(Count) * 3, 0), members(std::size_t(Count), 0);
    for (int y = 0; y < Flat.height(); ++y) {
        const uchar* line = Flat.constScanLine(y);
        const std::size_t base = std::size_t(y) * Flat.width();
        for (int x = 0; x < Flat.width(); ++x) {
            const std::size_t entry = Indices[base + x];
            if (entry >= std::size_t(Count))
                continue;
            sums[3 * entry] += line[3 * x];
            sums[3 * entry + 1] += line[3 * x + 1];
            sums[3 * entry + 2] += line[3 * x + 2];
            ++members[entry];
        }
    }
    for (int i = 0; i < Count; ++i) {
        const std::uint64_t n = members[std::size_t(i)];
        if (n == 0)
            continue;
        Palette[i].Red = GifByteType((sums[3 * std::size_t(i)] + n / 2) / n);
        Palette[i].Green = GifByteType((sums[3 * std::size_t(i) + 1] + n / 2) / n);
        Palette[i].Blue = GifByteType((sums[3 * std::size_t(i) + 2] + n / 2) / n);
    }
}

} // namespace

bool WriteGifImage(const QImage& Image, QIODevice* Device, QString* Reason)
{
    if (Image.isNull())
        return Fail(Reason, QStringLiteral("no image"));
    if (!Device || !Device->isWritable())
        return Fail(Reason, QStringLiteral("the target is not writable"));
    if (Image.width() > 0xFFFF || Image.height() > 0xFFFF)
        return Fail(
            Reason,
            QStringLiteral("image too large for GIF: %1 × %2").arg(Image.width()).arg(Image.height()));

    // 1. What the user saw: the picture over white, as 8-bit channels.
    const QImage flat = FlattenOverWhite(Image).convertToFormat(QImage::Format_RGB888);
    if (flat.isNull())
        return Fail(Reason, QStringLiteral("out of memory flattening the image"));
    const int width = flat.width();
    const int height = flat.height();
    const std::size_t count = std::size_t(width) * std::size_t(height);

    // 2. At most 256 colours: the exact ones when the picture has no more,
    //    otherwise a median-cut palette.
    std::vector<GifByteType> indices(count);
    GifColorType palette[256] = {};
    int colourCount = 0;
    if (!ExactPalette(flat, indices, palette, colourCount)) {
        std::vector<GifByteType> red(count), green(count), blue(count);
        for (int y = 0; y < height; ++y) {
            const uchar* line = flat.constScanLine(y);
            const std::size_t base = std::size_t(y) * width;
            for (int x = 0; x < width; ++x) {
                red[base + x] = line[3 * x];
                green[base + x] = line[3 * x + 1];
                blue[base + x] = line[3 * x + 2];
            }
        }
        colourCount = 256;
        // giflib's quantiser sorts through a file-level variable, so two
        // workers quantising at once corrupt each other's palettes.
        static std::mutex quantiserLock;
        const std::lock_guard<std::mutex> hold(quantiserLock);
        if (GifQuantizeBuffer(unsigned(width), unsigned(height), &colourCount, red.data(), green.data(),
                              blue.data(), indices.data(), palette) == GIF_ERROR)
            return Fail(Reason, QStringLiteral("could not reduce the image to 256 colours"));
        RefinePalette(flat, indices, palette, colourCount);
    }

    // A colour table's size is a power of two; unused entries stay black.
    int tableSize = 2;
    while (tableSize < colourCount)
        tableSize *= 2;
    ColorMapObject* colourMap = GifMakeMapObject(tableSize, palette);
    if (!colourMap)
        return Fail(Reason, QStringLiteral("out of memory for the colour table"));

    // 3. Write the GIF89a stream.
    int error = 0;
    TGifCloser file{EGifOpen(Device, WriteToDevice, &error)};
    if (!file.Gif) {
        GifFreeMapObject(colourMap);
        return Fail(Reason, GifErrorText(error));
    }
    EGifSetGifVersion(file.Gif, true);
    const int screenStatus =
        EGifPutScreenDesc(file.Gif, width, height, colourMap->BitsPerPixel, 0, colourMap);
    GifFreeMapObject(colourMap); // the file keeps its own copy
    if (screenStatus == GIF_ERROR)
        return Fail(Reason, GifErrorText(file.Gif->Error));
    if (EGifPutImageDesc(file.Gif, 0, 0, width, height, false, nullptr) == GIF_ERROR)
        return Fail(Reason, GifErrorText(file.Gif->Error));
    for (int y = 0; y < height; ++y)
        if (EGifPutLine(file.Gif, indices.data() + std::size_t(y) * width, width) == GIF_ERROR)
            return Fail(Reason, GifErrorText(file.Gif->Error));

    GifFileType* gif = file.Gif;
    file.Gif = nullptr;
    if (EGifCloseFile(gif, &error) == GIF_ERROR)
        return Fail(Reason, GifErrorText(error));
    return true;
}
