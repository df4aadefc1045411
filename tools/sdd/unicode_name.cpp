#include "tools/sdd/unicode_name.h"

#include "tools/sdd/member_name.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <vector>

namespace {

// The UTF-16 units of a UTF-8 string, characters past U+FFFF as surrogate pairs; nothing when it is not
// UTF-8.
std::optional<std::vector<char16_t>> utf16Of(std::string_view utf8) {
    std::vector<char16_t> units;
    while (!utf8.empty()) {
        const std::size_t length = utf8SequenceLength(utf8);
        if (length == 0)
            return std::nullopt;
        const auto lead = static_cast<unsigned char>(utf8[0]);
        char32_t c = length == 1 ? lead : lead & (0xFF >> (length + 1));
        for (std::size_t i = 1; i < length; ++i)
            c = c << 6 | (static_cast<unsigned char>(utf8[i]) & 0x3F);
        if (c >= 0x10000) {
            units.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            units.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            units.push_back(static_cast<char16_t>(c));
        }
        utf8.remove_prefix(length);
    }
    return units;
}

// The high byte most non-Latin-1 characters share (a script's block, as a rule): each of them then takes
// one byte instead of two.
std::uint8_t sharedHighByte(const std::vector<char16_t>& units) {
    std::array<std::size_t, 256> counts{};
    for (const char16_t unit : units)
        ++counts[unit >> 8];
    counts[0] = 0;
    return static_cast<std::uint8_t>(std::ranges::max_element(counts) - counts.begin());
}

// The four kinds of the encoding, two bits each in a byte that leads up to four characters.
enum Kind : std::uint8_t { lowByte = 0, withHighByte = 1, wholeUnit = 2, runFromEightBitName = 3 };

class KindWriter {
public:
    explicit KindWriter(std::string& out) : out_(out) {}
    void add(Kind kind, std::initializer_list<std::uint8_t> bytes) {
        if (used_ == 4) {
            leadAt_ = out_.size();
            out_ += '\0';
            used_ = 0;
        }
        out_[leadAt_] = static_cast<char>(static_cast<std::uint8_t>(out_[leadAt_]) | kind << (6 - 2 * used_));
        ++used_;
        for (const std::uint8_t b : bytes)
            out_ += static_cast<char>(b);
    }

private:
    std::string& out_;
    std::size_t leadAt_ = 0;
    int used_ = 4;
};

} // namespace

std::string encodeUnicodeName(std::string_view eightBitName, std::string_view name) {
    const std::optional<std::vector<char16_t>> units = utf16Of(name);
    if (!units)
        return {};
    const std::uint8_t highByte = sharedHighByte(*units);
    std::string out(1, static_cast<char>(highByte));
    KindWriter writer(out);
    // A run copies the 8-bit name's bytes at the same places: 2 to 129 characters in one count byte.
    const auto sameAsEightBit = [&](std::size_t i) {
        return i < eightBitName.size() && (*units)[i] == static_cast<unsigned char>(eightBitName[i]);
    };
    for (std::size_t i = 0; i < units->size();) {
        std::size_t run = 0;
        while (run < 129 && sameAsEightBit(i + run))
            ++run;
        if (run >= 2) {
            writer.add(runFromEightBitName, {static_cast<std::uint8_t>(run - 2)});
            i += run;
            continue;
        }
        const char16_t unit = (*units)[i++];
        const auto low = static_cast<std::uint8_t>(unit & 0xFF), high = static_cast<std::uint8_t>(unit >> 8);
        if (high == 0)
            writer.add(lowByte, {low});
        else if (high == highByte)
            writer.add(withHighByte, {low});
        else
            writer.add(wholeUnit, {low, high});
    }
    return out;
}

std::string storedNameFor(std::string_view name) {
    const bool ascii = std::ranges::all_of(name, [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii)
        return std::string(name);
    const std::string encoded = encodeUnicodeName(name, name);
    if (encoded.empty())
        return std::string(name);
    return std::string(name) + '\0' + encoded;
}
