#include "imaging/png/png_deflate_join.h"

#include <array>
#include <bit>
#include <cstring>

namespace
{

constexpr int MaxCodeBits = 15;

// Reads bits least significant first, as deflate packs them. Reading past the
// end yields zeros; callers compare Bit with TotalBits to notice an overrun.
class TBitReader
{
  public:
    TBitReader(const std::uint8_t* Data, std::size_t Size) : FData(Data), FSize(Size), TotalBits(Size * 8) {}

    std::uint32_t Peek(unsigned Count) const
    {
        const std::size_t Byte = Bit >> 3;
        std::uint64_t Word = 0;
        if (Byte + 8 <= FSize) {
            std::memcpy(&Word, FData + Byte, 8);
            if constexpr (std::endian::native == std::endian::big)
                Word = __builtin_bswap64(Word);
        } else {
            for (std::size_t I = 0; Byte + I < FSize && I < 8; ++I)
                Word |= std::uint64_t(FData[Byte + I]) << (8 * I);
        }
        return std::uint32_t((Word >> (Bit & 7)) & ((std::uint64_t(1) << Count) - 1));
    }
    std::uint32_t Read(unsigned Count)
    {
        const std::uint32_t Value = Count ? Peek(Count) : 0;
        Bit += Count;
        return Value;
    }
    bool Overrun() const { return Bit > TotalBits; }
    const std::uint8_t* Bytes() const { return FData; }

    std::size_t Bit = 0;

  private:
    const std::uint8_t* FData;
    std::size_t FSize;

  public:
    const std::size_t TotalBits;
};

// A canonical Huffman decoding table indexed directly by the next TableBits
// bits; each entry is (symbol << 4) | code length, 0 where no code maps.
struct THuffmanTable {
    std::vector<std::uint16_t> Entries;
    unsigned TableBits = 0;

    bool Build(const std::uint8_t* Lengths, unsigned Count)
    {
        std::array<unsigned, MaxCodeBits + 1> PerLength{};
        for (unsigned I = 0; I < Count; ++I)
            ++PerLength[Lengths[I]];
        PerLength[0] = 0;
        TableBits = 0;
        int Left = 1;
        for (unsigned Len = 1; Len <= MaxCodeBits; ++Len) {
            Left = Left * 2 - int(PerLength[Len]);
            if (Left < 0)
                return false; // over-subscribed
            if (PerLength[Len])
                TableBits = Len;
        }
        if (TableBits == 0) {
            // No codes at all: any lookup must fail, which a one-bit table of zeros does.
            TableBits = 1;
            Entries.assign(2, 0);
            return true;
        }
        Entries.assign(std::size_t(1) << TableBits, 0);
        std::array<unsigned, MaxCodeBits + 2> NextCode{};
        unsigned Code = 0;
        for (unsigned Len = 1; Len <= MaxCodeBits; ++Len) {
            Code = (Code + PerLength[Len - 1]) << 1;
            NextCode[Len] = Code;
        }
        for (unsigned Symbol = 0; Symbol < Count; ++Symbol) {
            const unsigned Len = Lengths[Symbol];
            if (!Len)
                continue;
            unsigned Value = NextCode[Len]++, Reversed = 0;
            for (unsigned I = 0; I < Len; ++I, Value >>= 1)
                Reversed = (Reversed << 1) | (Value & 1);
            const std::uint16_t Entry = std::uint16_t((Symbol << 4) | Len);
            for (std::size_t Index = Reversed; Index < Entries.size(); Index += std::size_t(1) << Len)
                Entries[Index] = Entry;
        }
        return true;
    }

    // Symbol, or -1 for a bit pattern no code starts with.
    int Decode(TBitReader& Reader) const
    {
        const std::uint16_t Entry = Entries[Reader.Peek(TableBits)];
        if (!(Entry & 15))
            return -1;
        Reader.Bit += Entry & 15;
        return Entry >> 4;
    }
};

constexpr std::array<std::uint8_t, 29> LengthExtraBits = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                          2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<std::uint8_t, 30> DistanceExtraBits = {
    0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

bool SkipCompressedData(TBitReader& Reader, const THuffmanTable& LitLen, const THuffmanTable& Distance)
{
    for (;;) {
        if (Reader.Overrun())
            return false;
        const int Symbol = LitLen.Decode(Reader);
        if (Symbol < 256) {
            if (Symbol < 0)
                return false;
            continue;
        }
        if (Symbol == 256)
            return true;
        if (Symbol > 285)
            return false;
        Reader.Bit += LengthExtraBits[Symbol - 257];
        const int DistanceSymbol = Distance.Decode(Reader);
        if (DistanceSymbol < 0 || DistanceSymbol > 29)
            return false;
        Reader.Bit += DistanceExtraBits[DistanceSymbol];
    }
}

bool ReadDynamicTables(TBitReader& Reader, THuffmanTable& LitLen, THuffmanTable& Distance)
{
    static constexpr std::array<std::uint8_t, 19> Order = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                           11, 4,  12, 3, 13, 2, 14, 1, 15};
    const unsigned LitLenCount = Reader.Read(5) + 257;
    const unsigned DistanceCount = Reader.Read(5) + 1;
    const unsigned CodeLengthCount = Reader.Read(4) + 4;
    if (LitLenCount > 286 || DistanceCount > 30)
        return false;
    std::array<std::uint8_t, 19> CodeLengthLengths{};
    for (unsigned I = 0; I < CodeLengthCount; ++I)
        CodeLengthLengths[Order[I]] = std::uint8_t(Reader.Read(3));
    THuffmanTable CodeLengths;
    if (!CodeLengths.Build(CodeLengthLengths.data(), 19))
        return false;

    std::array<std::uint8_t, 286 + 30> Lengths{};
    const unsigned Total = LitLenCount + DistanceCount;
    for (unsigned I = 0; I < Total;) {
        if (Reader.Overrun())
            return false;
        const int Symbol = CodeLengths.Decode(Reader);
        if (Symbol < 0)
            return false;
        if (Symbol < 16) {
            Lengths[I++] = std::uint8_t(Symbol);
            continue;
        }
        unsigned Repeat = 0;
        std::uint8_t Value = 0;
        if (Symbol == 16) {
            if (I == 0)
                return false;
            Value = Lengths[I - 1];
            Repeat = 3 + Reader.Read(2);
        } else if (Symbol == 17) {
            Repeat = 3 + Reader.Read(3);
        } else {
            Repeat = 11 + Reader.Read(7);
        }
        if (I + Repeat > Total)
            return false;
        for (unsigned K = 0; K < Repeat; ++K)
            Lengths[I++] = Value;
    }
    if (Lengths[256] == 0)
        return false; // a block that cannot end
    return LitLen.Build(Lengths.data(), LitLenCount) &&
           Distance.Build(Lengths.data() + LitLenCount, DistanceCount);
}

} // namespace

std::optional<TDeflateTail> FindDeflateTail(const std::uint8_t* Data, std::size_t Size)
{
    if (!Data || Size == 0)
        return std::nullopt;
    TBitReader Reader(Data, Size);
    THuffmanTable LitLen, Distance;
    for (;;) {
        const std::size_t HeaderBit = Reader.Bit;
        const bool Final = Reader.Read(1) != 0;
        const unsigned Type = Reader.Read(2);
        if (Type == 0) {
            Reader.Bit = (Reader.Bit + 7) & ~std::size_t(7);
            const std::size_t Byte = Reader.Bit >> 3;
            if (Byte + 4 > Size)
                return std::nullopt;
            const unsigned Length = Data[Byte] | unsigned(Data[Byte + 1]) << 8;
            const unsigned Complement = Data[Byte + 2] | unsigned(Data[Byte + 3]) << 8;
            if ((Length ^ 0xFFFFu) != Complement)
                return std::nullopt;
            Reader.Bit += 32 + std::size_t(Length) * 8;
        } else if (Type == 1) {
            std::array<std::uint8_t, 288 + 32> Lengths{};
            std::memset(Lengths.data(), 8, 144);
            std::memset(Lengths.data() + 144, 9, 112);
            std::memset(Lengths.data() + 256, 7, 24);
            std::memset(Lengths.data() + 280, 8, 8);
            std::memset(Lengths.data() + 288, 5, 32);
            LitLen.Build(Lengths.data(), 288);
            Distance.Build(Lengths.data() + 288, 32);
            if (!SkipCompressedData(Reader, LitLen, Distance))
                return std::nullopt;
        } else if (Type == 2) {
            if (!ReadDynamicTables(Reader, LitLen, Distance) || !SkipCompressedData(Reader, LitLen, Distance))
                return std::nullopt;
        } else {
            return std::nullopt;
        }
        if (Reader.Overrun())
            return std::nullopt;
        if (Final) {
            // Only padding may follow the final block.
            if ((Reader.Bit + 7) / 8 != Size)
                return std::nullopt;
            return TDeflateTail{HeaderBit, Reader.Bit};
        }
    }
}

bool MakeDeflateJoinable(std::vector<std::uint8_t>& Stream)
{
    const auto Tail = FindDeflateTail(Stream.data(), Stream.size());
    if (!Tail)
        return false;
    Stream[Tail->FinalHeaderBit >> 3] &= std::uint8_t(~(1u << (Tail->FinalHeaderBit & 7)));
    // Clear the padding after the last block: the next three bits are the
    // empty stored block's header (not final, type 0), then it aligns.
    if (Tail->EndBit & 7)
        Stream[Tail->EndBit >> 3] &= std::uint8_t((1u << (Tail->EndBit & 7)) - 1);
    const std::size_t AlignedEnd = (Tail->EndBit + 3 + 7) / 8;
    Stream.resize(AlignedEnd, 0);
    Stream.insert(Stream.end(), {0x00, 0x00, 0xFF, 0xFF});
    return true;
}

std::uint32_t Adler32Combine(std::uint32_t First, std::uint32_t Second, std::uint64_t SecondLength)
{
    constexpr std::uint64_t Base = 65521;
    const std::uint64_t Remainder = SecondLength % Base;
    std::uint64_t Sum1 = First & 0xFFFF;
    std::uint64_t Sum2 = (Remainder * Sum1) % Base;
    Sum1 += (Second & 0xFFFF) + Base - 1;
    Sum2 += ((First >> 16) & 0xFFFF) + ((Second >> 16) & 0xFFFF) + Base - Remainder;
    Sum1 %= Base;
    Sum2 %= Base;
    return std::uint32_t(Sum1 | (Sum2 << 16));
}
