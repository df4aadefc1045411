#pragma once

#include "data/archive_member.h"

#include <cstdint>

// The fields of a RAR 2.x header the commands read beyond a member's name and sizes.

// RAR 2.x marks a folder entry with all three dictionary-size bits set.
inline constexpr std::uint16_t directoryFlags = 0x00E0;
inline constexpr std::uint16_t unicodeNameFlag = 0x0200;
inline constexpr std::uint64_t markerSize = 7; // the main header follows it

// The system whose attributes a member holds.
inline constexpr std::uint8_t hostMsDos = 0;
inline constexpr std::uint8_t hostOs2 = 1;
inline constexpr std::uint8_t hostWin32 = 2;
inline constexpr std::uint8_t hostUnix = 3;

inline bool isDirectory(const MemberHeader& member) {
    return (member.flags & directoryFlags) == directoryFlags;
}
