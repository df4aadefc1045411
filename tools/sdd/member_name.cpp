#include "tools/sdd/member_name.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

#include <fnmatch.h>

namespace {

constexpr std::uint16_t unicodeNameFlag = 0x0200;

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

std::size_t utf8SequenceLength(std::string_view s) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = byte(0);
    std::size_t length;
    char32_t c;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead < 0xE0) {
        length = 2;
        c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead < 0xF0) {
        length = 3;
        c = lead & 0x0F;
    } else if (lead >= 0xF0 && lead < 0xF5) {
        length = 4;
        c = lead & 0x07;
    } else {
        return 0;
    }
    if (s.size() < length)
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
        c = c << 6 | (byte(i) & 0x3F);
    }
    const bool overlong = (length == 3 && c < 0x800) || (length == 4 && c < 0x10000);
    if (overlong || (c >= 0xD800 && c < 0xE000) || c > 0x10FFFF)
        return 0;
    return length;
}

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
    if ((header.flags & unicodeNameFlag) == 0)
        return header.name;
    if (header.unicodePart.empty())
        return header.name; // no zero byte: the name is UTF-8 itself
    return decodeUnicodeName(header.name, header.unicodePart);
}

std::string printableName(std::string_view name) {
    std::string out;
    while (!name.empty()) {
        const std::size_t length = utf8SequenceLength(name);
        const auto lead = static_cast<unsigned char>(name[0]);
        // C1 controls (U+0080..U+009F) act on terminals as their 7-bit forms do.
        const bool control = lead < 0x20 || lead == 0x7F ||
                             (length == 2 && lead == 0xC2 && static_cast<unsigned char>(name[1]) < 0xA0);
        if (length == 0 || control) {
            for (std::size_t i = 0; i < std::max<std::size_t>(length, 1); ++i) {
                char escaped[5];
                std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned char>(name[i]));
                out += escaped;
            }
            name.remove_prefix(std::max<std::size_t>(length, 1));
        } else {
            out.append(name.substr(0, length));
            name.remove_prefix(length);
        }
    }
    return out;
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
