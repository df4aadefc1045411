#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// The standard reflected CRC-32 (polynomial 0xEDB88320) that RAR archives store for headers and members.
// Pass the previous result as `crc` to continue a running checksum over several pieces.
std::uint32_t crc32(std::span<const std::uint8_t> bytes, std::uint32_t crc = 0);
