#pragma once

#include <string>
#include <string_view>

// The name a header stores for a file `sdd a` adds, given as the file system spells it (UTF-8, as a rule):
// - ASCII names as they are, readable by every reader;
// - other UTF-8 names as their UTF-8 bytes (the 8-bit stand-in, which readers that know no Unicode form
//   and Heliox's own loader match), a zero byte, then the name's Unicode form in the format's compact
//   encoding. Readers that find the Unicode form take the name from it and need not guess a code page;
// - names that are not UTF-8 as their bytes, every one kept, without a Unicode form (none would say what
//   they mean). Such a name leaves readers to guess its code page, but only for itself: the other names
//   carry their Unicode form and are never guessed from it.
std::string storedNameFor(std::string_view name);

// The Unicode form of a UTF-8 name in the format's encoding (the one decodeUnicodeName reads), leaning on
// `eightBitName` where it holds the same characters at the same places. Empty when `name` is not UTF-8.
std::string encodeUnicodeName(std::string_view eightBitName, std::string_view name);
