#include "tools/sdd/archive_read_whole.h"

#include "data/archive_reader.h"
#include "data/archive_walk.h"

std::optional<UnreadablePart> readArchiveWhole(ArchiveSource& source, bool& solid, const KeptMember& keep) {
    ArchiveWalk walk(source);
    if (const ExtractResult start = walk.start(); start != ExtractResult::ok)
        return UnreadablePart{{}, start, 0};
    solid = walk.solid();
    std::optional<UnreadablePart> unreadable;
    std::uint64_t trailingBytes = 0;
    const ExtractResult walked = extractAll(
        source,
        [&](const MemberHeader& header, ExtractResult result, std::span<const std::uint8_t> bytes) {
            if (result != ExtractResult::ok && !unreadable)
                unreadable = UnreadablePart{header, result, 0};
            else if (result == ExtractResult::ok)
                keep(header, bytes);
        },
        &trailingBytes);
    if (!unreadable && trailingBytes != 0)
        unreadable = UnreadablePart{{}, ExtractResult::ok, trailingBytes};
    // A walk that stopped early with nothing reported would be an archive only partly read: never kept.
    if (!unreadable && walked != ExtractResult::ok)
        unreadable = UnreadablePart{{}, walked, 0};
    return unreadable;
}
