#include "imaging/reflection/reflection_style.h"

#include "imaging/parallel_work.h"
#include "imaging/reflection/reflection_fade.h"
#include "imaging/reflection/reflection_ranges.h"

#include <algorithm>
#include <array>
#include <new>
#include <vector>

namespace
{
__extension__ using TWide = unsigned __int128;

// Premultiplied channels are kept in units of 1/65025: colour * alpha, and
// alpha * 255, so a picture's own bytes are held exactly.
constexpr std::uint32_t FullScale = 255 * 255;
constexpr int Channels = 4; // blue, green, red, alpha: the bytes of an ARGB32 pixel in memory
// A box's half-width is kept in 1/64 of a pixel, so the blur grows smoothly
// from row to row instead of in whole-pixel steps.
constexpr int WidthSteps = 64;
// Columns of one vertical strip: its prefix sums stay in the cache.
constexpr int StripColumns = 32;

int StyleBlur(const TReflectionParameters& Parameters)
{
    return ClampedToRange(ReflectionValueInfo(&TReflectionParameters::Blur), Parameters.Blur);
}

int StyleScale(const TReflectionParameters& Parameters)
{
    return ClampedToRange(ReflectionValueInfo(&TReflectionParameters::Scale), Parameters.Scale);
}

// Division by a divisor fixed for many numerators, by one multiplication
// that vectorises: with 2^(l-1) < D <= 2^l and M = ceil(2^(30+l) / D),
// floor(N / D) equals floor(N * M / 2^(30+l)) for every N below 2^30
// (Granlund and Montgomery); M fits in 32 bits.
struct TDivisor {
    std::uint32_t Multiplier = 1u << 30;
    int Shift = 30;

    TDivisor() = default;
    explicit TDivisor(std::uint32_t Divisor)
    {
        int bits = 0;
        while ((std::uint64_t(1) << bits) < Divisor)
            ++bits;
        Shift = 30 + bits;
        Multiplier = std::uint32_t(((std::uint64_t(1) << Shift) + Divisor - 1) / Divisor);
    }
    std::uint32_t Divide(std::uint32_t Numerator) const
    {
        return std::uint32_t((std::uint64_t(Numerator) * Multiplier) >> Shift);
    }
};

// The same for numerators of up to 48 bits (the squash of a tall picture).
class TWideDivisor
{
  public:
    explicit TWideDivisor(std::uint64_t Divisor)
    {
        int bits = 0;
        while ((std::uint64_t(1) << bits) < Divisor)
            ++bits;
        FShift = 48 + bits;
        FMultiplier = ((TWide(1) << FShift) + Divisor - 1) / Divisor;
    }
    std::uint64_t Divide(std::uint64_t Numerator) const
    {
        return std::uint64_t((TWide(Numerator) * FMultiplier) >> FShift);
    }

  private:
    TWide FMultiplier;
    int FShift;
};

// One extended box of a row: weight 64 for the samples within Half of the
// centre, Fraction (0..63) for the two just beyond, normalised to one.
// Numerators stay below 2^30 for every half-width the blur range gives.
struct TBox {
    int Half = 0;
    std::uint32_t Fraction = 0;
    std::uint32_t Divisor = WidthSteps;
    TDivisor Division{WidthSteps};
    bool IsIdentity() const { return Half == 0 && Fraction == 0; }
};

// The box of squashed row Row of VisibleRows: half-width round(Blur * Row /
// (3 * (VisibleRows - 1))) in 1/64 pixel, rounded half up, so that three
// passes reach about the radius Blur * Row / (VisibleRows - 1).
TBox RowBox(int Blur, int Row, int VisibleRows)
{
    TBox box;
    if (Blur <= 0 || VisibleRows <= 1)
        return box;
    const long long denominator = 3LL * (VisibleRows - 1);
    const long long steps = (2LL * WidthSteps * Blur * Row + denominator) / (2 * denominator);
    box.Half = int(steps / WidthSteps);
    box.Fraction = std::uint32_t(steps % WidthSteps);
    box.Divisor = std::uint32_t(WidthSteps * (2 * box.Half + 1) + 2 * box.Fraction);
    box.Division = TDivisor(box.Divisor);
    return box;
}

// Rows (and columns) beyond a block that its blurred pixels depend on: each
// of three passes reaches one sample past the widest box.
int BlurMargin(int Blur, int VisibleRows)
{
    if (Blur <= 0 || VisibleRows <= 1)
        return 0;
    return 3 * (RowBox(Blur, VisibleRows - 1, VisibleRows).Half + 1);
}

// Samples beyond a line's ends that a box may read: the widest half-width,
// the fractional neighbour and one more for the running sums.
int LinePadding(int WidestHalf)
{
    return WidestHalf + 2;
}

// One box pass over Count values laid out one after another, each the
// centre of its own box: Prefix holds the running sums of the line padded
// with its end samples (Padding samples of Stride values each side, modulo
// 2^32: differences of up to a box's width stay exact). Written as one
// straight loop over the values so that it vectorises.
void BoxPass(const std::uint32_t* Prefix, std::ptrdiff_t Stride, int Padding, int Count, const TBox& Box,
             std::uint16_t* Out)
{
    // Offsets, from value i's own running sum, of the box's ends and of
    // the two fractional neighbours.
    const std::uint32_t* after = Prefix + (Padding + Box.Half + 1) * Stride; // sum up to centre + Half
    const std::uint32_t* before = Prefix + (Padding - Box.Half) * Stride;    // sum before centre - Half
    const std::uint32_t* farAfter = after + Stride;                          // ... + the next sample
    const std::uint32_t* farBefore = before - Stride;                        // ... less the previous one
    const std::uint32_t fraction = Box.Fraction;
    const std::uint32_t half = Box.Divisor / 2;
    const TDivisor division = Box.Division;
    for (std::ptrdiff_t i = 0; i < std::ptrdiff_t(Count) * Stride; ++i) {
        const std::uint32_t inner = after[i] - before[i];
        const std::uint32_t edges = (farAfter[i] - after[i]) + (before[i] - farBefore[i]);
        Out[i] = std::uint16_t(division.Divide(WidthSteps * inner + fraction * edges + half));
    }
}

// The rows being worked on: premultiplied samples of the squashed mirror,
// Width x Height pixels of four channels, for the picture columns from Left
// and the squashed rows from Top.
struct TWorkArea {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    std::vector<std::uint16_t> Samples;
    std::uint16_t* Row(int Index)
    {
        return Samples.data() + std::size_t(Index) * std::size_t(Width) * Channels;
    }
};

void Premultiply(const std::uint32_t* In, int Count, std::uint16_t* Out)
{
    for (int x = 0; x < Count; ++x) {
        const std::uint32_t pixel = In[x];
        const std::uint32_t alpha = pixel >> 24;
        Out[4 * x + 0] = std::uint16_t((pixel & 0xFF) * alpha);
        Out[4 * x + 1] = std::uint16_t(((pixel >> 8) & 0xFF) * alpha);
        Out[4 * x + 2] = std::uint16_t(((pixel >> 16) & 0xFF) * alpha);
        Out[4 * x + 3] = std::uint16_t(alpha * 255);
    }
}

// Squashed row Row, from the mirror rows it covers: in units of 1/Hs of a
// mirror row it spans [Row * H, (Row + 1) * H), mirror row m spans
// [m * Hs, (m + 1) * Hs), and each mirror row weighs what the two share.
template <class TSum, class TDivision>
void SquashRow(const TMirrorRowSource& Source, int Height, int Squashed, int Row, TWorkArea& Work,
               std::uint16_t* Out, std::vector<TSum>& Sums)
{
    const long long begin = static_cast<long long>(Row) * Height;
    const long long end = begin + Height;
    const int firstMirror = int(begin / Squashed);
    const int lastMirror = int((end - 1) / Squashed);
    if (firstMirror == lastMirror) {
        Premultiply(Source(firstMirror) + Work.Left, Work.Width, Out);
        return;
    }
    std::fill(Sums.begin(), Sums.end(), TSum(0));
    for (int m = firstMirror; m <= lastMirror; ++m) {
        const TSum weight = TSum(std::min<long long>((m + 1LL) * Squashed, end) -
                                 std::max<long long>(m * 1LL * Squashed, begin));
        const std::uint32_t* in = Source(m) + Work.Left;
        TSum* sum = Sums.data();
        for (int x = 0; x < Work.Width; ++x, sum += Channels) {
            const std::uint32_t pixel = in[x];
            const TSum weighted = weight * TSum(pixel >> 24);
            sum[0] += weighted * (pixel & 0xFF);
            sum[1] += weighted * ((pixel >> 8) & 0xFF);
            sum[2] += weighted * ((pixel >> 16) & 0xFF);
            sum[3] += weighted * 255;
        }
    }
    const TDivision division(Height);
    const TSum half = TSum(Height / 2);
    for (std::size_t i = 0; i < Sums.size(); ++i)
        Out[i] = std::uint16_t(division.Divide(Sums[i] + half));
}

void SquashRows(const TMirrorRowSource& Source, int Height, int Squashed, TWorkArea& Work, int Begin, int End)
{
    const std::size_t values = std::size_t(Work.Width) * Channels;
    // Sums of up to Height * 65025 fit in 32 bits, and in TDivisor's reach,
    // for pictures of up to 16 000 rows or so.
    if (static_cast<std::uint64_t>(Height) * (FullScale + 1) < (std::uint64_t(1) << 30)) {
        std::vector<std::uint32_t> sums(values);
        for (int y = Begin; y < End; ++y)
            SquashRow<std::uint32_t, TDivisor>(Source, Height, Squashed, Work.Top + y, Work, Work.Row(y),
                                               sums);
        return;
    }
    std::vector<std::uint64_t> sums(values);
    for (int y = Begin; y < End; ++y)
        SquashRow<std::uint64_t, TWideDivisor>(Source, Height, Squashed, Work.Top + y, Work, Work.Row(y),
                                               sums);
}

void BlurRowsAcross(TWorkArea& Work, const std::vector<TBox>& Boxes, int Begin, int End)
{
    int widest = 0;
    for (int y = Begin; y < End; ++y)
        widest = std::max(widest, Boxes[std::size_t(y)].Half);
    const int padding = LinePadding(widest);
    const int width = Work.Width;
    std::vector<std::uint32_t> prefix((std::size_t(width) + 2 * std::size_t(padding) + 1) * Channels);
    for (int y = Begin; y < End; ++y) {
        const TBox& box = Boxes[std::size_t(y)];
        if (box.IsIdentity())
            continue;
        std::uint16_t* row = Work.Row(y);
        for (int pass = 0; pass < 3; ++pass) {
            std::uint32_t* sum = prefix.data();
            std::fill(sum, sum + Channels, 0u);
            for (int j = 0; j < width + 2 * padding; ++j, sum += Channels) {
                const std::uint16_t* sample = row + std::clamp(j - padding, 0, width - 1) * Channels;
                for (int c = 0; c < Channels; ++c)
                    sum[Channels + c] = sum[c] + sample[c];
            }
            BoxPass(prefix.data(), Channels, padding, width, box, row);
        }
    }
}

void BlurColumnsDown(TWorkArea& Work, const std::vector<TBox>& Boxes, int FirstColumn, int EndColumn)
{
    int widest = 0;
    for (const TBox& box : Boxes)
        widest = std::max(widest, box.Half);
    const int padding = LinePadding(widest);
    const int height = Work.Height;
    const int values = (EndColumn - FirstColumn) * Channels;
    std::vector<std::uint32_t> prefix((std::size_t(height) + 2 * std::size_t(padding) + 1) *
                                      std::size_t(values));
    for (int pass = 0; pass < 3; ++pass) {
        std::uint32_t* sum = prefix.data();
        std::fill(sum, sum + values, 0u);
        for (int j = 0; j < height + 2 * padding; ++j, sum += values) {
            const std::uint16_t* row =
                Work.Row(std::clamp(j - padding, 0, height - 1)) + FirstColumn * Channels;
            for (int k = 0; k < values; ++k)
                sum[values + k] = sum[k] + row[k];
        }
        for (int y = 0; y < height; ++y) {
            const TBox& box = Boxes[std::size_t(y)];
            if (!box.IsIdentity())
                BoxPass(prefix.data() + std::size_t(y) * std::size_t(values), values, padding, 1, box,
                        Work.Row(y) + FirstColumn * Channels);
        }
    }
}

// Division by 2a for every premultiplied alpha a, made once.
const std::vector<TDivisor>& DoubledAlphaDivisors()
{
    static const std::vector<TDivisor> divisors = [] {
        std::vector<TDivisor> table(FullScale + 1);
        for (std::uint32_t alpha = 1; alpha <= FullScale; ++alpha)
            table[alpha] = TDivisor(2 * alpha);
        return table;
    }();
    return divisors;
}

// Back to straight colour, rounded to nearest, then the classic fade of the
// row: a pixel whose alpha rounds to 0 is transparent black, as the fade
// leaves fully transparent source pixels.
void FinishRow(const std::uint16_t* In, int Count, const std::array<std::uint8_t, 256>& Fade,
               std::uint32_t* Out)
{
    const std::vector<TDivisor>& divisors = DoubledAlphaDivisors();
    for (int x = 0; x < Count; ++x) {
        const std::uint16_t* sample = In + std::size_t(x) * Channels;
        const std::uint32_t alpha = sample[3];
        const std::uint32_t straight = (alpha + 127) / 255;
        if (straight == 0) {
            Out[x] = 0;
            continue;
        }
        const TDivisor division = divisors[alpha];
        const auto channel = [&](int c) {
            return std::min<std::uint32_t>(255, division.Divide(510 * std::uint32_t(sample[c]) + alpha));
        };
        Out[x] = (std::uint32_t(Fade[straight]) << 24) | (channel(2) << 16) | (channel(1) << 8) | channel(0);
    }
}
} // namespace

bool HasReflectionStyle(const TReflectionParameters& Parameters)
{
    return StyleBlur(Parameters) != 0 || StyleScale(Parameters) != 100;
}

int SquashedMirrorHeight(int PictureHeight, const TReflectionParameters& Parameters)
{
    if (PictureHeight <= 0)
        return 0;
    const long long scaled = (static_cast<long long>(PictureHeight) * StyleScale(Parameters) + 50) / 100;
    return int(std::max<long long>(1, scaled));
}

int VisibleReflectionRows(int PictureHeight, const TReflectionParameters& Parameters)
{
    return std::clamp(Parameters.Size, 0, SquashedMirrorHeight(PictureHeight, Parameters));
}

TLineSpan MirrorRowsNeeded(int PictureHeight, const TReflectionParameters& Parameters, TLineSpan Rows)
{
    const int visible = VisibleReflectionRows(PictureHeight, Parameters);
    const int margin = BlurMargin(StyleBlur(Parameters), visible);
    const int first = std::max(0, Rows.Begin - margin);
    const int end = std::min({visible, Rows.End + margin});
    if (Rows.IsEmpty() || std::max(Rows.Begin, 0) >= visible || end <= first)
        return {};
    const int squashed = SquashedMirrorHeight(PictureHeight, Parameters);
    const long long height = PictureHeight;
    return {int(first * height / squashed), int((end * height - 1) / squashed) + 1};
}

namespace
{
QImage StyledReflectionOrThrow(const TMirrorRowSource& Source, QSize Picture,
                               const TReflectionParameters& Parameters, const QRect& Area)
{
    const int height = Picture.height();
    const int squashed = SquashedMirrorHeight(height, Parameters);
    const QRect area = Area.intersected(QRect(0, 0, Picture.width(), squashed));
    if (area.isEmpty())
        return {};
    QImage out(area.size(), QImage::Format_ARGB32);
    if (out.isNull())
        return {};
    out.fill(0);
    const int visible = VisibleReflectionRows(height, Parameters);
    const int lastRow = std::min(area.bottom() + 1, visible);
    if (area.top() >= lastRow)
        return out;

    const int blur = StyleBlur(Parameters);
    const int margin = BlurMargin(blur, visible);
    TWorkArea work;
    work.Left = std::max(0, area.left() - margin);
    work.Top = std::max(0, area.top() - margin);
    work.Width = std::min(Picture.width(), area.right() + 1 + margin) - work.Left;
    work.Height = std::min(visible, lastRow + margin) - work.Top;
    work.Samples.resize(std::size_t(work.Width) * std::size_t(work.Height) * Channels);

    const TParallelWork parallel;
    parallel.ForEachBand(work.Height, static_cast<long long>(work.Width) * std::max(1, height / squashed),
                         [&](int Begin, int End) { SquashRows(Source, height, squashed, work, Begin, End); });
    if (margin > 0) {
        std::vector<TBox> boxes(std::size_t(work.Height));
        for (int y = 0; y < work.Height; ++y)
            boxes[std::size_t(y)] = RowBox(blur, work.Top + y, visible);
        parallel.ForEachBand(work.Height, work.Width * 8LL,
                             [&](int Begin, int End) { BlurRowsAcross(work, boxes, Begin, End); });
        const int strips = (work.Width + StripColumns - 1) / StripColumns;
        parallel.ForEachBand(strips, static_cast<long long>(work.Height) * StripColumns * 8,
                             [&](int Begin, int End) {
                                 for (int strip = Begin; strip < End; ++strip)
                                     BlurColumnsDown(work, boxes, strip * StripColumns,
                                                     std::min(work.Width, (strip + 1) * StripColumns));
                             });
    }
    parallel.ForEachBand(lastRow - area.top(), area.width(), [&](int Begin, int End) {
        // Neighbouring rows mostly share their opacity: its table is made once.
        int opacity = -1;
        std::array<std::uint8_t, 256> fade{};
        for (int y = Begin; y < End; ++y) {
            const int row = area.top() + y;
            if (const int rowOpacity = ReflectionRowOpacity(row, Parameters); rowOpacity != opacity) {
                opacity = rowOpacity;
                fade = ScaledAlphaTable(opacity);
            }
            FinishRow(work.Row(row - work.Top) + std::size_t(area.left() - work.Left) * Channels,
                      area.width(), fade, reinterpret_cast<std::uint32_t*>(out.scanLine(y)));
        }
    });
    return out;
}

} // namespace

QImage BuildStyledReflection(const TMirrorRowSource& Source, QSize Picture,
                             const TReflectionParameters& Parameters, const QRect& Area)
{
    // The working rows take twice the reflection's own memory; without it
    // the caller reports what the memory would not hold.
    try {
        return StyledReflectionOrThrow(Source, Picture, Parameters, Area);
    } catch (const std::bad_alloc&) {
        return {};
    }
}

QImage BuildStyledReflection(const QImage& Picture, const TReflectionParameters& Parameters,
                             const QRect& Area)
{
    if (Picture.isNull())
        return {};
    const int height = Picture.height();
    // RGB32 is ARGB32 with every alpha at 255. Any other format has only the
    // rows in need converted: a block of a large picture costs no full copy.
    const bool direct = Picture.format() == QImage::Format_ARGB32 || Picture.format() == QImage::Format_RGB32;
    int bandTop = 0;
    QImage band = Picture;
    if (!direct) {
        const TLineSpan mirror = MirrorRowsNeeded(height, Parameters, {Area.top(), Area.bottom() + 1});
        if (!mirror.IsEmpty()) {
            bandTop = height - mirror.End;
            band = Picture.copy(0, bandTop, Picture.width(), mirror.End - mirror.Begin)
                       .convertToFormat(QImage::Format_ARGB32);
            if (band.isNull())
                return {};
        }
    }
    return BuildStyledReflection(
        [&band, height, bandTop](int MirrorRow) {
            return reinterpret_cast<const std::uint32_t*>(
                band.constScanLine(height - 1 - MirrorRow - bandTop));
        },
        Picture.size(), Parameters, Area);
}
