#include "imaging/png/png_filter.h"

#include <cstring>

// The filter loops are the hottest code of PNG writing after deflate itself;
// they are written so the compiler can vectorise them, which it does only at
// its higher optimisation level.
#pragma GCC optimize("O3")

namespace
{

inline unsigned AbsSigned(std::uint8_t V)
{
    return V < 128 ? V : 256u - V;
}

inline std::uint8_t PaethPredictor(int A, int B, int C)
{
    const int Pa = B > C ? B - C : C - B;
    const int Pb = A > C ? A - C : C - A;
    const int P2 = A + B - 2 * C;
    const int Pc = P2 < 0 ? -P2 : P2;
    return std::uint8_t((Pa <= Pb && Pa <= Pc) ? A : (Pb <= Pc ? B : C));
}

template <int Bpp>
unsigned SubRow(const std::uint8_t* __restrict Cur, std::size_t N, std::uint8_t* __restrict Out)
{
    unsigned Sum = 0;
    for (std::size_t I = 0; I < Bpp && I < N; ++I) {
        Out[I] = Cur[I];
        Sum += AbsSigned(Out[I]);
    }
    for (std::size_t I = Bpp; I < N; ++I) {
        const std::uint8_t V = std::uint8_t(Cur[I] - Cur[I - Bpp]);
        Out[I] = V;
        Sum += AbsSigned(V);
    }
    return Sum;
}

unsigned UpRow(const std::uint8_t* __restrict Prev, const std::uint8_t* __restrict Cur, std::size_t N,
               std::uint8_t* __restrict Out)
{
    unsigned Sum = 0;
    for (std::size_t I = 0; I < N; ++I) {
        const std::uint8_t V = std::uint8_t(Cur[I] - Prev[I]);
        Out[I] = V;
        Sum += AbsSigned(V);
    }
    return Sum;
}

template <int Bpp>
unsigned AverageRow(const std::uint8_t* __restrict Prev, const std::uint8_t* __restrict Cur, std::size_t N,
                    std::uint8_t* __restrict Out)
{
    unsigned Sum = 0;
    for (std::size_t I = 0; I < Bpp && I < N; ++I) {
        Out[I] = std::uint8_t(Cur[I] - (Prev[I] >> 1));
        Sum += AbsSigned(Out[I]);
    }
    for (std::size_t I = Bpp; I < N; ++I) {
        const std::uint8_t V = std::uint8_t(Cur[I] - ((unsigned(Cur[I - Bpp]) + Prev[I]) >> 1));
        Out[I] = V;
        Sum += AbsSigned(V);
    }
    return Sum;
}

template <int Bpp>
unsigned PaethRow(const std::uint8_t* __restrict Prev, const std::uint8_t* __restrict Cur, std::size_t N,
                  std::uint8_t* __restrict Out)
{
    unsigned Sum = 0;
    // With no pixel to the left, a and c are 0 and the predictor is b.
    for (std::size_t I = 0; I < Bpp && I < N; ++I) {
        Out[I] = std::uint8_t(Cur[I] - Prev[I]);
        Sum += AbsSigned(Out[I]);
    }
    for (std::size_t I = Bpp; I < N; ++I) {
        const std::uint8_t V = std::uint8_t(Cur[I] - PaethPredictor(Cur[I - Bpp], Prev[I], Prev[I - Bpp]));
        Out[I] = V;
        Sum += AbsSigned(V);
    }
    return Sum;
}

unsigned NoneSum(const std::uint8_t* __restrict Cur, std::size_t N)
{
    unsigned Sum = 0;
    for (std::size_t I = 0; I < N; ++I)
        Sum += AbsSigned(Cur[I]);
    return Sum;
}

template <int Bpp>
TPngFilter ChooseAndFilter(const std::uint8_t* Prev, const std::uint8_t* Cur, std::size_t N,
                           std::uint8_t* Out, TPngFilterScratch& Scratch)
{
    unsigned Sums[5];
    Sums[0] = NoneSum(Cur, N);
    Sums[1] = SubRow<Bpp>(Cur, N, Scratch.Row(1));
    Sums[2] = UpRow(Prev, Cur, N, Scratch.Row(2));
    Sums[3] = AverageRow<Bpp>(Prev, Cur, N, Scratch.Row(3));
    Sums[4] = PaethRow<Bpp>(Prev, Cur, N, Scratch.Row(4));
    int Best = 0;
    for (int F = 1; F < 5; ++F)
        if (Sums[F] < Sums[Best])
            Best = F;
    Out[0] = std::uint8_t(Best);
    std::memcpy(Out + 1, Best == 0 ? Cur : Scratch.Row(Best), N);
    return TPngFilter(Best);
}

} // namespace

TPngFilterScratch::TPngFilterScratch(std::size_t RowBytes)
    : FStride((RowBytes + 63) & ~std::size_t(63)), FStorage(new std::uint8_t[FStride * 5 + 64])
{
    // Align each line to a cache line so the vector loops run on whole lines.
    const auto Address = reinterpret_cast<std::uintptr_t>(FStorage.get());
    FRows = FStorage.get() + ((64 - (Address & 63)) & 63);
}

TPngFilter FilterScanLine(const std::uint8_t* Prev, const std::uint8_t* Cur, std::size_t RowBytes, int Bpp,
                          std::uint8_t* Out, TPngFilterScratch& Scratch)
{
    // Each byte adds at most 128 to a 32-bit sum, so the sums are exact for
    // lines up to 2^24 bytes; absurdly wide lines just take the filter that
    // suits photographs best.
    if (RowBytes > (std::size_t(1) << 24)) {
        ApplyFilter(TPngFilter::Paeth, Prev, Cur, RowBytes, Bpp, Out);
        return TPngFilter::Paeth;
    }
    if (Bpp == 4)
        return ChooseAndFilter<4>(Prev, Cur, RowBytes, Out, Scratch);
    if (Bpp == 3)
        return ChooseAndFilter<3>(Prev, Cur, RowBytes, Out, Scratch);
    ApplyFilter(TPngFilter::None, Prev, Cur, RowBytes, Bpp, Out);
    return TPngFilter::None;
}

void ApplyFilter(TPngFilter Filter, const std::uint8_t* Prev, const std::uint8_t* Cur, std::size_t RowBytes,
                 int Bpp, std::uint8_t* Out)
{
    Out[0] = std::uint8_t(Filter);
    std::uint8_t* Line = Out + 1;
    for (std::size_t I = 0; I < RowBytes; ++I) {
        const int A = I >= std::size_t(Bpp) ? Cur[I - Bpp] : 0;
        const int B = Prev[I];
        const int C = I >= std::size_t(Bpp) ? Prev[I - Bpp] : 0;
        int Predicted = 0;
        switch (Filter) {
        case TPngFilter::None:
            break;
        case TPngFilter::Sub:
            Predicted = A;
            break;
        case TPngFilter::Up:
            Predicted = B;
            break;
        case TPngFilter::Average:
            Predicted = (A + B) / 2;
            break;
        case TPngFilter::Paeth:
            Predicted = PaethPredictor(A, B, C);
            break;
        }
        Line[I] = std::uint8_t(Cur[I] - Predicted);
    }
}
