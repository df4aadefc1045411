#pragma once

#include "data/rar20_audio_channel.h"
#include "data/rar20_bit_reader.h"
#include "data/rar20_huffman_table.h"
#include "data/rar20_tables.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <span>

// The RAR 2.0 decompressor: Huffman-coded LZ77 over a 1 MiB window, and the multimedia mode's delta
// prediction for 1 to 4 interleaved channels. One instance decodes a solid archive's members in order,
// each going on from the window, code tables and state the one before left.
class Rar20Unpacker {
public:
    // The most bytes one code can produce (a match of the longest length slot, lengthened for its distance),
    // and so the most one packed bit can: the shortest codes are one bit long.
    static constexpr std::uint32_t longestMatch = 260;

    // Receives decoded bytes in order, in pieces.
    using Sink = std::function<void(std::span<const std::uint8_t>)>;

    // Decodes one member from its packed bytes and hands its first `unpackedSize` bytes to `sink`.
    // A solid continuation goes on from the state the previous member left; any other member, and a
    // continuation with no member before it, starts from a cleared window and reads its own code tables.
    // Returns false when the data cannot be followed (bits consumed past its end, an impossible code-length
    // table) or when the state to go on from is broken; `sink` may have received part of the member then.
    bool unpack(std::span<const std::uint8_t> packed, std::uint32_t unpackedSize, bool solidContinuation,
                const Sink& sink);
    // The same for the `packedSize` bytes at `offset` in an archive, read a chunk at a time.
    bool unpack(ArchiveSource& archive, std::uint64_t offset, std::uint32_t packedSize,
                std::uint32_t unpackedSize, bool solidContinuation, const Sink& sink);

    // Whether a solid continuation can go on from the state left behind: false after a member that failed
    // and after discardState(), until a member that starts afresh.
    bool canContinue() const { return state_ != State::broken; }

    // Marks the state as broken, for a member whose output turned out wrong (its CRC failed).
    void discardState() { state_ = State::broken; }

private:
    static constexpr std::size_t windowSize = rar20WindowSize;
    static constexpr std::size_t windowMask = windowSize - 1;
    static constexpr std::size_t mainSymbols = rar20MainSymbols;
    static constexpr std::size_t distanceSymbols = rar20DistanceSymbols;
    static constexpr std::size_t repeatLengthSymbols = rar20RepeatLengthSymbols;
    static constexpr std::size_t audioSymbols = rar20MultimediaSymbols;
    static constexpr std::size_t maxChannels = rar20MaxChannels;

    bool unpack(Rar20BitReader& bits, std::uint32_t unpackedSize, bool solidContinuation, const Sink& sink);
    bool startAfresh();
    bool decode(Rar20BitReader& bits, std::int64_t& toProduce, const Sink& sink);
    bool readTables(Rar20BitReader& bits);
    void readTablesAhead(Rar20BitReader& bits);
    void decodeLzSymbol(std::uint32_t symbol, Rar20BitReader& bits, std::int64_t& toProduce);
    void copyMatch(std::uint32_t length, std::uint32_t distance);
    void putByte(std::uint8_t byte) {
        window_[writePosition_] = byte;
        writePosition_ = (writePosition_ + 1) & windowMask;
    }
    bool flushDue() const {
        return flushPosition_ != writePosition_ && ((flushPosition_ - writePosition_) & windowMask) < 270;
    }
    void flush(const Sink& sink, std::uint32_t& outputLeft);

    struct FreeWindow {
        void operator()(std::uint8_t* window) const { std::free(window); }
    };
    std::unique_ptr<std::uint8_t[], FreeWindow> window_;
    // The window is written from position 0 after a fresh start; bytes from windowUsed_ on are still zero.
    std::size_t windowUsed_ = 0;
    std::size_t writePosition_ = 0;
    std::size_t flushPosition_ = 0;

    // The code lengths of the last table read, which the next read may add to.
    std::array<std::uint8_t, maxChannels * audioSymbols> savedLengths_{};
    Rar20HuffmanTable mainTable_;
    Rar20HuffmanTable distanceTable_;
    Rar20HuffmanTable repeatLengthTable_;
    std::array<Rar20HuffmanTable, maxChannels> audioTables_;

    std::array<std::uint32_t, 4> distanceRing_{};
    std::uint32_t ringIndex_ = 0;
    std::uint32_t lastDistance_ = 0;
    std::uint32_t lastLength_ = 0;

    bool audioMode_ = false;
    std::size_t channelCount_ = 1;
    std::size_t currentChannel_ = 0;
    std::array<Rar20AudioChannel, maxChannels> channels_{};
    int channelDelta_ = 0;

    // fresh: nothing decoded yet; intact: a member decoded completely; broken: the last member failed.
    enum class State { fresh, intact, broken };
    State state_ = State::fresh;
};
