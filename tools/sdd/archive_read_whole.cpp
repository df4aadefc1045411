#include "tools/sdd/archive_read_whole.h"

#include "data/archive_walk.h"

std::optional<UnreadablePart> readArchiveWhole(ArchiveSource& source, const MemberStreamer& keep) {
    ArchiveWalk walk(source);
    if (const ExtractResult start = walk.start(); start != ExtractResult::ok)
        return UnreadablePart{{}, start, 0};
    std::optional<UnreadablePart> unreadable;
    std::uint64_t trailingBytes = 0;
    const MemberStreamer checked{
        [&](const MemberHeader& header) -> ByteSink { return unreadable ? ByteSink{} : keep.open(header); },
        [&](const MemberHeader& header, ExtractResult result) {
            if (unreadable)
                return;
            if (result != ExtractResult::ok)
                unreadable = UnreadablePart{header, result, 0};
            else
                keep.close(header, result);
        }};
    const ExtractResult walked = streamAll(source, checked, &trailingBytes);
    if (!unreadable && trailingBytes != 0)
        unreadable = UnreadablePart{{}, ExtractResult::ok, trailingBytes};
    // A walk that stopped early with nothing reported would be an archive only partly read: never kept.
    if (!unreadable && walked != ExtractResult::ok)
        unreadable = UnreadablePart{{}, walked, 0};
    return unreadable;
}
