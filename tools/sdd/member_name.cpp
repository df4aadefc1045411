#include "tools/sdd/member_name.h"

#include "data/rar20_format.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

#include <fnmatch.h>

namespace {

// No name in a header can be longer; a damaged encoding cannot make one grow past it.
constexpr std::size_t longestName = 0xFFFF;

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// UTF-16 as Windows keeps names: surrogate pairs joined, a lone half (which no UTF-8 can hold) as U+FFFD.
std::string utf16ToUtf8(const std::vector<char16_t>& units) {
    std::string out;
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char32_t unit = units[i];
        if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] < 0xE000) {
            appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (units[i + 1] - 0xDC00));
            ++i;
        } else if (unit >= 0xD800 && unit < 0xE000) {
            appendUtf8(out, 0xFFFD);
        } else {
            appendUtf8(out, unit);
        }
    }
    return out;
}

std::string folderSeparatorsAsSlash(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c == '\\')
            c = '/';
    return out;
}

} // namespace

std::string decodeUnicodeName(std::string_view eightBitName, std::string_view encoded) {
    // The encoding: one byte, the high byte most characters share; then groups of four characters, each group
    // led by a byte of four 2-bit kinds, highest bits first:
    //   0  one byte, the character's low byte, high byte zero
    //   1  one byte, the low byte, with the shared high byte
    //   2  two bytes, the whole character, low byte first
    //   3  a run taken from the 8-bit name at the same places: a count byte n; below 0x80, n + 2 characters
    //      copied as they are; otherwise a correction byte follows, and (n & 0x7F) + 2 characters are the
    //      8-bit name's bytes plus the correction (modulo 256), with the shared high byte.
    const auto at = [&](std::size_t i) { return static_cast<std::uint8_t>(encoded[i]); };
    std::vector<char16_t> units;
    if (encoded.empty())
        return std::string(eightBitName);
    std::size_t position = 0;
    const char16_t highByte = static_cast<char16_t>(at(position++) << 8);
    unsigned kinds = 0;
    int kindsLeft = 0;
    while (position < encoded.size() && units.size() < longestName) {
        if (kindsLeft == 0) {
            kinds = at(position++);
            kindsLeft = 4;
            if (position == encoded.size())
                break;
        }
        const unsigned kind = kinds >> 6 & 3;
        kinds <<= 2;
        --kindsLeft;
        if (kind == 0) {
            units.push_back(at(position++));
        } else if (kind == 1) {
            units.push_back(static_cast<char16_t>(highByte | at(position++)));
        } else if (kind == 2) {
            if (position + 2 > encoded.size())
                break;
            units.push_back(static_cast<char16_t>(at(position) | at(position + 1) << 8));
            position += 2;
        } else {
            const std::uint8_t count = at(position++);
            const bool corrected = (count & 0x80) != 0;
            if (corrected && position == encoded.size())
                break;
            const std::uint8_t correction = corrected ? at(position++) : 0;
            for (int n = (count & 0x7F) + 2; n > 0 && units.size() < eightBitName.size(); --n) {
                const auto plain = static_cast<std::uint8_t>(eightBitName[units.size()]);
                units.push_back(corrected ? static_cast<char16_t>(highByte | ((plain + correction) & 0xFF))
                                          : plain);
            }
        }
    }
    // Some writers end the Unicode form with a zero of its own.
    for (std::size_t i = 0; i < units.size(); ++i)
        if (units[i] == 0)
            units.resize(i);
    return utf16ToUtf8(units);
}

std::string memberNameUtf8(const MemberHeader& header) {
    if ((header.flags & rar::unicodeName) == 0)
        return header.name;
    if (header.unicodePart.empty())
        return header.name; // no zero byte: the name is UTF-8 itself
    return decodeUnicodeName(header.name, header.unicodePart);
}

bool patternSelects(std::string_view pattern, std::string_view name) {
    std::string wanted = folderSeparatorsAsSlash(pattern);
    while (wanted.size() > 1 && wanted.back() == '/')
        wanted.pop_back();
    const std::string stored = folderSeparatorsAsSlash(name);
    // No FNM_PATHNAME: '*' crosses folder separators, as in unar, tar and 7z, so "*.txt" reaches into
    // every folder. Case counts, as it does for the names themselves: README and readme may both be members.
    const int flags = FNM_NOESCAPE;
    if (::fnmatch(wanted.c_str(), stored.c_str(), flags) == 0)
        return true;
    // The folders the name lies in: "textures" and "textures/*" both select "textures/earth.jpg".
    for (std::size_t slash = stored.find('/'); slash != std::string::npos;
         slash = stored.find('/', slash + 1))
        if (::fnmatch(wanted.c_str(), stored.substr(0, slash).c_str(), flags) == 0)
            return true;
    return false;
}
