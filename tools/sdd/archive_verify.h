#pragma once

#include "data/archive_source.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// What a member written to an archive must give back: the input's size and CRC-32, under its stored name.
struct WrittenMember {
    std::string name; // as stored, with `\` between folders (and any Unicode form after a zero byte)
    std::uint32_t size = 0;
    std::uint32_t crc = 0;

    static WrittenMember of(std::string_view name, std::span<const std::uint8_t> bytes);
};

// Reads the archive back through our own unpacker and checks that it holds exactly these members (in any
// order) and that each comes out whole with the size and CRC of the input. On the first difference returns
// false with the member's name in `member` (empty when the archive as a whole is unreadable) and why in
// `reason`.
bool verifyArchive(ArchiveSource& archive, const std::vector<WrittenMember>& expected, std::string& member,
                   std::string& reason);
