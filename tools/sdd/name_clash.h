#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Members are one file when their names are the same byte for byte, '/' and '\' being the same folder
// separator: on a system that tells case apart, README and readme are two files, and an archive keeps both.
// The key a name is found by under that rule.
std::string sameFileKey(std::string_view name);

// The names a system that ignores case (Windows, macOS as a rule) could not hold side by side: for each name
// that differs from an earlier one only in the case of its letters, its place and the earlier one's.
std::vector<std::pair<std::size_t, std::size_t>> caseOnlyClashes(const std::vector<std::string>& names);
