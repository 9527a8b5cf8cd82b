#include "imaging/png/png_deflate_join.h"

#include "tests/support/test_names.h"

#include <gtest/gtest.h>
#include <libdeflate.h>

#include <random>
#include <string>
#include <vector>

namespace
{

using TBytes = std::vector<std::uint8_t>;

enum class TKind { Random, Text, Zeros, Mixed };

TBytes MakeData(TKind Kind, std::size_t Size, unsigned Seed)
{
    std::mt19937 Random(Seed);
    TBytes Data(Size);
    static const std::string Words = "the reflection fades out below the picture as if on a glossy floor ";
    for (std::size_t I = 0; I < Size; ++I) {
        switch (Kind) {
        case TKind::Random:
            Data[I] = std::uint8_t(Random());
            break;
        case TKind::Text:
            Data[I] = std::uint8_t(Words[(I * 7 + I / 1000) % Words.size()]);
            break;
        case TKind::Zeros:
            break;
        case TKind::Mixed:
            // Runs of noise between compressible stretches make libdeflate
            // switch between stored, fixed and dynamic blocks.
            Data[I] = (I / 4096) % 3 == 0 ? std::uint8_t(Random()) : std::uint8_t(I / 512);
            break;
        }
    }
    return Data;
}

TBytes Compress(const TBytes& Data, int Level)
{
    libdeflate_compressor* Compressor = libdeflate_alloc_compressor(Level);
    TBytes Out(libdeflate_deflate_compress_bound(Compressor, Data.size()));
    const std::size_t Size =
        libdeflate_deflate_compress(Compressor, Data.data(), Data.size(), Out.data(), Out.size());
    libdeflate_free_compressor(Compressor);
    Out.resize(Size);
    return Out;
}

// Decompresses with libdeflate, which must consume exactly all of Stream.
bool Inflate(const TBytes& Stream, std::size_t ExpectedSize, TBytes& Out)
{
    libdeflate_decompressor* Decompressor = libdeflate_alloc_decompressor();
    Out.assign(ExpectedSize, 0);
    std::size_t InUsed = 0, OutSize = 0;
    const auto Result = libdeflate_deflate_decompress_ex(Decompressor, Stream.data(), Stream.size(),
                                                         Out.data(), Out.size(), &InUsed, &OutSize);
    libdeflate_free_decompressor(Decompressor);
    return Result == LIBDEFLATE_SUCCESS && InUsed == Stream.size() && OutSize == ExpectedSize;
}

struct TJoinCase {
    TKind Kind;
    std::size_t Size;
    int Level;
};

class DeflateJoin : public ::testing::TestWithParam<TJoinCase>
{
};

TEST_P(DeflateJoin, JoinedPiecesInflateToTheConcatenatedInput)
{
    const TJoinCase Case = GetParam();
    TBytes Whole, Stream;
    for (unsigned Piece = 0; Piece < 3; ++Piece) {
        const TBytes Data =
            MakeData(Piece == 1 ? TKind::Mixed : Case.Kind, Case.Size + Piece * 17, 40 + Piece);
        TBytes Compressed = Compress(Data, Case.Level);
        ASSERT_FALSE(Compressed.empty());

        const auto Tail = FindDeflateTail(Compressed.data(), Compressed.size());
        ASSERT_TRUE(Tail.has_value());
        EXPECT_TRUE(Compressed[Tail->FinalHeaderBit / 8] >> (Tail->FinalHeaderBit % 8) & 1);
        EXPECT_EQ((Tail->EndBit + 7) / 8, Compressed.size());
        EXPECT_LT(Tail->FinalHeaderBit, Tail->EndBit);

        if (Piece < 2) {
            ASSERT_TRUE(MakeDeflateJoinable(Compressed));
            // Alone, a joinable piece no longer ends the stream.
            TBytes Ignored;
            EXPECT_FALSE(Inflate(Compressed, Data.size(), Ignored));
        }
        Stream.insert(Stream.end(), Compressed.begin(), Compressed.end());
        Whole.insert(Whole.end(), Data.begin(), Data.end());
    }
    TBytes Inflated;
    ASSERT_TRUE(Inflate(Stream, Whole.size(), Inflated));
    EXPECT_TRUE(Inflated == Whole);
}

std::vector<TJoinCase> JoinCases()
{
    std::vector<TJoinCase> Cases;
    for (TKind Kind : {TKind::Random, TKind::Text, TKind::Zeros, TKind::Mixed})
        for (std::size_t Size : {std::size_t(1), std::size_t(300), std::size_t(70000), std::size_t(1) << 20})
            for (int Level : {0, 1, 4, 6, 9, 12})
                Cases.push_back({Kind, Size, Level});
    return Cases;
}

std::string JoinCaseName(const ::testing::TestParamInfo<TJoinCase>& Info)
{
    static const char* const Kinds[] = {"random", "text", "zeros", "mixed"};
    return std::string(Kinds[static_cast<int>(Info.param.Kind)]) + "_size_" +
           TestNameOf(static_cast<long long>(Info.param.Size)) + "_level_" + TestNameOf(Info.param.Level);
}

INSTANTIATE_TEST_SUITE_P(KindsSizesLevels, DeflateJoin, ::testing::ValuesIn(JoinCases()), JoinCaseName);

TEST(DeflateTail, RejectsWhatIsNotExactlyOneStream)
{
    const TBytes Data = MakeData(TKind::Mixed, 50000, 7);
    const TBytes Good = Compress(Data, 6);
    ASSERT_TRUE(FindDeflateTail(Good.data(), Good.size()).has_value());

    EXPECT_FALSE(FindDeflateTail(nullptr, 0).has_value());
    TBytes Truncated(Good.begin(), Good.begin() + Good.size() / 2);
    EXPECT_FALSE(FindDeflateTail(Truncated.data(), Truncated.size()).has_value());
    TBytes Trailing = Good;
    Trailing.push_back(0);
    EXPECT_FALSE(FindDeflateTail(Trailing.data(), Trailing.size()).has_value());
    const TBytes ReservedType = {0x07, 0x00, 0x00};
    EXPECT_FALSE(FindDeflateTail(ReservedType.data(), ReservedType.size()).has_value());
    const TBytes BadStoredLength = {0x01, 0x05, 0x00, 0xFA, 0xF0, 1, 2, 3, 4, 5};
    EXPECT_FALSE(FindDeflateTail(BadStoredLength.data(), BadStoredLength.size()).has_value());

    // Random bytes never crash the walk and leave the stream untouched when refused.
    std::mt19937 Random(3);
    for (int Round = 0; Round < 300; ++Round) {
        TBytes Noise(1 + Random() % 2000);
        for (auto& Byte : Noise)
            Byte = std::uint8_t(Random());
        const TBytes Before = Noise;
        if (!MakeDeflateJoinable(Noise)) {
            EXPECT_TRUE(Noise == Before);
        }
    }
}

TEST(DeflateTail, StoredBlockWrittenByHandIsWalked)
{
    // One final stored block holding "abc": header byte, LEN, NLEN, data.
    TBytes Stored = {0x01, 0x03, 0x00, 0xFC, 0xFF, 'a', 'b', 'c'};
    const auto Tail = FindDeflateTail(Stored.data(), Stored.size());
    ASSERT_TRUE(Tail.has_value());
    EXPECT_EQ(Tail->FinalHeaderBit, 0u);
    EXPECT_EQ(Tail->EndBit, Stored.size() * 8);
    ASSERT_TRUE(MakeDeflateJoinable(Stored));
    EXPECT_TRUE(Stored ==
                (TBytes{0x00, 0x03, 0x00, 0xFC, 0xFF, 'a', 'b', 'c', 0x00, 0x00, 0x00, 0xFF, 0xFF}));
}

TEST(Adler32Combine, EqualsTheSumOfTheWhole)
{
    const TBytes Data = MakeData(TKind::Random, 300000, 11);
    const std::uint32_t Whole = libdeflate_adler32(1, Data.data(), Data.size());
    for (std::size_t Split : {std::size_t(0), std::size_t(1), std::size_t(65520), std::size_t(65521),
                              std::size_t(150001), Data.size() - 1, Data.size()}) {
        const std::uint32_t First = libdeflate_adler32(1, Data.data(), Split);
        const std::uint32_t Second = libdeflate_adler32(1, Data.data() + Split, Data.size() - Split);
        EXPECT_EQ(Adler32Combine(First, Second, Data.size() - Split), Whole) << "split at " << Split;
    }
    const TBytes Ones(1 << 20, 0xFF);
    const std::uint32_t Part = libdeflate_adler32(1, Ones.data(), Ones.size());
    std::uint32_t Combined = 1;
    for (int I = 0; I < 4; ++I)
        Combined = Adler32Combine(Combined, Part, Ones.size());
    std::uint32_t Sequential = 1;
    for (int I = 0; I < 4; ++I)
        Sequential = libdeflate_adler32(Sequential, Ones.data(), Ones.size());
    EXPECT_EQ(Combined, Sequential);
}

} // namespace
