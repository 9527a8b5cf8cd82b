#include "imaging/reflection/reflection_style.h"

#include "imaging/parallel_work.h"
#include "imaging/reflection/reflection_builder.h"

#include <algorithm>
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
    return std::clamp(Parameters.Blur, ReflectionBlurRange.Low, ReflectionBlurRange.High);
}

int StyleScale(const TReflectionParameters& Parameters)
{
    return std::clamp(Parameters.Scale, ReflectionScaleRange.Low, ReflectionScaleRange.High);
}

// Division by a divisor fixed for many numerators, by one multiplication:
// with 2^(l-1) < D <= 2^l and M = ceil(2^(48+l) / D), floor(N / D) equals
// floor(N * M / 2^(48+l)) for every N below 2^48 (Granlund and Montgomery).
class TExactDivisor
{
  public:
    TExactDivisor() = default;
    explicit TExactDivisor(std::uint64_t Divisor)
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
    TWide FMultiplier = 1;
    int FShift = 0;
};

// One extended box of a row: weight 64 for the samples within Half of the
// centre, Fraction (0..63) for the two just beyond, normalised to one.
struct TBox {
    int Half = 0;
    std::uint32_t Fraction = 0;
    std::uint32_t Divisor = WidthSteps;
    TExactDivisor Division{WidthSteps};
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
    box.Division = TExactDivisor(box.Divisor);
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

// The box at sample Index of a line of Count samples whose running sums
// Prefix holds (Prefix[k * Stride] is the sum of the first k samples,
// modulo 2^32: differences of up to a box's width stay exact). Samples
// beyond the line repeat its end samples.
std::uint32_t BoxAt(const std::uint32_t* Prefix, std::ptrdiff_t Stride, int Count, int Index, const TBox& Box)
{
    const auto sample = [&](int Sample) { return Prefix[(Sample + 1) * Stride] - Prefix[Sample * Stride]; };
    const int low = Index - Box.Half;
    const int high = Index + Box.Half;
    const int first = std::max(low, 0);
    const int last = std::min(high, Count - 1);
    std::uint32_t inner = Prefix[(last + 1) * Stride] - Prefix[first * Stride];
    if (low < first)
        inner += std::uint32_t(first - low) * sample(0);
    if (high > last)
        inner += std::uint32_t(high - last) * sample(Count - 1);
    const std::uint32_t edges =
        sample(std::clamp(low - 1, 0, Count - 1)) + sample(std::clamp(high + 1, 0, Count - 1));
    const std::uint64_t total = std::uint64_t(WidthSteps) * inner + Box.Fraction * edges + Box.Divisor / 2;
    return std::uint32_t(Box.Division.Divide(total));
}

// The rows being worked on: premultiplied samples of the squashed mirror,
// Width x Height pixels of four channels, for the picture columns from Left
// and the squashed rows from Top.
struct TWorkArea {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    std::vector<std::uint16_t> Samples;
    std::uint16_t* Row(int Index) { return Samples.data() + std::size_t(Index) * std::size_t(Width) * Channels; }
};

// Squashed row Row, from the mirror rows it covers: in units of 1/Hs of a
// mirror row it spans [Row * H, (Row + 1) * H), mirror row m spans
// [m * Hs, (m + 1) * Hs), and each mirror row weighs what the two share.
void SquashRow(const TMirrorRowSource& Source, int Height, int Squashed, int Row, TWorkArea& Work, int WorkRow,
               std::vector<std::uint64_t>& Sums)
{
    const long long begin = static_cast<long long>(Row) * Height;
    const long long end = begin + Height;
    const int firstMirror = int(begin / Squashed);
    const int lastMirror = int((end - 1) / Squashed);
    std::uint16_t* out = Work.Row(WorkRow);
    std::fill(Sums.begin(), Sums.end(), 0);
    for (int m = firstMirror; m <= lastMirror; ++m) {
        const std::uint64_t weight = std::uint64_t(std::min<long long>((m + 1LL) * Squashed, end) -
                                                   std::max<long long>(m * 1LL * Squashed, begin));
        const std::uint32_t* in = Source(m) + Work.Left;
        for (int x = 0; x < Work.Width; ++x) {
            const std::uint32_t pixel = in[x];
            const std::uint32_t alpha = pixel >> 24;
            std::uint64_t* sum = Sums.data() + std::size_t(x) * Channels;
            sum[0] += weight * ((pixel & 0xFF) * alpha);
            sum[1] += weight * (((pixel >> 8) & 0xFF) * alpha);
            sum[2] += weight * (((pixel >> 16) & 0xFF) * alpha);
            sum[3] += weight * (alpha * 255);
        }
    }
    const TExactDivisor division{std::uint64_t(Height)};
    for (std::size_t i = 0; i < Sums.size(); ++i)
        out[i] = std::uint16_t(division.Divide(Sums[i] + std::uint64_t(Height) / 2));
}

void BlurRowsAcross(TWorkArea& Work, const std::vector<TBox>& Boxes, int Begin, int End)
{
    std::vector<std::uint32_t> prefix((std::size_t(Work.Width) + 1) * Channels);
    for (int y = Begin; y < End; ++y) {
        const TBox& box = Boxes[std::size_t(y)];
        if (box.IsIdentity())
            continue;
        std::uint16_t* row = Work.Row(y);
        for (int pass = 0; pass < 3; ++pass) {
            for (std::size_t i = 0; i < std::size_t(Work.Width) * Channels; ++i)
                prefix[i + Channels] = prefix[i] + row[i];
            for (int x = 0; x < Work.Width; ++x)
                for (int c = 0; c < Channels; ++c)
                    row[x * Channels + c] = std::uint16_t(BoxAt(prefix.data() + c, Channels, Work.Width, x, box));
        }
    }
}

void BlurColumnsDown(TWorkArea& Work, const std::vector<TBox>& Boxes, int FirstColumn, int EndColumn)
{
    const int values = (EndColumn - FirstColumn) * Channels;
    const std::ptrdiff_t stride = values;
    std::vector<std::uint32_t> prefix((std::size_t(Work.Height) + 1) * std::size_t(values));
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < Work.Height; ++y) {
            const std::uint16_t* row = Work.Row(y) + FirstColumn * Channels;
            const std::uint32_t* above = prefix.data() + std::size_t(y) * std::size_t(values);
            std::uint32_t* below = prefix.data() + std::size_t(y + 1) * std::size_t(values);
            for (int k = 0; k < values; ++k)
                below[k] = above[k] + row[k];
        }
        for (int y = 0; y < Work.Height; ++y) {
            const TBox& box = Boxes[std::size_t(y)];
            if (box.IsIdentity())
                continue;
            std::uint16_t* row = Work.Row(y) + FirstColumn * Channels;
            for (int k = 0; k < values; ++k)
                row[k] = std::uint16_t(BoxAt(prefix.data() + k, stride, Work.Height, y, box));
        }
    }
}

// Back to straight colour, rounded to nearest, then the classic fade of the
// row: a pixel whose alpha rounds to 0 is transparent black, as the fade
// leaves fully transparent source pixels.
void FinishRow(const std::uint16_t* In, int Count, int RowOpacity, std::uint32_t* Out)
{
    const auto table = ScaledAlphaTable(RowOpacity);
    for (int x = 0; x < Count; ++x) {
        const std::uint16_t* sample = In + std::size_t(x) * Channels;
        const std::uint32_t alpha = sample[3];
        const std::uint32_t straight = (alpha + 127) / 255;
        if (straight == 0) {
            Out[x] = 0;
            continue;
        }
        const auto channel = [&](int c) { return std::min<std::uint32_t>(255, (510 * sample[c] + alpha) / (2 * alpha)); };
        Out[x] = (std::uint32_t(table[straight]) << 24) | (channel(2) << 16) | (channel(1) << 8) | channel(0);
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

QImage BuildStyledReflection(const TMirrorRowSource& Source, QSize Picture, const TReflectionParameters& Parameters,
                             const QRect& Area)
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
                         [&](int Begin, int End) {
                             std::vector<std::uint64_t> sums(std::size_t(work.Width) * Channels);
                             for (int y = Begin; y < End; ++y)
                                 SquashRow(Source, height, squashed, work.Top + y, work, y, sums);
                         });
    if (margin > 0) {
        std::vector<TBox> boxes(std::size_t(work.Height));
        for (int y = 0; y < work.Height; ++y)
            boxes[std::size_t(y)] = RowBox(blur, work.Top + y, visible);
        parallel.ForEachBand(work.Height, work.Width * 8LL,
                             [&](int Begin, int End) { BlurRowsAcross(work, boxes, Begin, End); });
        const int strips = (work.Width + StripColumns - 1) / StripColumns;
        parallel.ForEachBand(strips, static_cast<long long>(work.Height) * StripColumns * 8, [&](int Begin, int End) {
            for (int strip = Begin; strip < End; ++strip)
                BlurColumnsDown(work, boxes, strip * StripColumns,
                                std::min(work.Width, (strip + 1) * StripColumns));
        });
    }
    parallel.ForEachBand(lastRow - area.top(), area.width(), [&](int Begin, int End) {
        for (int y = Begin; y < End; ++y) {
            const int row = area.top() + y;
            FinishRow(work.Row(row - work.Top) + std::size_t(area.left() - work.Left) * Channels, area.width(),
                      ReflectionRowOpacity(row, Parameters), reinterpret_cast<std::uint32_t*>(out.scanLine(y)));
        }
    });
    return out;
}

QImage BuildStyledReflection(const QImage& Picture, const TReflectionParameters& Parameters, const QRect& Area)
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
            return reinterpret_cast<const std::uint32_t*>(band.constScanLine(height - 1 - MirrorRow - bandTop));
        },
        Picture.size(), Parameters, Area);
}
