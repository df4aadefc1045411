#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Text from outside the program (a file's lines, a member's name, a command-line word) made safe to echo on a
// terminal: control characters (an escape sequence, a bell, a line break) and bytes that are not UTF-8 come
// out as \xNN, so what is echoed is always one line that says what it holds and never drives the terminal.
std::string printableText(std::string_view text);

// The length of the UTF-8 sequence at the start of `s` (not empty), or 0 when it is not one (overlong forms,
// surrogates and values past U+10FFFF included).
std::size_t utf8SequenceLength(std::string_view s);
