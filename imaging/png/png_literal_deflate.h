#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Deflate for filtered photographs. Their filtered bytes hardly ever repeat
// at a distance, so searching for matches costs most of the time of a
// general compressor and its short matches even cost bits; coding every byte
// with Huffman codes fitted to each block, plus runs of one repeated byte
// (flat areas, transparent rows), is smaller and several times faster there.

// Appends to Out the raw deflate stream of Data made only of literals and
// runs (distance 1) of at least MinRun equal bytes, in dynamic Huffman
// blocks of up to BlockBytes input bytes. With Final the last block carries
// the final flag; otherwise the stream ends byte-aligned with an empty stored
// block, ready for another stream to follow.
void DeflateLiteralsAndRuns(const std::uint8_t* Data, std::size_t Size, bool Final,
                            std::vector<std::uint8_t>& Out, int MinRun = 8, std::size_t BlockBytes = 65536);
