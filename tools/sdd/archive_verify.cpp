#include "tools/sdd/archive_verify.h"

#include "data/archive_reader.h"
#include "data/crc32.h"

#include <algorithm>
#include <numeric>

void WrittenMembers::addCopied(std::string_view storedName, std::uint32_t size, std::uint32_t crc) {
    members_.push_back({names_.size(), static_cast<std::uint32_t>(storedName.size()), size, crc});
    names_.append(storedName);
}

void WrittenMembers::add(std::string_view name, std::uint32_t size, std::uint32_t crc) {
    const std::size_t at = names_.size();
    addCopied(name, size, crc);
    // Only the 8-bit name has folder separators; a Unicode form after its zero byte is encoded.
    const std::size_t plainEnd = at + std::min(name.find('\0'), name.size());
    std::replace(names_.begin() + static_cast<std::ptrdiff_t>(at),
                 names_.begin() + static_cast<std::ptrdiff_t>(plainEnd), '/', '\\');
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
