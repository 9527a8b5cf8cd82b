#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// Positions, in bits from the start, inside one complete raw deflate stream.
struct TDeflateTail {
    std::size_t FinalHeaderBit = 0; // the header of the block that carries the final flag
    std::size_t EndBit = 0;         // just past the last bit of that block
};

// Walks every block of a raw deflate stream (decoding the Huffman codes but
// producing no output) and tells where its final block starts and where the
// stream ends. Empty when the bytes are not exactly one well-formed stream.
std::optional<TDeflateTail> FindDeflateTail(const std::uint8_t* Data, std::size_t Size);

// Turns a complete raw deflate stream into a piece that another stream may
// follow: the final flag is cleared and an empty stored block brings the end
// to a byte boundary, just as a sync flush would. False (Stream untouched)
// when Stream is not a well-formed deflate stream.
bool MakeDeflateJoinable(std::vector<std::uint8_t>& Stream);

// The Adler-32 of two pieces laid end to end, from the sums of each piece
// (both started at 1) and the second piece's length.
std::uint32_t Adler32Combine(std::uint32_t First, std::uint32_t Second, std::uint64_t SecondLength);
