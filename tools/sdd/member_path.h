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

// The name `sdd a` stores a file under: its path as given, with '\' between folders and any leading "/" or
// "./" removed. Refused, with a reason, when the path climbs out with "..", or names no file.
std::optional<std::string> memberNameFor(std::string_view filePath, std::string& reason);
