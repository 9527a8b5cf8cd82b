#include "imaging/png/png_filter.h"

#include "tests/support/test_names.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <set>
#include <vector>

namespace
{

using TBytes = std::vector<std::uint8_t>;

// The predictor exactly as the PNG format defines it, written independently
// of the encoder: nearest of a, b, c to a + b - c, ties to a, then b.
int ReferencePaeth(int A, int B, int C)
{
    const int P = A + B - C;
    const int Pa = std::abs(P - A), Pb = std::abs(P - B), Pc = std::abs(P - C);
    if (Pa <= Pb && Pa <= Pc)
        return A;
    if (Pb <= Pc)
        return B;
    return C;
}

// Reverses one filtered line the way a decoder does.
TBytes Unfilter(const TBytes& Prev, const std::uint8_t* Filtered, std::size_t RowBytes, int Bpp)
{
    TBytes Row(RowBytes);
    const int Type = Filtered[0];
    for (std::size_t I = 0; I < RowBytes; ++I) {
        const int A = I >= std::size_t(Bpp) ? Row[I - Bpp] : 0;
        const int B = Prev[I];
        const int C = I >= std::size_t(Bpp) ? Prev[I - Bpp] : 0;
        const int Predictors[5] = {0, A, B, (A + B) / 2, ReferencePaeth(A, B, C)};
        Row[I] = std::uint8_t(Filtered[1 + I] + Predictors[Type]);
    }
    return Row;
}

unsigned SumOfAbsolutes(const TBytes& Line)
{
    unsigned Sum = 0;
    for (std::size_t I = 1; I < Line.size(); ++I)
        Sum += unsigned(std::abs(int(std::int8_t(Line[I]))));
    return Sum;
}

// Lines of several characters, so that every filter wins somewhere.
std::vector<TBytes> MakeLines(std::size_t RowBytes, int Bpp, unsigned Seed)
{
    std::mt19937 Random(Seed);
    std::vector<TBytes> Lines;
    for (int Y = 0; Y < 70; ++Y) {
        TBytes Line(RowBytes);
        for (std::size_t I = 0; I < RowBytes; ++I) {
            const std::size_t X = I / Bpp;
            switch (Y % 7) {
            case 0:
                Line[I] = std::uint8_t(Random());
                break; // noise
            case 1:
                Line[I] = std::uint8_t(X * 3 + I % Bpp);
                break; // horizontal ramp
            case 2:
                Line[I] = Lines.back()[I];
                break; // repeats the line above
            case 3:
                Line[I] = std::uint8_t(X * 2 + Y * 5 + Random() % 3);
                break; // diagonal ramp
            case 4:
                Line[I] = std::uint8_t(Y * 40 + (X / 7) * 9);
                break; // blocks
            case 5:
                Line[I] = std::uint8_t(128 + Random() % 5);
                break; // flat with grain
            default:   // mean of left and above
                Line[I] = std::uint8_t(((I >= std::size_t(Bpp) ? Line[I - Bpp] : 0) + Lines.back()[I]) / 2 +
                                       Random() % 2);
                break;
            }
        }
        Lines.push_back(Line);
    }
    return Lines;
}

struct TFilterCase {
    std::size_t Width;
    int Bpp;
};

class FilterScanLines : public ::testing::TestWithParam<TFilterCase>
{
};

TEST_P(FilterScanLines, ChosenFilterIsMinimalAndReversible)
{
    const auto [Width, Bpp] = GetParam();
    const std::size_t RowBytes = Width * Bpp;
    TPngFilterScratch Scratch(RowBytes);
    std::set<int> Chosen;
    for (unsigned Seed : {1u, 2u}) {
        const std::vector<TBytes> Lines = MakeLines(RowBytes, Bpp, Seed);
        TBytes Prev(RowBytes, 0);
        for (const TBytes& Cur : Lines) {
            TBytes Out(RowBytes + 1, 0xEE);
            const TPngFilter Filter =
                FilterScanLine(Prev.data(), Cur.data(), RowBytes, Bpp, Out.data(), Scratch);
            ASSERT_EQ(Out[0], std::uint8_t(Filter));
            Chosen.insert(Out[0]);
            EXPECT_TRUE(Unfilter(Prev, Out.data(), RowBytes, Bpp) == Cur);
            // The choice is the first filter with the smallest sum, written
            // byte for byte as the one-filter reference writes it.
            int Expected = 0;
            unsigned Smallest = ~0u;
            for (int Other = 0; Other < 5; ++Other) {
                TBytes Alternative(RowBytes + 1);
                ApplyFilter(TPngFilter(Other), Prev.data(), Cur.data(), RowBytes, Bpp, Alternative.data());
                EXPECT_TRUE(Unfilter(Prev, Alternative.data(), RowBytes, Bpp) == Cur) << "filter " << Other;
                if (SumOfAbsolutes(Alternative) < Smallest) {
                    Smallest = SumOfAbsolutes(Alternative);
                    Expected = Other;
                }
                if (Other == int(Filter)) {
                    EXPECT_TRUE(Alternative == Out) << "filter " << Other;
                }
            }
            EXPECT_EQ(int(Filter), Expected);
            Prev = Cur;
        }
    }
    if (Width >= 8) {
        EXPECT_EQ(Chosen.size(), 5u) << "the lines should exercise every filter";
    }
}

INSTANTIATE_TEST_SUITE_P(WidthsAndDepths, FilterScanLines,
                         ::testing::Values(TFilterCase{1, 4}, TFilterCase{1, 3}, TFilterCase{2, 4},
                                           TFilterCase{13, 3}, TFilterCase{37, 4}, TFilterCase{256, 4},
                                           TFilterCase{1001, 3}, TFilterCase{1001, 4}),
                         [](const ::testing::TestParamInfo<TFilterCase>& Info) {
                             return "width_" + TestNameOf(static_cast<long long>(Info.param.Width)) +
                                    "_bytes_" + TestNameOf(Info.param.Bpp);
                         });

TEST(PaethFilter, MatchesTheDefinitionForEveryNeighbourhood)
{
    // Every (a, b, c) on a grid that includes all the tie cases near equal
    // values; each triple sits in its own two-pixel line.
    const std::vector<int> Values = {0, 1, 2, 3, 63, 64, 100, 127, 128, 129, 200, 253, 254, 255};
    TPngFilterScratch Scratch(8);
    for (int A : Values)
        for (int B : Values)
            for (int C : Values)
                for (int X : {0, 77, 255}) {
                    const std::uint8_t Prev[8] = {std::uint8_t(C), 0, 0, 0, std::uint8_t(B), 0, 0, 0};
                    const std::uint8_t Cur[8] = {std::uint8_t(A), 0, 0, 0, std::uint8_t(X), 0, 0, 0};
                    std::uint8_t Out[9];
                    ApplyFilter(TPngFilter::Paeth, Prev, Cur, 8, 4, Out);
                    ASSERT_EQ(Out[5], std::uint8_t(X - ReferencePaeth(A, B, C))) << A << ' ' << B << ' ' << C;
                }
}

} // namespace
