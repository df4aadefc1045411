#pragma once

#include "base/printable_text.h"
#include "data/archive_member.h"

#include <string>
#include <string_view>

// A member's name as the user sees it, written, printed and matched: UTF-8.
//
// Archivers on Windows store the name in the system's 8-bit code page, with '?' for every character it cannot
// hold. With rar::unicodeName the header carries the name's 16-bit Unicode form as well, after a zero byte,
// in a compact encoding that leans on the 8-bit name; without a zero byte the whole name is already UTF-8.
// The Unicode form is the one that names the file; the 8-bit name is only its stand-in for old readers.
std::string memberNameUtf8(const MemberHeader& header);

// The Unicode form of a name from its 8-bit stand-in and the encoded bytes that follow it, as UTF-8. A
// damaged encoding yields what could be decoded, never a read outside the bytes given.
std::string decodeUnicodeName(std::string_view eightBitName, std::string_view encoded);

// Whether a pattern given on the command line selects the stored name: wildcards matched against the whole
// name as unar matches them ('*' and '?' cross folder separators, [...] is a set, case counts), '/' and '\'
// alike. A pattern that names a folder selects everything in it.
bool patternSelects(std::string_view pattern, std::string_view name);
