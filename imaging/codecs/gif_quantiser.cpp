#include "imaging/codecs/gif_quantiser.h"

#include <QImage>
#include <algorithm>
#include <limits>
#include <numeric>
#include <unordered_map>

namespace
{

using TColour = std::array<std::uint8_t, 3>;

// The passes' shares of the whole work, as the time they take on a photo:
// the exact colours' look, the histogram, the palette, the diffusion.
constexpr double ExactShare = 0.1, HistogramShare = 0.1, PaletteShare = 0.1;

// Progress told to the caller, remembered once it said stop.
class TSteps
{
  public:
    explicit TSteps(const TGifProgress& Progress) : FProgress(Progress) {}
    // Done of the whole; false once stopped.
    bool At(double Done)
    {
        if (!FStopped && FProgress && !FProgress(Done))
            FStopped = true;
        return !FStopped;
    }
    bool Stopped() const { return FStopped; }

  private:
    const TGifProgress& FProgress;
    bool FStopped = false;
};

// Pixel X of a Format_RGB32 row as red, green, blue: read where it lies, so
// that no 3-byte copy of a large picture is made.
TColour PixelAt(const uchar* Line, int X)
{
    const QRgb pixel = reinterpret_cast<const QRgb*>(Line)[X];
    return {std::uint8_t(qRed(pixel)), std::uint8_t(qGreen(pixel)), std::uint8_t(qBlue(pixel))};
}

// The histogram keeps 6 bits of each channel: fine enough for skies, small
// enough (262,144 cells) to cut and refine quickly at any picture size.
constexpr int HistogramBits = 6;
constexpr int CellsPerSide = 1 << HistogramBits;

// One occupied histogram cell: how many pixels fell in it and their sum.
struct TCell {
    double Weight = 0;
    double Sum[3] = {0, 0, 0};
    double Mean(int Channel) const { return Sum[Channel] / Weight; }
};

// A run of cells [Begin, End) of the median cut.
struct TBox {
    std::size_t Begin = 0;
    std::size_t End = 0;
    double Error = 0; // the weighted squared distance of its pixels to their mean
};

// The squared error of a set of pixels from their weight, sums and sums of squares.
double SquaredError(double Weight, const double* Sum, const double* Squares)
{
    if (Weight <= 0)
        return 0;
    double error = 0;
    for (int c = 0; c < 3; ++c)
        error += Squares[c] - Sum[c] * Sum[c] / Weight;
    return std::max(0.0, error);
}

double BoxError(const std::vector<TCell>& Cells, const TBox& Box)
{
    double weight = 0, sum[3] = {0, 0, 0}, squares[3] = {0, 0, 0};
    for (std::size_t i = Box.Begin; i < Box.End; ++i) {
        weight += Cells[i].Weight;
        for (int c = 0; c < 3; ++c) {
            sum[c] += Cells[i].Sum[c];
            squares[c] += Cells[i].Sum[c] * Cells[i].Mean(c);
        }
    }
    return SquaredError(weight, sum, squares);
}

// Splits Box where the two halves' error is least, along the channel whose
// split gains most; false when it holds a single cell.
bool SplitBox(std::vector<TCell>& Cells, const TBox& Box, TBox& Lower, TBox& Upper)
{
    const std::size_t count = Box.End - Box.Begin;
    if (count < 2)
        return false;
    double bestError = std::numeric_limits<double>::max();
    int bestChannel = -1;
    std::size_t bestAt = 0;
    std::vector<double> suffixError(count + 1);
    for (int channel = 0; channel < 3; ++channel) {
        std::stable_sort(
            Cells.begin() + std::ptrdiff_t(Box.Begin), Cells.begin() + std::ptrdiff_t(Box.End),
            [channel](const TCell& A, const TCell& B) { return A.Mean(channel) < B.Mean(channel); });
        // Errors of every suffix, then every prefix against it.
        double weight = 0, sum[3] = {0, 0, 0}, squares[3] = {0, 0, 0};
        for (std::size_t i = count; i-- > 0;) {
            const TCell& cell = Cells[Box.Begin + i];
            weight += cell.Weight;
            for (int c = 0; c < 3; ++c) {
                sum[c] += cell.Sum[c];
                squares[c] += cell.Sum[c] * cell.Mean(c);
            }
            suffixError[i] = SquaredError(weight, sum, squares);
        }
        weight = 0;
        std::fill(sum, sum + 3, 0.0);
        std::fill(squares, squares + 3, 0.0);
        for (std::size_t i = 0; i + 1 < count; ++i) {
            const TCell& cell = Cells[Box.Begin + i];
            weight += cell.Weight;
            for (int c = 0; c < 3; ++c) {
                sum[c] += cell.Sum[c];
                squares[c] += cell.Sum[c] * cell.Mean(c);
            }
            const double error = SquaredError(weight, sum, squares) + suffixError[i + 1];
            if (error < bestError) {
                bestError = error;
                bestChannel = channel;
                bestAt = i + 1;
            }
        }
    }
    std::stable_sort(
        Cells.begin() + std::ptrdiff_t(Box.Begin), Cells.begin() + std::ptrdiff_t(Box.End),
        [bestChannel](const TCell& A, const TCell& B) { return A.Mean(bestChannel) < B.Mean(bestChannel); });
    Lower = TBox{Box.Begin, Box.Begin + bestAt, 0};
    Upper = TBox{Box.Begin + bestAt, Box.End, 0};
    Lower.Error = BoxError(Cells, Lower);
    Upper.Error = BoxError(Cells, Upper);
    return true;
}

int Distance(const int* A, const TColour& B)
{
    const int r = A[0] - B[0], g = A[1] - B[1], b = A[2] - B[2];
    return r * r + g * g + b * b;
}

// The nearest palette entry to any colour, exactly: the entries sorted by
// green, searched outwards from the query's green until no closer one can
// follow. Ties go to the lower palette index, so the answer never depends
// on the order of the questions.
class TNearest
{
  public:
    explicit TNearest(const std::vector<TColour>& Palette) : FPalette(Palette), FOrder(Palette.size())
    {
        std::iota(FOrder.begin(), FOrder.end(), 0);
        std::stable_sort(FOrder.begin(), FOrder.end(), [&](int A, int B) {
            return Palette[std::size_t(A)][1] < Palette[std::size_t(B)][1];
        });
        for (int index : FOrder)
            FGreens.push_back(Palette[std::size_t(index)][1]);
    }

    int Find(const int* Colour) const
    {
        const std::size_t start =
            std::size_t(std::lower_bound(FGreens.begin(), FGreens.end(), Colour[1]) - FGreens.begin());
        int best = -1, bestDistance = std::numeric_limits<int>::max();
        const auto consider = [&](std::size_t At) {
            const int index = FOrder[At];
            const int distance = Distance(Colour, FPalette[std::size_t(index)]);
            if (distance < bestDistance || (distance == bestDistance && index < best)) {
                bestDistance = distance;
                best = index;
            }
        };
        std::size_t up = start, down = start;
        bool upOpen = true, downOpen = true;
        while (upOpen || downOpen) {
            if (upOpen) {
                if (up >= FOrder.size())
                    upOpen = false;
                else {
                    const int dg = FGreens[up] - Colour[1];
                    if (dg * dg > bestDistance)
                        upOpen = false;
                    else
                        consider(up++);
                }
            }
            if (downOpen) {
                if (down == 0)
                    downOpen = false;
                else {
                    const int dg = Colour[1] - FGreens[down - 1];
                    if (dg * dg > bestDistance)
                        downOpen = false;
                    else
                        consider(--down);
                }
            }
        }
        return best;
    }

  private:
    const std::vector<TColour>& FPalette;
    std::vector<int> FOrder;
    std::vector<int> FGreens;
};

std::vector<TColour> MedianCut(std::vector<TCell>& Cells, std::size_t Colours)
{
    std::vector<TBox> boxes{TBox{0, Cells.size(), 0}};
    boxes.front().Error = BoxError(Cells, boxes.front());
    while (boxes.size() < Colours) {
        // The box whose pixels are farthest from their colour is split next.
        const auto worst = std::max_element(boxes.begin(), boxes.end(),
                                            [](const TBox& A, const TBox& B) { return A.Error < B.Error; });
        if (worst->Error <= 0)
            break;
        TBox lower, upper;
        if (!SplitBox(Cells, *worst, lower, upper)) {
            worst->Error = 0;
            continue;
        }
        *worst = lower;
        boxes.push_back(upper);
    }
    std::vector<TColour> palette;
    for (const TBox& box : boxes) {
        double weight = 0, sum[3] = {0, 0, 0};
        for (std::size_t i = box.Begin; i < box.End; ++i) {
            weight += Cells[i].Weight;
            for (int c = 0; c < 3; ++c)
                sum[c] += Cells[i].Sum[c];
        }
        palette.push_back(TColour{std::uint8_t(sum[0] / weight + 0.5), std::uint8_t(sum[1] / weight + 0.5),
                                  std::uint8_t(sum[2] / weight + 0.5)});
    }
    return palette;
}

// Lloyd's rounds over the histogram cells: each entry moves to the mean of
// the pixels nearest to it.
void RefineByKMeans(const std::vector<TCell>& Cells, std::vector<TColour>& Palette, int Rounds, TSteps& Steps)
{
    for (int round = 0; round < Rounds; ++round) {
        if (!Steps.At(ExactShare + HistogramShare + PaletteShare * (0.5 + 0.5 * round / Rounds)))
            return;
        const TNearest nearest(Palette);
        std::vector<double> weight(Palette.size(), 0), sums(Palette.size() * 3, 0);
        for (const TCell& cell : Cells) {
            const int mean[3] = {int(cell.Mean(0) + 0.5), int(cell.Mean(1) + 0.5), int(cell.Mean(2) + 0.5)};
            const std::size_t entry = std::size_t(nearest.Find(mean));
            weight[entry] += cell.Weight;
            for (int c = 0; c < 3; ++c)
                sums[entry * 3 + std::size_t(c)] += cell.Sum[c];
        }
        bool moved = false;
        for (std::size_t i = 0; i < Palette.size(); ++i) {
            if (weight[i] <= 0)
                continue;
            TColour next;
            for (int c = 0; c < 3; ++c)
                next[std::size_t(c)] =
                    std::uint8_t(std::clamp(sums[i * 3 + std::size_t(c)] / weight[i] + 0.5, 0.0, 255.0));
            moved = moved || next != Palette[i];
            Palette[i] = next;
        }
        if (!moved)
            break;
    }
}

// False when the picture has more than 256 colours, or Steps stopped.
bool ExactColours(const QImage& Flat, TPalettePicture& Out, TSteps& Steps)
{
    std::unordered_map<std::uint32_t, std::uint8_t> known;
    for (int y = 0; y < Flat.height(); ++y) {
        if (!Steps.At(ExactShare * y / Flat.height()))
            return false;
        const uchar* line = Flat.constScanLine(y);
        for (int x = 0; x < Flat.width(); ++x) {
            const TColour p = PixelAt(line, x);
            const std::uint32_t key = (std::uint32_t(p[0]) << 16) | (std::uint32_t(p[1]) << 8) | p[2];
            auto found = known.find(key);
            if (found == known.end()) {
                if (Out.Palette.size() == 256)
                    return false;
                Out.Palette.push_back(p);
                found = known.emplace(key, std::uint8_t(Out.Palette.size() - 1)).first;
            }
            Out.Indices[std::size_t(y) * std::size_t(Flat.width()) + std::size_t(x)] = found->second;
        }
    }
    return true;
}

// The share of the error passed on, in sixteenths: a little less than all
// of it keeps the grain finer where the palette is close anyway.
constexpr int DiffusedSixteenths = 14;

// Floyd-Steinberg in serpentine order, errors kept in whole sixteenths.
void Diffuse(const QImage& Flat, const std::vector<TColour>& Palette, std::vector<std::uint8_t>& Indices,
             TSteps& Steps)
{
    constexpr double before = ExactShare + HistogramShare + PaletteShare;
    const int width = Flat.width();
    const TNearest nearest(Palette);
    // A small cache of exact answers; it only saves searching.
    constexpr std::size_t CacheSize = 1 << 16;
    std::vector<std::uint32_t> cacheKey(CacheSize, 0xFFFFFFFFu);
    std::vector<std::uint8_t> cacheIndex(CacheSize, 0);
    std::vector<int> current(std::size_t(width + 2) * 3, 0), next(std::size_t(width + 2) * 3, 0);
    for (int y = 0; y < Flat.height(); ++y) {
        if (!Steps.At(before + (1 - before) * y / Flat.height()))
            return;
        const uchar* line = Flat.constScanLine(y);
        const bool leftToRight = (y % 2) == 0;
        const int step = leftToRight ? 1 : -1;
        std::fill(next.begin(), next.end(), 0);
        for (int i = 0; i < width; ++i) {
            const int x = leftToRight ? i : width - 1 - i;
            int* error = &current[std::size_t(x + 1) * 3];
            const TColour pixel = PixelAt(line, x);
            int wanted[3];
            for (int c = 0; c < 3; ++c) {
                const int carried = error[c] >= 0 ? (error[c] + 8) / 16 : -((-error[c] + 8) / 16);
                wanted[c] = std::clamp(int(pixel[std::size_t(c)]) + carried, 0, 255);
            }
            const std::uint32_t key =
                (std::uint32_t(wanted[0]) << 16) | (std::uint32_t(wanted[1]) << 8) | std::uint32_t(wanted[2]);
            const std::size_t slot = (key * 2654435761u) >> 16 & (CacheSize - 1);
            if (cacheKey[slot] != key) {
                cacheKey[slot] = key;
                cacheIndex[slot] = std::uint8_t(nearest.Find(wanted));
            }
            const std::uint8_t index = cacheIndex[slot];
            Indices[std::size_t(y) * std::size_t(width) + std::size_t(x)] = index;
            for (int c = 0; c < 3; ++c) {
                const int residue = (wanted[c] - Palette[index][std::size_t(c)]) * DiffusedSixteenths;
                // 7/16 ahead, 3/16 behind below, 5/16 below, 1/16 ahead below.
                current[std::size_t(x + 1 + step) * 3 + std::size_t(c)] += residue * 7 / 16;
                next[std::size_t(x + 1 - step) * 3 + std::size_t(c)] += residue * 3 / 16;
                next[std::size_t(x + 1) * 3 + std::size_t(c)] += residue * 5 / 16;
                next[std::size_t(x + 1 + step) * 3 + std::size_t(c)] += residue / 16;
            }
        }
        std::swap(current, next);
    }
}

} // namespace

TPalettePicture QuantiseForGif(const QImage& Flat)
{
    return QuantiseForGif(Flat, TGifProgress());
}

TPalettePicture QuantiseForGif(const QImage& Flat, const TGifProgress& Progress)
{
    TPalettePicture out;
    TSteps steps(Progress);
    const std::size_t pixels = std::size_t(Flat.width()) * std::size_t(Flat.height());
    try {
        out.Indices.resize(pixels);
        if (ExactColours(Flat, out, steps))
            return out;
        if (steps.Stopped())
            return {};
        out.Palette.clear();

        std::vector<std::uint32_t> cellOf(std::size_t(CellsPerSide) * CellsPerSide * CellsPerSide, 0);
        std::vector<TCell> cells;
        constexpr int Shift = 8 - HistogramBits;
        for (int y = 0; y < Flat.height(); ++y) {
            if (!steps.At(ExactShare + HistogramShare * y / Flat.height()))
                return {};
            const uchar* line = Flat.constScanLine(y);
            for (int x = 0; x < Flat.width(); ++x) {
                const TColour p = PixelAt(line, x);
                const std::size_t key = (std::size_t(p[0] >> Shift) << (2 * HistogramBits)) |
                                        (std::size_t(p[1] >> Shift) << HistogramBits) |
                                        std::size_t(p[2] >> Shift);
                if (cellOf[key] == 0) {
                    cells.emplace_back();
                    cellOf[key] = std::uint32_t(cells.size());
                }
                TCell& cell = cells[cellOf[key] - 1];
                cell.Weight += 1;
                for (int c = 0; c < 3; ++c)
                    cell.Sum[c] += p[std::size_t(c)];
            }
        }
        if (!steps.At(ExactShare + HistogramShare))
            return {};
        out.Palette = MedianCut(cells, 256);
        RefineByKMeans(cells, out.Palette, 12, steps);
        Diffuse(Flat, out.Palette, out.Indices, steps);
    } catch (const std::bad_alloc&) {
        return {};
    }
    if (steps.Stopped())
        return {};
    return out;
}
