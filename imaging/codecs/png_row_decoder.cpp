#include "imaging/codecs/png_row_decoder.h"

#include "imaging/codecs/png_unfilter.h"
#include "imaging/codecs/zlib_inflater.h"
#include "imaging/rgba_rows.h"

#include <algorithm>

namespace
{
inline std::uint32_t Argb(std::uint32_t A, std::uint32_t R, std::uint32_t G, std::uint32_t B)
{
    return (A << 24) | (R << 16) | (G << 8) | B;
}
} // namespace

TPngRowDecoder::TPngRowDecoder(const QByteArray& Data) : FData(Data)
{
    bool unreadable = false;
    if (!ScanPngLayout(FData, FLayout, &unreadable).isEmpty() || FLayout.Interlaced ||
        FLayout.HasUnusualChunk)
        return;
    const int depth = FLayout.BitDepth;
    const int colourType = FLayout.ColourType;
    const QByteArray& trns = FLayout.Transparency;
    // The whole-picture decoder rounds 16-bit samples and keys low-depth
    // greys its own way.
    if (depth == 16 || (colourType == 0 && depth < 8 && !trns.isEmpty()))
        return;
    if (colourType == 3) {
        const int entries = int(FLayout.Palette.size() / 3);
        if (FLayout.Palette.isEmpty() || FLayout.Palette.size() % 3 != 0 || entries > 256 ||
            trns.size() > entries)
            return;
        FColours.resize(std::size_t(entries));
        for (int i = 0; i < entries; ++i) {
            const auto* rgb = reinterpret_cast<const std::uint8_t*>(FLayout.Palette.constData()) + 3 * i;
            const std::uint32_t alpha = i < trns.size() ? std::uint8_t(trns[i]) : 255u;
            FColours[std::size_t(i)] = Argb(alpha, rgb[0], rgb[1], rgb[2]);
        }
    } else if (!trns.isEmpty()) {
        const int keys = colourType == 0 ? 1 : colourType == 2 ? 3 : 0;
        if (keys == 0 || trns.size() != 2 * keys)
            return;
        for (int i = 0; i < keys; ++i)
            FKeyed[i] = (std::uint8_t(trns[2 * i]) << 8) | std::uint8_t(trns[2 * i + 1]);
    }
    if (colourType == 0 && depth < 8) {
        const int levels = 1 << depth;
        FColours.resize(std::size_t(levels));
        for (int v = 0; v < levels; ++v) {
            const std::uint32_t grey = std::uint32_t(v * 255 / (levels - 1));
            FColours[std::size_t(v)] = Argb(v == FKeyed[0] ? 0 : 255, grey, grey, grey);
        }
    }

    FInflate = std::make_unique<TZlibInflater>();
    if (!FInflate->Ready())
        return;
    FRowBytes = std::size_t(PngRowBytes(FLayout));
    FBpp = PngFilterBytesPerPixel(FLayout);
    FCurrent.assign(FRowBytes + 1, 0);
    FAbove.assign(FRowBytes + 1, 0);
    FStreamable = true;
}

TPngRowDecoder::~TPngRowDecoder() = default;

bool TPngRowDecoder::MayHaveAlpha() const
{
    if (FLayout.ColourType == 4 || FLayout.ColourType == 6)
        return true;
    if (FLayout.ColourType == 3)
        return std::any_of(FColours.begin(), FColours.end(),
                           [](std::uint32_t c) { return (c >> 24) != 255; });
    return !FLayout.Transparency.isEmpty();
}

bool TPngRowDecoder::GiveNextPiece()
{
    if (FPiece >= FLayout.ImageData.size())
        return false;
    const TPngLayout::TPiece& piece = FLayout.ImageData[FPiece++];
    FInflate->Give(reinterpret_cast<const std::uint8_t*>(FData.constData() + piece.Offset), piece.Size);
    return true;
}

bool TPngRowDecoder::Inflate(std::uint8_t* Out, std::size_t Size)
{
    while (Size > 0) {
        if (FInflate->Ended())
            return false; // the stream ends before the picture does
        if (FInflate->Unused() == 0 && GiveNextPiece())
            continue;
        // The inflater may still hold bytes it took; a call that neither
        // writes nor takes a byte means the data is cut short.
        const std::size_t unused = FInflate->Unused();
        const std::ptrdiff_t written = FInflate->Inflate(Out, Size);
        if (written < 0 || (written == 0 && FInflate->Unused() == unused && !FInflate->Ended()))
            return false;
        Out += written;
        Size -= std::size_t(written);
    }
    return true;
}

bool TPngRowDecoder::ReadRow(std::uint32_t* Out)
{
    if (!FStreamable || FRow >= Height())
        return false;
    if (!Inflate(FCurrent.data(), FCurrent.size()) ||
        !UnfilterPngRow(FCurrent.data(), FAbove.data() + 1, FRowBytes, FBpp) ||
        !ConvertRow(FCurrent.data() + 1, Out)) {
        Decline();
        return false;
    }
    FCurrent.swap(FAbove);
    ++FRow;
    return true;
}

bool TPngRowDecoder::Finish()
{
    if (!FStreamable || FRow != Height())
        return false;
    // Nothing may follow the rows but the stream's end and its checksum:
    // whatever else the whole-picture decoder makes of such a file, it
    // decides.
    std::uint8_t extra = 0;
    while (!FInflate->Ended()) {
        if (FInflate->Unused() == 0 && GiveNextPiece())
            continue;
        const std::size_t unused = FInflate->Unused();
        if (FInflate->Inflate(&extra, 1) != 0 || (FInflate->Unused() == unused && !FInflate->Ended()))
            break;
    }
    if (!FInflate->Ended() || FInflate->Unused() != 0 || FPiece != FLayout.ImageData.size())
        Decline();
    return FStreamable;
}

bool TPngRowDecoder::ConvertRow(const std::uint8_t* S, std::uint32_t* Out) const
{
    const int width = Width();
    const int depth = FLayout.BitDepth;
    switch (FLayout.ColourType) {
    case 6:
        RgbaBytesToArgbWords(S, Out, width);
        return true;
    case 2:
        for (int x = 0; x < width; ++x, S += 3) {
            const bool keyed = S[0] == FKeyed[0] && S[1] == FKeyed[1] && S[2] == FKeyed[2];
            Out[x] = Argb(keyed ? 0 : 255, S[0], S[1], S[2]);
        }
        return true;
    case 4:
        for (int x = 0; x < width; ++x, S += 2)
            Out[x] = Argb(S[1], S[0], S[0], S[0]);
        return true;
    case 0:
        if (depth == 8) {
            for (int x = 0; x < width; ++x)
                Out[x] = Argb(S[x] == FKeyed[0] ? 0 : 255, S[x], S[x], S[x]);
            return true;
        }
        [[fallthrough]];
    case 3: {
        // Indices packed from the high bits down; one the palette lacks is
        // left to the whole-picture decoder.
        const int perByte = 8 / depth;
        const unsigned mask = (1u << depth) - 1;
        for (int x = 0; x < width; ++x) {
            const int shift = 8 - depth * (x % perByte + 1);
            const unsigned index = (S[x / perByte] >> shift) & mask;
            if (index >= FColours.size())
                return false;
            Out[x] = FColours[index];
        }
        return true;
    }
    default:
        return false;
    }
}
