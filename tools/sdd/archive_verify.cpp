#include "tools/sdd/archive_verify.h"

#include "data/archive_reader.h"
#include "data/crc32.h"

#include <algorithm>
#include <numeric>

namespace {

// Large enough that the blocks' own cost is nothing beside the names, small enough that the last one's free
// room is little; a name longer than a block (the format allows 64 KiB) gets a block of its own.
constexpr std::size_t nameBlockSize = 256 * 1024;

} // namespace

char* WrittenMembers::placeName(std::string_view name, Member& member) {
    if (names_.empty() || names_.back().capacity() - names_.back().size() < name.size())
        names_.emplace_back().reserve(std::max(nameBlockSize, name.size()));
    std::string& block = names_.back();
    member.block = static_cast<std::uint32_t>(names_.size() - 1);
    member.nameAt = static_cast<std::uint32_t>(block.size());
    member.nameSize = static_cast<std::uint32_t>(name.size());
    block.append(name);
    return block.data() + member.nameAt;
}

void WrittenMembers::addCopied(std::string_view storedName, std::uint32_t size, std::uint32_t crc) {
    Member& member = members_.emplace_back(Member{0, 0, size, crc, 0});
    placeName(storedName, member);
}

void WrittenMembers::add(std::string_view name, std::uint32_t size, std::uint32_t crc) {
    Member& member = members_.emplace_back(Member{0, 0, size, crc, 0});
    char* placed = placeName(name, member);
    // Only the 8-bit name has folder separators; a Unicode form after its zero byte is encoded.
    std::replace(placed, placed + std::min(name.find('\0'), name.size()), '/', '\\');
}

void WrittenMembers::addCrcToCome(std::string_view name, std::uint32_t size) {
    add(name, size, 0);
    members_.back().crcToCome = true;
}

void WrittenMembers::crcFound(std::size_t i, std::uint32_t crc) {
    if (i < members_.size() && members_[i].crcToCome) {
        members_[i].crc = crc;
        members_[i].crcToCome = false;
    }
}

void WrittenMembers::add(std::string_view name, std::span<const std::uint8_t> bytes) {
    add(name, static_cast<std::uint32_t>(bytes.size()), crc32(bytes));
}

bool verifyArchive(ArchiveSource& archive, const WrittenMembers& expected, std::string& member,
                   std::string& reason) {
    // The members by name, searched where their names lie; each is crossed off as it is read back.
    std::vector<std::uint32_t> byName(expected.size());
    std::iota(byName.begin(), byName.end(), 0u);
    std::ranges::sort(byName, {}, [&](std::uint32_t i) { return expected.name(i); });
    std::vector<bool> readBack(expected.size(), false);
    bool good = true;
    const auto failure = [&](const std::string& name, std::string why) {
        if (good) {
            member = name;
            reason = std::move(why);
        }
        good = false;
    };
    std::uint64_t trailingBytes = 0, size = 0;
    std::uint32_t crc = 0;
    // Each member streams through its CRC: memory stays flat whatever the size of the member.
    const MemberStreamer check{
        [&](const MemberHeader&) -> ByteSink {
            size = 0;
            crc = 0;
            return [&](std::span<const std::uint8_t> piece) {
                size += piece.size();
                crc = crc32(piece, crc);
            };
        },
        [&](const MemberHeader& header, ExtractResult result) {
            const std::string name =
                header.unicodePart.empty() ? header.name : header.name + '\0' + header.unicodePart;
            const auto found = std::ranges::lower_bound(byName, std::string_view(name), {},
                                                        [&](std::uint32_t i) { return expected.name(i); });
            if (found == byName.end() || expected.name(*found) != name || readBack[*found])
                return failure(header.name, "read back, but it was not written (or it was twice)");
            readBack[*found] = true;
            if (result != ExtractResult::ok)
                return failure(header.name, std::string("does not read back: ") + describe(result));
            if (size != expected.memberSize(*found) || crc != expected.crc(*found))
                failure(header.name, "reads back different from the input");
        }};
    const ExtractResult walk = streamAll(archive, check, &trailingBytes);
    if (walk != ExtractResult::ok)
        failure("", std::string("does not read back: ") + describe(walk));
    else if (trailingBytes != 0)
        failure("", "does not read back whole: bytes after the last member");
    for (const std::uint32_t i : byName)
        if (!readBack[i]) {
            failure(std::string(expected.name(i)), "missing when read back");
            break;
        }
    return good;
}
