#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

// Member times as RAR 2.x headers hold them: MS-DOS date and time, local time of day in two-second steps.

// The moment a stored time names, read as local time; nothing for a field that names no date (month 0,
// day 32, ...), as a damaged or never-set header may hold.
std::optional<std::time_t> unixTimeOf(std::uint32_t dosTime);

// The stored field for a file's modification time, local time, clamped to the years the field holds.
// When the environment sets SOURCE_DATE_EPOCH (the convention of reproducible builds), later times are
// clamped to it and every time is taken in UTC, so the same files give the same archive on any machine.
std::uint32_t dosTimeOf(std::time_t modified);

// "2022-02-14 09:06", or "unknown date" for a field that names no date.
std::string formatDosTime(std::uint32_t dosTime);
