#include "imaging/png/png_filter.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// The filter choice is the hottest code of PNG writing after deflate itself:
// all five filters are worked out sixteen bytes at a time where the
// processor has SSE2 (every x86-64 does), byte by byte elsewhere.
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

// The five filtered values of byte I and the running sums of their
// absolute values; the lines' first pixel has no left neighbour (a, c = 0).
template <int Bpp>
inline void FilterByte(const std::uint8_t* __restrict Prev, const std::uint8_t* __restrict Cur, std::size_t I,
                       std::uint8_t* const* Rows, unsigned* Sums)
{
    const int A = I >= std::size_t(Bpp) ? Cur[I - Bpp] : 0;
    const int B = Prev[I];
    const int C = I >= std::size_t(Bpp) ? Prev[I - Bpp] : 0;
    const std::uint8_t X = Cur[I];
    const std::uint8_t Values[5] = {X, std::uint8_t(X - A), std::uint8_t(X - B),
                                    std::uint8_t(X - ((A + B) >> 1)),
                                    std::uint8_t(X - PaethPredictor(A, B, C))};
    Sums[0] += AbsSigned(Values[0]);
    for (int F = 1; F < 5; ++F) {
        Rows[F][I] = Values[F];
        Sums[F] += AbsSigned(Values[F]);
    }
}

#if defined(__SSE2__)
// |V| of bytes read as signed, as unsigned bytes: the smaller of V and -V.
inline __m128i AbsSignedBytes(__m128i V)
{
    return _mm_min_epu8(V, _mm_sub_epi8(_mm_setzero_si128(), V));
}

inline __m128i Absolute16(__m128i V)
{
    return _mm_max_epi16(V, _mm_sub_epi16(_mm_setzero_si128(), V));
}

inline __m128i Select(__m128i Mask, __m128i IfSet, __m128i IfClear)
{
    return _mm_or_si128(_mm_and_si128(Mask, IfSet), _mm_andnot_si128(Mask, IfClear));
}

// The Paeth predictor of eight pixels' bytes in 16-bit lanes.
inline __m128i PaethPredictor16(__m128i A, __m128i B, __m128i C)
{
    const __m128i BMinusC = _mm_sub_epi16(B, C), AMinusC = _mm_sub_epi16(A, C);
    const __m128i Pa = Absolute16(BMinusC), Pb = Absolute16(AMinusC);
    const __m128i Pc = Absolute16(_mm_add_epi16(BMinusC, AMinusC));
    const __m128i NotA = _mm_or_si128(_mm_cmpgt_epi16(Pa, Pb), _mm_cmpgt_epi16(Pa, Pc));
    return Select(NotA, Select(_mm_cmpgt_epi16(Pb, Pc), C, B), A);
}

// Bytes [Bpp, N) sixteen at a time, the same arithmetic as FilterByte; returns
// where the scalar tail starts.
template <int Bpp>
std::size_t FilterVectors(const std::uint8_t* Prev, const std::uint8_t* Cur, std::size_t N,
                          std::uint8_t* const* Rows, unsigned* Sums)
{
    const __m128i Zero = _mm_setzero_si128(), One = _mm_set1_epi8(1);
    __m128i Totals[5] = {Zero, Zero, Zero, Zero, Zero};
    std::size_t I = Bpp;
    for (; I + 16 <= N; I += 16) {
        const auto Load = [](const std::uint8_t* At) {
            return _mm_loadu_si128(reinterpret_cast<const __m128i*>(At));
        };
        const __m128i X = Load(Cur + I), A = Load(Cur + I - Bpp), B = Load(Prev + I),
                      C = Load(Prev + I - Bpp);
        // The rounded-up mean less the bit it rounded: (a + b) >> 1.
        const __m128i Mean = _mm_sub_epi8(_mm_avg_epu8(A, B), _mm_and_si128(_mm_xor_si128(A, B), One));
        const __m128i Paeth =
            _mm_packus_epi16(PaethPredictor16(_mm_unpacklo_epi8(A, Zero), _mm_unpacklo_epi8(B, Zero),
                                              _mm_unpacklo_epi8(C, Zero)),
                             PaethPredictor16(_mm_unpackhi_epi8(A, Zero), _mm_unpackhi_epi8(B, Zero),
                                              _mm_unpackhi_epi8(C, Zero)));
        const __m128i Values[5] = {X, _mm_sub_epi8(X, A), _mm_sub_epi8(X, B), _mm_sub_epi8(X, Mean),
                                   _mm_sub_epi8(X, Paeth)};
        Totals[0] = _mm_add_epi64(Totals[0], _mm_sad_epu8(AbsSignedBytes(X), Zero));
        for (int F = 1; F < 5; ++F) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(Rows[F] + I), Values[F]);
            Totals[F] = _mm_add_epi64(Totals[F], _mm_sad_epu8(AbsSignedBytes(Values[F]), Zero));
        }
    }
    for (int F = 0; F < 5; ++F)
        Sums[F] += unsigned(_mm_cvtsi128_si32(Totals[F])) +
                   unsigned(_mm_cvtsi128_si32(_mm_srli_si128(Totals[F], 8)));
    return I;
}
#endif

template <int Bpp>
TPngFilter ChooseAndFilter(const std::uint8_t* Prev, const std::uint8_t* Cur, std::size_t N,
                           std::uint8_t* Out, TPngFilterScratch& Scratch)
{
    unsigned Sums[5] = {0, 0, 0, 0, 0};
    std::uint8_t* const Rows[5] = {nullptr, Scratch.Row(1), Scratch.Row(2), Scratch.Row(3), Scratch.Row(4)};
    std::size_t I = 0;
    for (; I < Bpp && I < N; ++I)
        FilterByte<Bpp>(Prev, Cur, I, Rows, Sums);
#if defined(__SSE2__)
    if (I == Bpp)
        I = FilterVectors<Bpp>(Prev, Cur, N, Rows, Sums);
#endif
    for (; I < N; ++I)
        FilterByte<Bpp>(Prev, Cur, I, Rows, Sums);
    // The first of the smallest sums wins.
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
