#include "imaging/png/png_literal_deflate.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
    // The writer's state in locals, for the literal loop: bytes stored
    // through a member could alias the members, which keeps them out of
    // registers. Eight bytes are stored at every flush and the whole bytes
    // among them kept, so flushing needs no branch; room must be reserved
    // for those eight bytes.
    struct TFast {
        std::uint8_t* At;
        std::uint64_t Buffer;
        unsigned Count;
        // Up to 56 bits may be added between flushes.
        void Add(std::uint64_t Bits, unsigned BitCount)
        {
            Buffer |= Bits << Count;
            Count += BitCount;
        }
        void Flush()
        {
            if constexpr (std::endian::native == std::endian::little) {
                std::memcpy(At, &Buffer, 8);
            } else {
                for (int I = 0; I < 8; ++I)
                    At[I] = std::uint8_t(Buffer >> (8 * I));
            }
            At += Count >> 3;
            Buffer >>= Count & ~7u;
            Count &= 7;
        }
    };
    TFast Fast()
    {
        TFast State{FOut.data() + FPosition, FBuffer, FCount};
        State.Flush();
        return State;
    }
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

// Run bytes that repeat the byte before them, coded as one length at distance 1.
struct TRun {
    std::size_t Start;
    std::uint32_t Length;
};

// Codes Data[0, Size) (literals but for Runs, in order) as one block.
void WriteBlock(TBitWriter& Writer, const std::uint8_t* Data, std::size_t Size, const std::vector<TRun>& Runs,
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

    // The header is at most about 300 bytes, a literal at most 15 bits, a
    // run of at least three bytes 35; eight bytes more for the last flush.
    Writer.Reserve(512 + Size * 2 + 8);
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
    std::array<std::uint32_t, MaxMatch + 1> RunCodes{}; // bits | count << 24
    for (int Length = 3; Length <= MaxMatch; ++Length) {
        const TLengthSlot& Slot = LengthSlots[Length];
        const unsigned CodeBits = LitLen.Lengths[Slot.Symbol];
        RunCodes[std::size_t(Length)] =
            (LitLen.Codes[Slot.Symbol] | std::uint32_t(Slot.ExtraValue) << CodeBits) |
            std::uint32_t(CodeBits + Slot.ExtraBits) << 24;
    }
    const std::uint32_t DistanceCode = Distance.Codes[0];
    const unsigned DistanceBits = Distance.Lengths[0];
    TBitWriter::TFast Fast = Writer.Fast();
    // Three literals are at most 45 bits, so one flush serves them.
    const auto Literals = [&](const std::uint8_t* From, std::size_t Count) {
        std::size_t I = 0;
        for (; I + 3 <= Count; I += 3) {
            const std::uint32_t A = Entries[From[I]], B = Entries[From[I + 1]], C = Entries[From[I + 2]];
            Fast.Add(A & 0xFFFF, A >> 16);
            Fast.Add(B & 0xFFFF, B >> 16);
            Fast.Add(C & 0xFFFF, C >> 16);
            Fast.Flush();
        }
        for (; I < Count; ++I) {
            const std::uint32_t A = Entries[From[I]];
            Fast.Add(A & 0xFFFF, A >> 16);
        }
        Fast.Flush();
    };
    std::size_t Position = 0;
    for (const TRun& Run : Runs) {
        Literals(Data + Position, Run.Start - Position);
        const std::uint32_t Code = RunCodes[Run.Length];
        Fast.Add(Code & 0xFFFFFF, Code >> 24);
        Fast.Add(DistanceCode, DistanceBits);
        Fast.Flush();
        Position = Run.Start + Run.Length;
    }
    Literals(Data + Position, Size - Position);
    Writer.Resume(Fast);
    LitLen.Put(Writer, EndOfBlock);
}

// Where Data[I] first repeats Data[I - 1] for I in [From, End), or End.
std::size_t NextRepeat(const std::uint8_t* Data, std::size_t From, std::size_t End)
{
    std::size_t I = From;
#if defined(__SSE2__)
    for (; I + 16 <= End; I += 16) {
        const __m128i Here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Data + I));
        const __m128i Before = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Data + I - 1));
        const unsigned Mask = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(Here, Before)));
        if (Mask)
            return I + std::size_t(std::countr_zero(Mask));
    }
#endif
    for (; I < End; ++I)
        if (Data[I] == Data[I - 1])
            return I;
    return End;
}

} // namespace

void DeflateLiteralsAndRuns(const std::uint8_t* Data, std::size_t Size, bool Final,
                            std::vector<std::uint8_t>& Out, int MinRun, std::size_t BlockBytes)
{
    MinRun = std::clamp(MinRun, 3, MaxMatch);
    BlockBytes = std::max<std::size_t>(BlockBytes, 1024);
    TBitWriter Writer(Out);
    // Kept by the thread from call to call, so that band after band does
    // not ask for fresh memory.
    thread_local std::vector<TRun> Runs;
    std::size_t Position = 0;
    do {
        const std::size_t Start = Position, End = std::min(Size, Position + BlockBytes);
        std::array<std::uint32_t, LitLenSymbols> Freq{};
        // Every byte counts as a literal, then those that runs take are
        // taken off; four tables, so that equal neighbours do not wait for
        // each other's count.
        std::array<std::array<std::uint32_t, 256>, 4> Counts{};
        std::size_t I = Start;
        for (; I + 4 <= End; I += 4) {
            ++Counts[0][Data[I]];
            ++Counts[1][Data[I + 1]];
            ++Counts[2][Data[I + 2]];
            ++Counts[3][Data[I + 3]];
        }
        for (; I < End; ++I)
            ++Counts[0][Data[I]];
        for (int B = 0; B < 256; ++B)
            Freq[std::size_t(B)] = Counts[0][std::size_t(B)] + Counts[1][std::size_t(B)] +
                                   Counts[2][std::size_t(B)] + Counts[3][std::size_t(B)];
        // A run repeats the byte before it, so it can start at the block's
        // first byte too; only the very first byte has nothing before it.
        // Repeats are taken 258 at most at a time; a piece shorter than
        // MinRun stays literals.
        Runs.clear();
        std::size_t At = std::max<std::size_t>(Start, 1);
        while ((At = NextRepeat(Data, At, End)) < End) {
            const std::uint8_t Byte = Data[At - 1];
            std::size_t Stretch = 1;
            while (At + Stretch < End && Data[At + Stretch] == Byte)
                ++Stretch;
            const std::size_t StretchEnd = At + Stretch;
            while (At < StretchEnd) {
                const std::size_t Run = std::min<std::size_t>(StretchEnd - At, MaxMatch);
                if (Run >= std::size_t(MinRun)) {
                    Runs.push_back({At - Start, std::uint32_t(Run)});
                    Freq[Byte] -= std::uint32_t(Run);
                    ++Freq[LengthSlots[Run].Symbol];
                }
                At += Run;
            }
        }
        Freq[EndOfBlock] = 1;
        Position = End;
        WriteBlock(Writer, Data + Start, End - Start, Runs, Freq, Final && Position == Size);
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
