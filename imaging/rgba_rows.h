#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Rows of RGBA bytes, as PNG stores them, and rows of 0xAARRGGBB words. On a
// little-endian machine one is the other with red and blue swapped in each
// word, four words at a time where SSE2 is there; elsewhere byte by byte.

inline std::uint32_t SwapRedBlue(std::uint32_t Word)
{
    return (Word & 0xFF00FF00u) | ((Word >> 16) & 0xFFu) | ((Word & 0xFFu) << 16);
}

// Count words from In to Out, red and blue swapped; In and Out may be the
// same or unaligned memory.
inline void SwapRedBlueWords(const void* In, void* Out, int Count)
{
    const auto* From = static_cast<const std::uint8_t*>(In);
    auto* To = static_cast<std::uint8_t*>(Out);
    int X = 0;
#if defined(__SSE2__)
    const __m128i Kept = _mm_set1_epi32(int(0xFF00FF00u)), Low = _mm_set1_epi32(0xFF);
    for (; X + 4 <= Count; X += 4) {
        const __m128i W = _mm_loadu_si128(reinterpret_cast<const __m128i*>(From + 4 * X));
        const __m128i Swapped =
            _mm_or_si128(_mm_and_si128(W, Kept), _mm_or_si128(_mm_and_si128(_mm_srli_epi32(W, 16), Low),
                                                              _mm_slli_epi32(_mm_and_si128(W, Low), 16)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(To + 4 * X), Swapped);
    }
#endif
    for (; X < Count; ++X) {
        std::uint32_t Word;
        std::memcpy(&Word, From + 4 * X, 4);
        Word = SwapRedBlue(Word);
        std::memcpy(To + 4 * X, &Word, 4);
    }
}

inline void RgbaBytesToArgbWords(const std::uint8_t* __restrict In, std::uint32_t* __restrict Out, int Count)
{
    if constexpr (std::endian::native == std::endian::little) {
        SwapRedBlueWords(In, Out, Count);
    } else {
        for (int X = 0; X < Count; ++X, In += 4)
            Out[X] = (std::uint32_t(In[3]) << 24) | (std::uint32_t(In[0]) << 16) |
                     (std::uint32_t(In[1]) << 8) | In[2];
    }
}

inline void ArgbWordsToRgbaBytes(const std::uint32_t* __restrict In, std::uint8_t* __restrict Out, int Count)
{
    if constexpr (std::endian::native == std::endian::little) {
        SwapRedBlueWords(In, Out, Count);
    } else {
        for (int X = 0; X < Count; ++X, Out += 4) {
            const std::uint32_t Word = In[X];
            Out[0] = std::uint8_t(Word >> 16);
            Out[1] = std::uint8_t(Word >> 8);
            Out[2] = std::uint8_t(Word);
            Out[3] = std::uint8_t(Word >> 24);
        }
    }
}
