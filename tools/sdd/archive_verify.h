#pragma once

#include "data/archive_source.h"

#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// What the members written to an archive must give back: the input's size and CRC-32, under each stored name
// (with `\` between folders, and any Unicode form after a zero byte). Kept for every member of the archive
// until it is read back, so the names lie end to end in blocks of a fixed size with a few bytes per member
// beside, and neither grows by copying itself: a tree of tens of thousands of files costs its names once.
class WrittenMembers {
public:
    // `name` as the writer was given it: '/' in its 8-bit part is stored as '\'.
    void add(std::string_view name, std::uint32_t size, std::uint32_t crc);
    void add(std::string_view name, std::span<const std::uint8_t> bytes);
    // A member copied from another archive as it is there, header and all: its name as that header holds it.
    void addCopied(std::string_view storedName, std::uint32_t size, std::uint32_t crc);
    // A member whose bytes are read only as they are packed: its CRC-32 comes with crcFound once they are.
    void addCrcToCome(std::string_view name, std::uint32_t size);
    // The CRC-32 of the i-th member (counting from 0 in the order added), if it was to come; else nothing.
    void crcFound(std::size_t i, std::uint32_t crc);

    std::size_t size() const { return members_.size(); }
    std::string_view name(std::size_t i) const {
        const Member& member = members_[i];
        return std::string_view(names_[member.block]).substr(member.nameAt, member.nameSize);
    }
    std::uint32_t memberSize(std::size_t i) const { return members_[i].size; }
    std::uint32_t crc(std::size_t i) const { return members_[i].crc; }

private:
    struct Member {
        std::uint32_t block;
        std::uint32_t nameAt;
        std::uint32_t size;
        std::uint32_t crc;
        std::uint32_t nameSize;
        bool crcToCome = false;
    };
    // Where the next name goes: the last block when it has room, else a new one. Returns the name's place.
    char* placeName(std::string_view name, Member& member);

    std::vector<std::string> names_; // blocks, each filled up to its reserved size and never moved
    std::deque<Member> members_;
};

// Reads the archive back through our own unpacker and checks that it holds exactly these members (in any
// order) and that each comes out whole with the size and CRC of the input. On the first difference returns
// false with the member's name in `member` (empty when the archive as a whole is unreadable) and why in
// `reason`.
bool verifyArchive(ArchiveSource& archive, const WrittenMembers& expected, std::string& member,
                   std::string& reason);
