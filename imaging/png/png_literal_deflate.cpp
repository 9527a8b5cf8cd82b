#include "imaging/png/png_literal_deflate.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace
{

constexpr int LitLenSymbols = 286;
constexpr int DistanceSymbols = 30;
constexpr int MaxCodeBits = 15;
constexpr int MaxCodeLengthBits = 7;
constexpr int EndOfBlock = 256;
constexpr int MaxMatch = 258;

// Deflate's length codes: the base length of each code 257..285.
constexpr std::array<std::uint16_t, 29> LengthBase = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                                      15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                                      67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<std::uint8_t, 29> LengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                      2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};

struct TLengthSlot {
    std::uint16_t Symbol = 0;
    std::uint8_t ExtraBits = 0;
    std::uint16_t ExtraValue = 0;
};

constexpr std::array<TLengthSlot, MaxMatch + 1> MakeLengthSlots()
{
    std::array<TLengthSlot, MaxMatch + 1> Slots{};
    for (int Length = 3; Length <= MaxMatch; ++Length) {
        int Code = 28;
        while (LengthBase[Code] > Length)
            --Code;
        Slots[Length] = {std::uint16_t(257 + Code), LengthExtra[Code],
                         std::uint16_t(Length - LengthBase[Code])};
    }
    return Slots;
}
constexpr auto LengthSlots = MakeLengthSlots();

// Collects bits least significant first, as deflate packs them, straight
// into Out; room must be reserved before writing.
class TBitWriter
{
  public:
    explicit TBitWriter(std::vector<std::uint8_t>& Out) : FOut(Out), FPosition(Out.size()) {}

    void Reserve(std::size_t Bytes)
    {
        if (FOut.size() < FPosition + Bytes + 8)
            FOut.resize(std::max(FPosition + Bytes + 8, FOut.size() + FOut.size() / 2));
    }
    void Put(std::uint32_t Bits, unsigned Count)
    {
        FBuffer |= std::uint64_t(Bits) << FCount;
        FCount += Count;
        if (FCount >= 32) {
            std::uint8_t* At = FOut.data() + FPosition;
            At[0] = std::uint8_t(FBuffer);
            At[1] = std::uint8_t(FBuffer >> 8);
            At[2] = std::uint8_t(FBuffer >> 16);
            At[3] = std::uint8_t(FBuffer >> 24);
            FPosition += 4;
            FBuffer >>= 32;
            FCount -= 32;
        }
    }
    // The writer's state in locals, for the token loop: bytes stored through
    // a member could alias the members, which keeps them out of registers.
    // Room must be reserved.
    struct TFast {
        std::uint8_t* At;
        std::uint64_t Buffer;
        unsigned Count;
        void Put(std::uint32_t Bits, unsigned BitCount)
        {
            Buffer |= std::uint64_t(Bits) << Count;
            Count += BitCount;
            if (Count >= 32) {
                At[0] = std::uint8_t(Buffer);
                At[1] = std::uint8_t(Buffer >> 8);
                At[2] = std::uint8_t(Buffer >> 16);
                At[3] = std::uint8_t(Buffer >> 24);
                At += 4;
                Buffer >>= 32;
                Count -= 32;
            }
        }
    };
    TFast Fast() { return TFast{FOut.data() + FPosition, FBuffer, FCount}; }
    void Resume(const TFast& State)
    {
        FPosition = std::size_t(State.At - FOut.data());
        FBuffer = State.Buffer;
        FCount = State.Count;
    }
    // Pads with zero bits to the next byte boundary and empties the buffer.
    void Align()
    {
        Reserve(8);
        while (FCount > 0) {
            FOut[FPosition++] = std::uint8_t(FBuffer);
            FBuffer >>= 8;
            FCount = FCount > 8 ? FCount - 8 : 0;
        }
        FBuffer = 0;
    }
    // Aligns and cuts Out to what was written.
    void Finish()
    {
        Align();
        FOut.resize(FPosition);
    }

  private:
    std::vector<std::uint8_t>& FOut;
    std::size_t FPosition;
    std::uint64_t FBuffer = 0;
    unsigned FCount = 0;
};

// A canonical Huffman code limited to MaxBits: lengths and bit-reversed codes.
template <int Count> struct THuffmanCode {
    std::array<std::uint8_t, Count> Lengths{};
    std::array<std::uint16_t, Count> Codes{};

    // Every code is complete (at least two symbols get a length), which all
    // decoders accept, even where only one symbol occurs.
    void Build(const std::array<std::uint32_t, Count>& Frequencies, int MaxBits)
    {
        std::array<std::uint32_t, Count> Freq = Frequencies;
        int Used = 0;
        for (int S = 0; S < Count && Used < 2; ++S)
            Used += Freq[S] != 0;
        for (int S = 0; S < Count && Used < 2; ++S)
            if (!Freq[S]) {
                Freq[S] = 1;
                ++Used;
            }

        // Symbols by rising frequency; Huffman's merge with two queues.
        std::array<std::uint16_t, Count> Order{};
        int N = 0;
        for (int S = 0; S < Count; ++S)
            if (Freq[S])
                Order[N++] = std::uint16_t(S);
        std::stable_sort(Order.begin(), Order.begin() + N,
                         [&](std::uint16_t A, std::uint16_t B) { return Freq[A] < Freq[B]; });
        std::array<std::uint64_t, 2 * Count> Weight{};
        std::array<int, 2 * Count> Parent{};
        for (int I = 0; I < N; ++I)
            Weight[I] = Freq[Order[I]];
        int Leaf = 0, Node = N, NextNode = N;
        auto TakeSmallest = [&]() {
            if (Leaf < N && (Node >= NextNode || Weight[Leaf] <= Weight[Node]))
                return Leaf++;
            return Node++;
        };
        for (int I = 0; I < N - 1; ++I) {
            const int A = TakeSmallest(), B = TakeSmallest();
            Weight[NextNode] = Weight[A] + Weight[B];
            Parent[A] = Parent[B] = NextNode;
            ++NextNode;
        }
        // Depths from the root (the last node) down.
        std::array<int, 2 * Count> Depth{};
        Depth[NextNode - 1] = 0;
        for (int I = NextNode - 2; I >= 0; --I)
            Depth[I] = Depth[Parent[I]] + 1;

        // Lengths over the limit are folded in, then the Kraft sum is
        // restored by lengthening the shortest codes that can give room.
        std::array<int, 64> PerLength{};
        for (int I = 0; I < N; ++I)
            ++PerLength[std::min(Depth[I], MaxBits)];
        std::uint64_t Kraft = 0;
        for (int L = 1; L <= MaxBits; ++L)
            Kraft += std::uint64_t(PerLength[L]) << (MaxBits - L);
        while (Kraft > (std::uint64_t(1) << MaxBits)) {
            --PerLength[MaxBits];
            for (int L = MaxBits - 1; L > 0; --L)
                if (PerLength[L]) {
                    --PerLength[L];
                    PerLength[L + 1] += 2;
                    break;
                }
            --Kraft;
        }
        // The most frequent symbols (the end of Order) get the shortest codes.
        Lengths.fill(0);
        int I = N - 1;
        for (int L = 1; L <= MaxBits; ++L)
            for (int K = 0; K < PerLength[L]; ++K)
                Lengths[Order[I--]] = std::uint8_t(L);

        std::array<std::uint16_t, MaxCodeBits + 2> Next{};
        std::array<int, MaxCodeBits + 1> CountOf{};
        for (int S = 0; S < Count; ++S)
            ++CountOf[Lengths[S]];
        CountOf[0] = 0;
        std::uint16_t Code = 0;
        for (int L = 1; L <= MaxCodeBits; ++L) {
            Code = std::uint16_t((Code + CountOf[L - 1]) << 1);
            Next[L] = Code;
        }
        for (int S = 0; S < Count; ++S) {
            const int L = Lengths[S];
            if (!L)
                continue;
            std::uint16_t Value = Next[L]++, Reversed = 0;
            for (int B = 0; B < L; ++B, Value >>= 1)
                Reversed = std::uint16_t((Reversed << 1) | (Value & 1));
            Codes[S] = Reversed;
        }
    }
    void Put(TBitWriter& Writer, int Symbol) const { Writer.Put(Codes[Symbol], Lengths[Symbol]); }
};

// A literal byte, or a run: its length code plus the length << 16.
using TToken = std::uint32_t;

void WriteBlock(TBitWriter& Writer, const TToken* Tokens, std::size_t TokenCount,
                const std::array<std::uint32_t, LitLenSymbols>& LitLenFreq, bool Final)
{
    THuffmanCode<LitLenSymbols> LitLen;
    LitLen.Build(LitLenFreq, MaxCodeBits);
    std::array<std::uint32_t, DistanceSymbols> DistanceFreq{};
    DistanceFreq[0] = 1; // distance 1, the only one used; Build completes the code
    THuffmanCode<DistanceSymbols> Distance;
    Distance.Build(DistanceFreq, MaxCodeBits);

    int LitLenCount = LitLenSymbols;
    while (LitLenCount > 257 && !LitLen.Lengths[LitLenCount - 1])
        --LitLenCount;
    int DistanceCount = DistanceSymbols;
    while (DistanceCount > 1 && !Distance.Lengths[DistanceCount - 1])
        --DistanceCount;

    // Both length tables as one sequence, run-length coded with 16, 17, 18.
    std::array<std::uint8_t, LitLenSymbols + DistanceSymbols> All{};
    std::copy_n(LitLen.Lengths.begin(), LitLenCount, All.begin());
    std::copy_n(Distance.Lengths.begin(), DistanceCount, All.begin() + LitLenCount);
    const int Total = LitLenCount + DistanceCount;
    struct TLengthToken {
        std::uint8_t Symbol, Extra;
    };
    std::vector<TLengthToken> LengthTokens;
    std::array<std::uint32_t, 19> LengthFreq{};
    for (int I = 0; I < Total;) {
        const std::uint8_t Value = All[I];
        int Run = 1;
        while (I + Run < Total && All[I + Run] == Value)
            ++Run;
        int Left = Run;
        if (Value == 0) {
            while (Left >= 11) {
                const int Take = std::min(Left, 138);
                LengthTokens.push_back({18, std::uint8_t(Take - 11)});
                Left -= Take;
            }
            if (Left >= 3) {
                LengthTokens.push_back({17, std::uint8_t(Left - 3)});
                Left = 0;
            }
        } else {
            LengthTokens.push_back({Value, 0});
            --Left;
            while (Left >= 3) {
                const int Take = std::min(Left, 6);
                LengthTokens.push_back({16, std::uint8_t(Take - 3)});
                Left -= Take;
            }
        }
        for (; Left > 0; --Left)
            LengthTokens.push_back({Value, 0});
        I += Run;
    }
    for (const TLengthToken& T : LengthTokens)
        ++LengthFreq[T.Symbol];
    THuffmanCode<19> LengthCode;
    LengthCode.Build(LengthFreq, MaxCodeLengthBits);
    static constexpr std::array<std::uint8_t, 19> Order = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                           11, 4,  12, 3, 13, 2, 14, 1, 15};
    int LengthCount = 19;
    while (LengthCount > 4 && !LengthCode.Lengths[Order[LengthCount - 1]])
        --LengthCount;

    // The header is at most about 300 bytes; a token at most 35 bits.
    Writer.Reserve(512 + TokenCount * 5);
    Writer.Put(Final ? 1 : 0, 1);
    Writer.Put(2, 2); // dynamic Huffman codes
    Writer.Put(unsigned(LitLenCount - 257), 5);
    Writer.Put(unsigned(DistanceCount - 1), 5);
    Writer.Put(unsigned(LengthCount - 4), 4);
    for (int I = 0; I < LengthCount; ++I)
        Writer.Put(LengthCode.Lengths[Order[I]], 3);
    for (const TLengthToken& T : LengthTokens) {
        LengthCode.Put(Writer, T.Symbol);
        if (T.Symbol == 16)
            Writer.Put(T.Extra, 2);
        else if (T.Symbol == 17)
            Writer.Put(T.Extra, 3);
        else if (T.Symbol == 18)
            Writer.Put(T.Extra, 7);
    }

    std::array<std::uint32_t, LitLenSymbols> Entries{}; // code | length << 16
    for (int S = 0; S < LitLenSymbols; ++S)
        Entries[S] = LitLen.Codes[S] | std::uint32_t(LitLen.Lengths[S]) << 16;
    // A run's length code and extra bits as one bit string, by run length.
    std::array<std::uint32_t, MaxMatch + 1> Runs{}; // bits | count << 24
    for (int Length = 3; Length <= MaxMatch; ++Length) {
        const TLengthSlot& Slot = LengthSlots[Length];
        const unsigned CodeBits = LitLen.Lengths[Slot.Symbol];
        Runs[std::size_t(Length)] = (LitLen.Codes[Slot.Symbol] | std::uint32_t(Slot.ExtraValue) << CodeBits) |
                                    std::uint32_t(CodeBits + Slot.ExtraBits) << 24;
    }
    const std::uint32_t DistanceCode = Distance.Codes[0];
    const unsigned DistanceBits = Distance.Lengths[0];
    TBitWriter::TFast Fast = Writer.Fast();
    for (std::size_t I = 0; I < TokenCount; ++I) {
        const TToken T = Tokens[I];
        if (T <= 0xFFFF) {
            const std::uint32_t Entry = Entries[T];
            Fast.Put(Entry & 0xFFFF, Entry >> 16);
        } else {
            const std::uint32_t Run = Runs[T >> 16];
            Fast.Put(Run & 0xFFFFFF, Run >> 24);
            Fast.Put(DistanceCode, DistanceBits);
        }
    }
    Writer.Resume(Fast);
    LitLen.Put(Writer, EndOfBlock);
}

} // namespace

void DeflateLiteralsAndRuns(const std::uint8_t* Data, std::size_t Size, bool Final,
                            std::vector<std::uint8_t>& Out, int MinRun, std::size_t BlockBytes)
{
    MinRun = std::clamp(MinRun, 3, MaxMatch);
    BlockBytes = std::max<std::size_t>(BlockBytes, 1024);
    TBitWriter Writer(Out);
    // Kept by the thread from call to call, so that band after band does
    // not ask for (and clear) fresh memory; it only grows to the largest block.
    thread_local std::vector<TToken> Tokens;
    if (Tokens.size() < std::min(BlockBytes, Size) + 1)
        Tokens.resize(std::min(BlockBytes, Size) + 1);
    std::size_t Position = 0;
    do {
        const std::size_t End = std::min(Size, Position + BlockBytes);
        std::size_t Count = 0;
        std::array<std::uint32_t, LitLenSymbols> Freq{};
        // A run repeats the byte before it, so it can start at the block's
        // first byte too; only the very first byte has nothing before it.
        if (Position == 0 && End > 0) {
            Tokens[Count++] = Data[0];
            ++Freq[Data[0]];
            ++Position;
        }
        while (Position < End) {
            const std::uint8_t Byte = Data[Position];
            if (Byte != Data[Position - 1]) {
                Tokens[Count++] = Byte;
                ++Freq[Byte];
                ++Position;
                continue;
            }
            const std::size_t Limit = std::min<std::size_t>(End - Position, MaxMatch);
            std::size_t Run = 1;
            while (Run < Limit && Data[Position + Run] == Byte)
                ++Run;
            if (Run >= std::size_t(MinRun)) {
                const TLengthSlot& Slot = LengthSlots[Run];
                Tokens[Count++] = Slot.Symbol | TToken(Run) << 16;
                ++Freq[Slot.Symbol];
            } else {
                for (std::size_t K = 0; K < Run; ++K)
                    Tokens[Count++] = Byte;
                Freq[Byte] += std::uint32_t(Run);
            }
            Position += Run;
        }
        Freq[EndOfBlock] = 1;
        WriteBlock(Writer, Tokens.data(), Count, Freq, Final && Position == Size);
    } while (Position < Size);
    if (!Final) {
        Writer.Put(0, 3); // an empty stored block that is not the last
        Writer.Align();
        Writer.Reserve(4);
        for (const std::uint8_t B : {0x00, 0x00, 0xFF, 0xFF})
            Writer.Put(B, 8);
    }
    Writer.Finish();
}
