#include "tools/sdd/archive_verify.h"

#include "data/archive_reader.h"
#include "data/crc32.h"

#include <algorithm>
#include <map>

WrittenMember WrittenMember::of(std::string_view name, std::span<const std::uint8_t> bytes) {
    WrittenMember member{std::string(name), static_cast<std::uint32_t>(bytes.size()), crc32(bytes)};
    // Only the 8-bit name has folder separators; a Unicode form after its zero byte is encoded.
    std::replace(member.name.begin(), member.name.begin() + std::min(name.find('\0'), name.size()), '/',
                 '\\');
    return member;
}

bool verifyArchive(ArchiveSource& archive, const std::vector<WrittenMember>& expected, std::string& member,
                   std::string& reason) {
    std::map<std::string, const WrittenMember*> waiting;
    for (const WrittenMember& written : expected)
        waiting[written.name] = &written;
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
            const auto found = waiting.find(name);
            if (found == waiting.end())
                return failure(header.name, "read back, but it was not written (or it was twice)");
            const WrittenMember& written = *found->second;
            waiting.erase(found);
            if (result != ExtractResult::ok)
                return failure(header.name, std::string("does not read back: ") + describe(result));
            if (size != written.size || crc != written.crc)
                failure(header.name, "reads back different from the input");
        }};
    const ExtractResult walk = streamAll(archive, check, &trailingBytes);
    if (walk != ExtractResult::ok)
        failure("", std::string("does not read back: ") + describe(walk));
    else if (trailingBytes != 0)
        failure("", "does not read back whole: bytes after the last member");
    if (!waiting.empty())
        failure(waiting.begin()->first, "missing when read back");
    return good;
}
