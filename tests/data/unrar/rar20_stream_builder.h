#pragma once

#include "data/rar20_tables.h"
#include "tests/data/unrar/multimedia_model.h"
#include "tools/sdd/bit_writer.h"
#include "tools/sdd/huffman_code.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// Code lengths of one LZ table set: 298 main symbols (literals, match codes, table switch), 48 distance slots
// and 28 repeat-length slots.
struct LzTables {
    std::array<std::uint8_t, 298> main{};
    std::array<std::uint8_t, 48> distance{};
    std::array<std::uint8_t, 28> repeatLength{};
};

// Code lengths of one multimedia channel: 256 delta values and the table switch 256.
using MultimediaTable = std::array<std::uint8_t, 257>;

// One member's packed stream and the bytes it must extract to.
struct PackedMember {
    std::vector<std::uint8_t> packed;
    std::vector<std::uint8_t> expected;
};

// Writes RAR 2.0 streams symbol by symbol for tests, and follows what the decoder will do with them: the
// window, the distance ring, the saved code lengths and the multimedia predictors. Each call is one decoder
// step, so a test can aim at any code path. Misuse (a symbol without a code, a length or distance the step
// cannot express) is recorded in error() and the builder writes nothing more.
class Rar20StreamBuilder {
public:
    // A table read: header bits, the 19 bit-length lengths and the lengths coded through them. With
    // keepOldLengths the lengths go out as changes (mod 16) to those the previous table read saved.
    void lzTables(const LzTables& tables, bool keepOldLengths = false);
    void multimediaTables(std::span<const MultimediaTable> channels, bool keepOldLengths = false);
    // The code that asks for a table read (269 in LZ mode, 256 in multimedia mode); tables must follow.
    void tableSwitch();

    void literal(std::uint8_t byte);
    void literals(std::span<const std::uint8_t> bytes);
    // A match coded with a length slot (symbols 270..297) and a distance slot.
    void match(unsigned length, unsigned distance);
    // Symbol 256: the previous match's length and distance again.
    void lastMatch();
    // Symbols 257..260: the distance `age` matches ago (1 = the latest), with a length from the repeat table.
    void repeatMatch(int age, unsigned length);
    // Symbols 261..268: a two-byte match at a distance of 1..256.
    void shortMatch(unsigned distance);

    // Multimedia mode: the delta that makes the current channel decode to `byte`.
    void sample(std::uint8_t byte);
    void samples(std::span<const std::uint8_t> bytes);

    // Ends the member's output: the decoder stops after the member's last byte. Only a table switch with its
    // tables may follow; the decoder reads them at the end of the member, for a solid continuation.
    void endOutput();

    // The member's packed bytes and expected output (ending the output first if needed). The builder then
    // stands where a solid continuation starts: same window, tables and state, empty bit stream.
    PackedMember takeMember();

    // Bytes of the current member so far.
    std::size_t outputSize() const { return output_.size(); }

    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }

private:
    void readTables(bool multimedia, int channelCount, std::span<const std::uint8_t> lengths, bool keepOld);
    bool writeSymbol(const HuffmanCode& code, unsigned symbol, const char* what);
    // Writes the symbol firstSymbol + slot for the slot (of `bases`) holding `value`, then its extra bits.
    bool writeSlot(std::span<const std::uint32_t> bases, std::span<const std::uint8_t> extraBits,
                   const HuffmanCode& code, unsigned firstSymbol, unsigned value, const char* what);
    bool canWrite(const char* what, bool multimediaStep);
    bool checkDistance(unsigned distance, const char* what);
    void putByte(std::uint8_t byte);
    void copyMatch(unsigned length, unsigned distance);
    void decodeDelta(std::uint8_t delta);
    void fail(std::string message);

    BitWriter bits_;
    std::string error_;
    bool tablesExpected_ = true; // a table read must come next
    bool outputEnded_ = false;

    bool multimedia_ = false;
    int channelCount_ = 1;
    int currentChannel_ = 0;
    HuffmanCode mainCode_, distanceCode_, repeatLengthCode_;
    std::array<HuffmanCode, MultimediaModel::maxChannels> channelCodes_;
    std::array<std::uint8_t, 4 * 257> savedLengths_{};
    // Lengths the last table read set (all are cleared at the start); the rest are undefined in the decoder.
    std::size_t savedLengthCount_ = savedLengths_.size();

    // Cleared, as the decoder clears it for every member that does not continue a solid one.
    std::vector<std::uint8_t> window_ = std::vector<std::uint8_t>(0x100000, 0);
    std::size_t writePosition_ = 0;
    std::size_t bytesInWindow_ = 0; // written since the start, up to the window size
    std::array<unsigned, 4> distanceRing_{};
    unsigned ringIndex_ = 0;
    unsigned lastDistance_ = 0;
    unsigned lastLength_ = 0;
    MultimediaModel predictor_;

    std::vector<std::uint8_t> output_;
};
