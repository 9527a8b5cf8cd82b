#include "imaging/png/png_literal_deflate.h"

#include <gtest/gtest.h>
#include <libdeflate.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

namespace
{

using TBytes = std::vector<std::uint8_t>;

struct TDecompressorDeleter {
    void operator()(libdeflate_decompressor* D) const { libdeflate_free_decompressor(D); }
};

// Inflates with libdeflate's decoder, which rejects any malformed code,
// over-subscribed or incomplete table and any data after the final block.
bool Inflate(const TBytes& Stream, std::size_t ExpectedSize, TBytes& Out)
{
    std::unique_ptr<libdeflate_decompressor, TDecompressorDeleter> D(libdeflate_alloc_decompressor());
    Out.assign(ExpectedSize + 1, 0xAB);
    std::size_t InUsed = 0, OutSize = 0;
    const auto Result = libdeflate_deflate_decompress_ex(D.get(), Stream.data(), Stream.size(), Out.data(),
                                                         Out.size(), &InUsed, &OutSize);
    Out.resize(OutSize);
    return Result == LIBDEFLATE_SUCCESS && InUsed == Stream.size();
}

TBytes Noise(std::size_t Size, unsigned Seed)
{
    std::mt19937 Random(Seed);
    TBytes Data(Size);
    for (auto& B : Data)
        B = std::uint8_t(Random());
    return Data;
}

// Byte frequencies falling off like the Fibonacci numbers make the
// unlimited Huffman code far deeper than deflate's 15 bits.
TBytes SkewedBytes()
{
    TBytes Data;
    std::uint64_t A = 1, B = 1;
    for (int Symbol = 0; Symbol < 24; ++Symbol) {
        Data.insert(Data.end(), std::size_t(A), std::uint8_t(Symbol * 7 + 1));
        const std::uint64_t Next = A + B;
        A = B;
        B = Next;
    }
    // Interleave so that runs do not swallow the counts.
    std::mt19937 Random(3);
    std::shuffle(Data.begin(), Data.end(), Random);
    return Data;
}

struct TStreamCase {
    const char* Name;
    TBytes Data;
    int MinRun;
    std::size_t BlockBytes;
};

std::vector<TStreamCase> StreamCases()
{
    std::vector<TStreamCase> Cases;
    Cases.push_back({"Empty", {}, 8, 65536});
    Cases.push_back({"OneByte", {42}, 8, 65536});
    Cases.push_back({"OneSymbolRepeated", TBytes(100000, 0), 8, 65536});
    Cases.push_back({"ShortRunsAsLiterals", {1, 1, 1, 2, 2, 3, 3, 3, 3, 4}, 8, 65536});
    Cases.push_back({"ShortestRuns", {1, 1, 1, 1, 2, 2, 2, 2, 2, 9}, 3, 65536});
    Cases.push_back({"Noise", Noise(200000, 1), 8, 65536});
    Cases.push_back({"NoiseSmallBlocks", Noise(50000, 2), 8, 1024});
    Cases.push_back({"Skewed", SkewedBytes(), 8, 1 << 20});
    TBytes Runs;
    std::mt19937 Random(5);
    for (int I = 0; I < 3000; ++I)
        Runs.insert(Runs.end(), Random() % 300 + 1, std::uint8_t(Random() % 4));
    Cases.push_back({"RunsOfEveryLength", Runs, 3, 4096});
    Cases.push_back({"RunsAcrossBlocks", TBytes(10000, 7), 8, 1024});
    return Cases;
}

class LiteralDeflateStreams : public ::testing::TestWithParam<TStreamCase>
{
};

TEST_P(LiteralDeflateStreams, InflateToTheInput)
{
    const TStreamCase& Case = GetParam();
    TBytes Stream, Back;
    DeflateLiteralsAndRuns(Case.Data.data(), Case.Data.size(), true, Stream, Case.MinRun, Case.BlockBytes);
    ASSERT_TRUE(Inflate(Stream, Case.Data.size(), Back));
    EXPECT_TRUE(Back == Case.Data);
}

TEST_P(LiteralDeflateStreams, OpenPiecesJoinWithAFinalOne)
{
    // Three pieces, the first two left open, make one stream of the whole.
    const TStreamCase& Case = GetParam();
    const std::size_t Third = Case.Data.size() / 3;
    TBytes Stream, Back;
    DeflateLiteralsAndRuns(Case.Data.data(), Third, false, Stream, Case.MinRun, Case.BlockBytes);
    DeflateLiteralsAndRuns(Case.Data.data() + Third, Third, false, Stream, Case.MinRun, Case.BlockBytes);
    DeflateLiteralsAndRuns(Case.Data.data() + 2 * Third, Case.Data.size() - 2 * Third, true, Stream,
                           Case.MinRun, Case.BlockBytes);
    ASSERT_TRUE(Inflate(Stream, Case.Data.size(), Back));
    EXPECT_TRUE(Back == Case.Data);
}

INSTANTIATE_TEST_SUITE_P(Data, LiteralDeflateStreams, ::testing::ValuesIn(StreamCases()),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST(LiteralDeflate, RunsAndSkewAreCodedCompactly)
{
    // A run costs a few bits whatever its length, and a skewed distribution
    // must come out well under a byte per byte even with the depth limit.
    TBytes Stream;
    DeflateLiteralsAndRuns(TBytes(1000000, 9).data(), 1000000, true, Stream);
    EXPECT_LT(Stream.size(), 10000u);
    const TBytes Skewed = SkewedBytes();
    Stream.clear();
    DeflateLiteralsAndRuns(Skewed.data(), Skewed.size(), true, Stream, 258);
    EXPECT_LT(Stream.size(), Skewed.size() / 3);
}

TEST(LiteralDeflate, AppendsToWhatIsAlreadyThere)
{
    TBytes Stream = {1, 2, 3};
    const TBytes Data = Noise(1000, 9);
    DeflateLiteralsAndRuns(Data.data(), Data.size(), true, Stream);
    ASSERT_GT(Stream.size(), 3u);
    EXPECT_EQ(Stream[0], 1);
    EXPECT_EQ(Stream[2], 3);
    TBytes Back;
    ASSERT_TRUE(Inflate(TBytes(Stream.begin() + 3, Stream.end()), Data.size(), Back));
    EXPECT_TRUE(Back == Data);
}

} // namespace
