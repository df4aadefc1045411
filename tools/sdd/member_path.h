#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// Where `sdd x` may write a member: its stored name split into folders at '\' (and '/'), relative to the
// output folder. An archive must never write outside that folder, so absolute names (a leading separator or a
// drive such as "C:") and any ".." component are refused with a reason. Empty and "." components are dropped;
// a name stored with a Unicode part ends at its first zero byte.
std::optional<std::filesystem::path> outputPathFor(std::string_view memberName, std::string& reason);

// Whether a name holds a control character: C0 (ESC, BEL, CR, LF...), DEL, or one of the C1 range in UTF-8.
// Such a name acts on the terminal of whoever lists the folder it lands in, and a line break splits it in two
// for every tool that reads names a line at a time: `sdd x` does not write it, `sdd a` does not store it.
bool holdsControlCharacter(std::string_view name);

// The name `sdd a` stores a file under: its path as given, with '\' between folders and any leading "/" or
// "./" removed. Refused, with a reason, when the path climbs out with "..", names no file, or makes a name
// that `sdd x` would not write (a drive such as "C:", a control character).
std::optional<std::string> memberNameFor(std::string_view filePath, std::string& reason);
