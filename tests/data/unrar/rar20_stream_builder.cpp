#include "tests/data/unrar/rar20_stream_builder.h"

#include "tools/sdd/rar20_table_writer.h"

#include <algorithm>
#include <optional>

namespace {

constexpr std::size_t windowMask = rar20WindowSize - 1;

constexpr auto& lengthTable = rar20LengthSlots;
constexpr auto& distanceTable = rar20DistanceSlots;
constexpr auto& shortDistanceTable = rar20ShortDistanceSlots;

// The slot whose range holds `value`.
std::optional<std::size_t> slotFor(std::span<const std::uint32_t> bases,
                                   std::span<const std::uint8_t> extraBits, unsigned value) {
    for (std::size_t slot = bases.size(); slot-- > 0;) {
        if (value >= bases[slot])
            return value - bases[slot] < (1u << extraBits[slot]) ? std::optional(slot) : std::nullopt;
    }
    return std::nullopt;
}

} // namespace

void Rar20StreamBuilder::fail(std::string message) {
    if (error_.empty())
        error_ = std::move(message);
}

bool Rar20StreamBuilder::writeSymbol(const HuffmanCode& code, unsigned symbol, const char* what) {
    if (!code.hasCode(symbol)) {
        fail(std::string(what) + ": symbol " + std::to_string(symbol) + " has no code in the current table");
        return false;
    }
    bits_.put(code.codes[symbol], code.lengths[symbol]);
    return true;
}

bool Rar20StreamBuilder::writeSlot(std::span<const std::uint32_t> bases,
                                   std::span<const std::uint8_t> extraBits, const HuffmanCode& code,
                                   unsigned firstSymbol, unsigned value, const char* what) {
    const std::optional<std::size_t> slot = slotFor(bases, extraBits, value);
    if (!slot) {
        fail(std::string(what) + ": " + std::to_string(value) + " is out of range");
        return false;
    }
    if (!writeSymbol(code, firstSymbol + static_cast<unsigned>(*slot), what))
        return false;
    bits_.put(value - bases[*slot], extraBits[*slot]);
    return true;
}

bool Rar20StreamBuilder::canWrite(const char* what, bool multimediaStep) {
    if (!ok())
        return false;
    if (tablesExpected_)
        fail(std::string(what) + ": code tables must come first");
    else if (outputEnded_)
        fail(std::string(what) + ": the member's output has ended");
    else if (multimedia_ != multimediaStep)
        fail(std::string(what) + (multimedia_ ? ": not in multimedia mode" : ": in multimedia mode"));
    return ok();
}

void Rar20StreamBuilder::lzTables(const LzTables& tables, bool keepOldLengths) {
    std::vector<std::uint8_t> lengths(tables.main.begin(), tables.main.end());
    lengths.insert(lengths.end(), tables.distance.begin(), tables.distance.end());
    lengths.insert(lengths.end(), tables.repeatLength.begin(), tables.repeatLength.end());
    readTables(false, 1, lengths, keepOldLengths);
}

void Rar20StreamBuilder::multimediaTables(std::span<const MultimediaTable> channels, bool keepOldLengths) {
    if (channels.empty() || channels.size() > MultimediaModel::maxChannels) {
        fail("multimedia tables need 1 to 4 channels");
        return;
    }
    std::vector<std::uint8_t> lengths;
    for (const MultimediaTable& table : channels)
        lengths.insert(lengths.end(), table.begin(), table.end());
    readTables(true, static_cast<int>(channels.size()), lengths, keepOldLengths);
}

void Rar20StreamBuilder::readTables(bool multimedia, int channelCount, std::span<const std::uint8_t> lengths,
                                    bool keepOld) {
    if (!ok())
        return;
    if (!tablesExpected_)
        return fail("code tables written without a table switch before them");
    // The decoder changes only the lengths its previous table read set; the others hold whatever it left.
    if (keepOld && lengths.size() > savedLengthCount_)
        return fail("keep-old-lengths over lengths the previous table read did not set");

    writeRar20TableRead(bits_, multimedia, channelCount, lengths,
                        keepOld ? std::span<const std::uint8_t>(savedLengths_).first(lengths.size())
                                : std::span<const std::uint8_t>());

    std::vector<std::optional<HuffmanCode>> codes;
    if (multimedia) {
        for (int channel = 0; channel < channelCount; ++channel)
            codes.push_back(
                canonicalCode(lengths.subspan(channel * rar20MultimediaSymbols, rar20MultimediaSymbols)));
    } else {
        codes.push_back(canonicalCode(lengths.subspan(0, rar20MainSymbols)));
        codes.push_back(canonicalCode(lengths.subspan(rar20MainSymbols, rar20DistanceSymbols)));
        codes.push_back(canonicalCode(lengths.subspan(rar20MainSymbols + rar20DistanceSymbols)));
    }
    if (std::any_of(codes.begin(), codes.end(), [](const auto& code) { return !code; }))
        return fail("code lengths that do not form a prefix code");

    if (multimedia) {
        for (int channel = 0; channel < channelCount; ++channel)
            channelCodes_[static_cast<std::size_t>(channel)] = *codes[static_cast<std::size_t>(channel)];
        channelCount_ = channelCount;
        if (currentChannel_ >= channelCount)
            currentChannel_ = 0;
    } else {
        mainCode_ = *codes[0];
        distanceCode_ = *codes[1];
        repeatLengthCode_ = *codes[2];
    }
    multimedia_ = multimedia;
    std::copy(lengths.begin(), lengths.end(), savedLengths_.begin());
    savedLengthCount_ = lengths.size();
    tablesExpected_ = false;
}

void Rar20StreamBuilder::tableSwitch() {
    if (!ok())
        return;
    if (tablesExpected_)
        return fail("table switch where code tables are due");
    if (writeSymbol(multimedia_ ? channelCodes_[static_cast<std::size_t>(currentChannel_)] : mainCode_,
                    multimedia_ ? rar20MultimediaTableSwitchSymbol : rar20LzTableSwitchSymbol,
                    "table switch"))
        tablesExpected_ = true;
}

void Rar20StreamBuilder::putByte(std::uint8_t byte) {
    window_[writePosition_] = byte;
    writePosition_ = (writePosition_ + 1) & windowMask;
    bytesInWindow_ = std::min(bytesInWindow_ + 1, rar20WindowSize);
    output_.push_back(byte);
}

void Rar20StreamBuilder::literal(std::uint8_t byte) {
    if (canWrite("literal", false) && writeSymbol(mainCode_, byte, "literal"))
        putByte(byte);
}

void Rar20StreamBuilder::literals(std::span<const std::uint8_t> bytes) {
    for (std::uint8_t byte : bytes)
        literal(byte);
}

void Rar20StreamBuilder::copyMatch(unsigned length, unsigned distance) {
    for (unsigned i = 0; i < length; ++i)
        putByte(window_[(writePosition_ - distance) & windowMask]);
    distanceRing_[ringIndex_ & 3] = distance;
    ++ringIndex_;
    lastDistance_ = distance;
    lastLength_ = length;
}

bool Rar20StreamBuilder::checkDistance(unsigned distance, const char* what) {
    // What lies before the start is not the same in every unpacker (the reference keeps the previous member's
    // bytes there), so matches stay inside the data written since the start.
    if (distance == 0 || distance > bytesInWindow_)
        fail(std::string(what) + ": distance " + std::to_string(distance) + " reaches before the start");
    return ok();
}

void Rar20StreamBuilder::match(unsigned length, unsigned distance) {
    if (!canWrite("match", false) || !checkDistance(distance, "match"))
        return;
    const unsigned bonus = (distance >= 0x2000 ? 1 : 0) + (distance >= 0x40000 ? 1 : 0);
    if (length < 3 + bonus || length > 258 + bonus)
        return fail("match: length " + std::to_string(length) + " out of range at distance " +
                    std::to_string(distance));
    if (writeSlot(lengthTable.base, lengthTable.bits, mainCode_, rar20FirstMatchSymbol, length - 3 - bonus,
                  "match length") &&
        writeSlot(distanceTable.base, distanceTable.bits, distanceCode_, 0, distance - 1, "match distance"))
        copyMatch(length, distance);
}

void Rar20StreamBuilder::lastMatch() {
    if (!canWrite("last match", false))
        return;
    if (writeSymbol(mainCode_, rar20LastMatchSymbol, "last match"))
        copyMatch(lastLength_, lastDistance_);
}

void Rar20StreamBuilder::repeatMatch(int age, unsigned length) {
    if (!canWrite("repeat match", false))
        return;
    if (age < 1 || age > 4)
        return fail("repeat match: age must be 1 to 4");
    const unsigned distance = distanceRing_[(ringIndex_ - static_cast<unsigned>(age)) & 3];
    if (!checkDistance(distance, "repeat match"))
        return;
    const unsigned bonus =
        (distance >= 0x101 ? 1 : 0) + (distance >= 0x2000 ? 1 : 0) + (distance >= 0x40000 ? 1 : 0);
    if (length < 2 + bonus || length > 257 + bonus)
        return fail("repeat match: length " + std::to_string(length) + " out of range at distance " +
                    std::to_string(distance));
    if (writeSymbol(mainCode_, rar20LastMatchSymbol + static_cast<unsigned>(age), "repeat match") &&
        writeSlot(lengthTable.base, lengthTable.bits, repeatLengthCode_, 0, length - 2 - bonus,
                  "repeat length"))
        copyMatch(length, distance);
}

void Rar20StreamBuilder::shortMatch(unsigned distance) {
    if (canWrite("short match", false) && checkDistance(distance, "short match") &&
        writeSlot(shortDistanceTable.base, shortDistanceTable.bits, mainCode_, rar20FirstShortSymbol,
                  distance - 1, "short match distance"))
        copyMatch(2, distance);
}

void Rar20StreamBuilder::decodeDelta(std::uint8_t delta) {
    putByte(predictor_.decode(currentChannel_, delta));
    currentChannel_ = (currentChannel_ + 1) % channelCount_;
}

void Rar20StreamBuilder::sample(std::uint8_t byte) {
    if (!canWrite("sample", true))
        return;
    const std::uint8_t delta = predictor_.deltaFor(currentChannel_, byte);
    if (writeSymbol(channelCodes_[static_cast<std::size_t>(currentChannel_)], delta, "sample delta"))
        decodeDelta(delta);
}

void Rar20StreamBuilder::samples(std::span<const std::uint8_t> bytes) {
    for (std::uint8_t byte : bytes)
        sample(byte);
}

void Rar20StreamBuilder::endOutput() {
    if (canWrite("end of output", multimedia_))
        outputEnded_ = true;
}

PackedMember Rar20StreamBuilder::takeMember() {
    if (!outputEnded_)
        endOutput();
    if (tablesExpected_)
        fail("table switch at the end of the member without tables");
    PackedMember member{bits_.take(), std::move(output_)};
    output_.clear();
    outputEnded_ = false;
    return member;
}
