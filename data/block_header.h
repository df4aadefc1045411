#pragma once

#include "data/archive_member.h"
#include "data/rar20_format.h"

#include <cstdint>
#include <span>

// One block header of a RAR 2.x archive, checked before any of its sizes is used: a damaged header could
// otherwise send the walk anywhere, or pass a member off under a wrong name or size.

namespace block {

inline std::uint16_t le16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
inline std::uint32_t le32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
           std::uint32_t{p[3]} << 24;
}

// The size of the data after the header, 0 for a block without any. `header` holds at least 11 bytes
// when the block has data (check() makes sure of that).
std::uint32_t dataSize(std::span<const std::uint8_t> header);

// Checks the header at the start of `bytes`, which holds the whole header or, when the archive ends
// sooner, everything up to its end; `left` is the number of bytes from the block to the end of the
// archive. ok, or why the header cannot be trusted: cut short by the end of the archive, sizes that
// contradict each other, a HEAD_CRC that does not match, or data that runs past the end.
// An old-style sub-block's CRC covers its data too; `data`, when given, is that data.
ExtractResult check(std::span<const std::uint8_t> bytes, std::uint64_t left,
                    std::span<const std::uint8_t> data = {});

// Whether bytes that are not a sound header still look like one that was damaged or cut short, rather
// than like junk after the last member: its type, size, version and method fields mostly make sense.
bool looksLikeHeader(std::span<const std::uint8_t> bytes);

// What can still be read of the name in a file header that is damaged or cut short; empty when nothing.
std::string readableName(std::span<const std::uint8_t> bytes);

} // namespace block
