// The inflater behind the streamed PNG road, whichever library the build
// uses: any split of the compressed bytes and of the output gives the data
// back, and the stream's end is told exactly, with what follows it.
#include "imaging/codecs/zlib_inflater.h"
#include "tests/support/image_test_helpers.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <random>
#include <vector>

namespace
{
using TBytes = std::vector<std::uint8_t>;

// Noise with long runs between, so that the stream holds literals, matches
// and stored-looking stretches alike.
TBytes Sample()
{
    std::mt19937 random(11);
    TBytes data;
    while (data.size() < 300000)
        data.insert(data.end(), random() % 3 ? 1 + random() % 40 : 2000,
                    std::uint8_t(random() % 5 ? random() : 0));
    return data;
}

TBytes Compressed(const TBytes& Data)
{
    uLongf size = compressBound(uLong(Data.size()));
    TBytes packed(size);
    compress2(packed.data(), &size, Data.data(), uLong(Data.size()), 6);
    packed.resize(size);
    return packed;
}

struct TSplitCase {
    const char* Name;
    std::size_t Piece;    // compressed bytes given at a time
    std::size_t Step;     // output asked for at a time
    std::size_t Trailing; // bytes after the stream's end
};

class InflaterSplits : public ::testing::TestWithParam<TSplitCase>
{
};
} // namespace

TEST_P(InflaterSplits, GiveTheDataBackAndStopAtTheEnd)
{
    const TSplitCase& c = GetParam();
    const TBytes data = Sample();
    TBytes stream = Compressed(data);
    stream.insert(stream.end(), c.Trailing, 'x');
    TZlibInflater inflater;
    ASSERT_TRUE(inflater.Ready());
    TBytes out;
    std::size_t given = 0;
    std::uint8_t buffer[70000];
    // The loop ends when a call neither writes nor takes a byte.
    for (int idle = 0; idle < 2 && !inflater.Ended();) {
        if (inflater.Unused() == 0 && given < stream.size()) {
            const std::size_t take = std::min(c.Piece, stream.size() - given);
            inflater.Give(stream.data() + given, take);
            given += take;
        }
        const std::size_t before = inflater.Unused();
        const std::ptrdiff_t written = inflater.Inflate(buffer, c.Step);
        ASSERT_GE(written, 0);
        out.insert(out.end(), buffer, buffer + written);
        idle = written == 0 && inflater.Unused() == before ? idle + 1 : 0;
    }
    EXPECT_TRUE(inflater.Ended());
    EXPECT_TRUE(out == data);
    EXPECT_EQ(inflater.Unused() + (stream.size() - given), c.Trailing);
}

INSTANTIATE_TEST_SUITE_P(Splits, InflaterSplits,
                         ::testing::Values(TSplitCase{"whole stream, rows of a picture", 1 << 20, 24001, 0},
                                           TSplitCase{"chunks of 8 KiB, rows of one byte", 8192, 1, 0},
                                           TSplitCase{"one byte at a time both ways", 1, 1, 0},
                                           TSplitCase{"odd pieces, large output", 7, 70000, 0},
                                           TSplitCase{"data after the end, whole", 1 << 20, 4096, 5},
                                           TSplitCase{"data after the end, in pieces", 3, 333, 40}),
                         CaseName<TSplitCase>);

TEST(InflaterDamage, IsRefusedOrNeverEnds)
{
    const TBytes data = Sample();
    const TBytes sound = Compressed(data);
    TBytes badChecksum = sound;
    badChecksum.back() ^= 1;
    TBytes badHeader = sound;
    badHeader[1] ^= 1;
    const TBytes cut(sound.begin(), sound.begin() + std::ptrdiff_t(sound.size() / 2));
    const std::pair<const char*, const TBytes*> cases[] = {
        {"checksum", &badChecksum}, {"header", &badHeader}, {"cut", &cut}};
    for (const auto& [name, stream] : cases) {
        TZlibInflater inflater;
        inflater.Give(stream->data(), stream->size());
        TBytes out(data.size() + 1);
        std::size_t total = 0;
        std::ptrdiff_t written = 0;
        do {
            written = inflater.Inflate(out.data() + total, out.size() - total);
            total += std::size_t(std::max<std::ptrdiff_t>(written, 0));
        } while (written > 0 && !inflater.Ended());
        EXPECT_FALSE(inflater.Ended()) << name;
    }
}
