#include "fuzz/damaged_archive_check.h"

#include "data/archive_reader.h"
#include "tools/sdd/archive_read_whole.h"

#include <map>
#include <optional>
#include <vector>

namespace {

constexpr int damagesPerArchive = 8;

// Names and bytes, in name order: the packer may order members its own way (empty ones last, say).
using Members = std::multimap<std::string, std::vector<std::uint8_t>>;

// The members our reader extracts whole.
Members readable(std::span<const std::uint8_t> archive) {
    Members members;
    MemoryArchiveSource source(archive);
    extractAll(source,
               [&](const MemberHeader& header, ExtractResult result, std::span<const std::uint8_t> bytes) {
                   if (result == ExtractResult::ok)
                       members.emplace(header.name, std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
               });
    return members;
}

// What `a` would keep of the archive, or nothing when it refuses to rewrite it.
std::optional<Members> keptByAdd(std::span<const std::uint8_t> archive) {
    Members kept;
    MemoryArchiveSource source(archive);
    std::vector<std::uint8_t> bytes;
    const MemberStreamer keep{
        [&](const MemberHeader&) -> ByteSink {
            bytes.clear();
            return [&](std::span<const std::uint8_t> piece) {
                bytes.insert(bytes.end(), piece.begin(), piece.end());
            };
        },
        [&](const MemberHeader& header, ExtractResult) { kept.emplace(header.name, bytes); }};
    if (readArchiveWhole(source, keep))
        return std::nullopt;
    return kept;
}

// Adds a member as `a` does, to what it kept, and reads the new archive back: every kept member must be in
// it unchanged.
std::string addAndReadBack(const Members& kept, const PackOptions& options) {
    ArchivePacker packer(options);
    const std::vector<std::uint8_t> added = {'a', 'd', 'd', 'e', 'd'};
    for (const auto& [name, bytes] : kept)
        if (!packer.add(name, bytes))
            return name + ": a kept member is refused by the packer";
    if (!packer.add("added.txt", added))
        return "the added member is refused by the packer";
    Members expected = kept;
    expected.emplace("added.txt", added);
    return readable(packer.finish().bytes()) == expected ? ""
                                                         : "the new archive lost or changed a kept member";
}

} // namespace

std::string damagedArchiveCheck(std::span<const std::uint8_t> archive, const PackOptions& options,
                                std::uint32_t seed) {
    const Members whole = readable(archive);
    if (keptByAdd(archive) != whole)
        return "a sound archive is not kept whole";
    std::vector<MemberHeader> headers;
    MemoryArchiveSource source(archive);
    listMembers(source, headers);
    if (archive.empty() || headers.empty())
        return {};
    std::uint32_t random = seed;
    for (int i = 0; i < damagesPerArchive; ++i) {
        random = random * 1664525u + 1013904223u;
        // Half the damage lands in a header, which is small beside the data but where damage costs most.
        const MemberHeader& hit = headers[(random >> 4) % headers.size()];
        const bool inHeader = (random & 2) != 0;
        const std::size_t at = inHeader
                                   ? hit.headerOffset + (random >> 8) % (hit.dataOffset - hit.headerOffset)
                                   : (random >> 8) % archive.size();
        std::vector<std::uint8_t> damaged(archive.begin(), archive.end());
        const bool cut = (random & 1) != 0;
        if (cut)
            damaged.resize(at);
        else
            damaged[at] ^= static_cast<std::uint8_t>(1u << (random >> 20 & 7));
        const std::string where = (cut ? "cut at byte " : "bit flipped at byte ") + std::to_string(at);
        const std::optional<Members> kept = keptByAdd(damaged);
        if (!kept)
            continue;
        // Damage `a` lets pass must have cost nothing: a flip that changes no member (in the padding after
        // a member's last code, say), or a cut between members, which leaves those before it.
        Members expected;
        for (const MemberHeader& header : headers)
            if (!cut || header.dataOffset + header.packSize <= at)
                expected.insert(*whole.find(header.name));
        if (*kept != expected)
            return where + ": a keeps the damaged archive without every member it still holds";
        if (const std::string problem = addAndReadBack(*kept, options); !problem.empty())
            return where + ": " + problem;
    }
    return {};
}
