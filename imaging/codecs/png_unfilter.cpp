#include "imaging/codecs/png_unfilter.h"

#include <cstdlib>

namespace
{
// The predictor whose distance to a + b - c is smallest, ties to a, then b.
inline std::uint8_t Paeth(int A, int B, int C)
{
    const int P = B - C, Q = A - C;
    const int Pa = std::abs(P), Pb = std::abs(Q), Pc = std::abs(P + Q);
    return std::uint8_t(Pa <= Pb && Pa <= Pc ? A : Pb <= Pc ? B : C);
}

// Bpp as a constant lets the compiler keep the pixel's bytes in registers;
// the row's own dependence on its left neighbour allows no more than that.
template <int Bpp>
void UnfilterPaeth(std::uint8_t* __restrict Out, const std::uint8_t* __restrict Up, std::size_t Size)
{
    for (int I = 0; I < Bpp && std::size_t(I) < Size; ++I)
        Out[I] = std::uint8_t(Out[I] + Up[I]); // the predictor of the first pixel is the byte above
    for (std::size_t I = Bpp; I < Size; ++I)
        Out[I] = std::uint8_t(Out[I] + Paeth(Out[I - Bpp], Up[I], Up[I - Bpp]));
}

template <int Bpp>
void UnfilterAverage(std::uint8_t* __restrict Out, const std::uint8_t* __restrict Up, std::size_t Size)
{
    for (int I = 0; I < Bpp && std::size_t(I) < Size; ++I)
        Out[I] = std::uint8_t(Out[I] + (Up[I] >> 1));
    for (std::size_t I = Bpp; I < Size; ++I)
        Out[I] = std::uint8_t(Out[I] + ((Out[I - Bpp] + Up[I]) >> 1));
}

template <int Bpp> void UnfilterSub(std::uint8_t* __restrict Out, std::size_t Size)
{
    for (std::size_t I = Bpp; I < Size; ++I)
        Out[I] = std::uint8_t(Out[I] + Out[I - Bpp]);
}

template <int Bpp> void Unfilter(int Type, std::uint8_t* Out, const std::uint8_t* Up, std::size_t Size)
{
    switch (Type) {
    case 1:
        UnfilterSub<Bpp>(Out, Size);
        break;
    case 2:
        for (std::size_t I = 0; I < Size; ++I)
            Out[I] = std::uint8_t(Out[I] + Up[I]);
        break;
    case 3:
        UnfilterAverage<Bpp>(Out, Up, Size);
        break;
    case 4:
        UnfilterPaeth<Bpp>(Out, Up, Size);
        break;
    default:
        break;
    }
}
} // namespace

bool UnfilterPngRow(std::uint8_t* Row, const std::uint8_t* Above, std::size_t RowBytes, int Bpp)
{
    const int type = Row[0];
    if (type > 4)
        return false;
    std::uint8_t* out = Row + 1;
    switch (Bpp) {
    case 1:
        Unfilter<1>(type, out, Above, RowBytes);
        break;
    case 2:
        Unfilter<2>(type, out, Above, RowBytes);
        break;
    case 3:
        Unfilter<3>(type, out, Above, RowBytes);
        break;
    case 4:
        Unfilter<4>(type, out, Above, RowBytes);
        break;
    case 6:
        Unfilter<6>(type, out, Above, RowBytes);
        break;
    default:
        Unfilter<8>(type, out, Above, RowBytes);
        break;
    }
    return true;
}
