// p: the selected members written to standard output, one after the other.
#include "data/archive_reader.h"
#include "data/rar20_format.h"
#include "tools/sdd/archive_opening.h"
#include "tools/sdd/command_report.h"
#include "tools/sdd/commands.h"
#include "tools/sdd/member_name.h"
#include "tools/sdd/member_selection.h"

#include <cstdio>

int printMembers(const std::string& archive, const std::vector<std::string>& patterns) {
    std::optional<FileArchiveSource> source = openArchive(archive);
    if (!source)
        return exitDamaged;
    MemberSelection selection(patterns);
    int damaged = 0;
    bool outputBroken = false;
    // Bytes go out as they are decoded: a member that then fails its check has been written in part, as
    // with any stream, and is reported.
    bool selectedNow = false;
    const MemberStreamer streamer{
        [&](const MemberHeader& header) -> ByteSink {
            selectedNow = header.damage == ExtractResult::ok && !outputBroken && !header.isFolder() &&
                          selection.selects(memberNameUtf8(header));
            if (!selectedNow)
                return {};
            return [&](std::span<const std::uint8_t> piece) {
                if (!outputBroken && std::fwrite(piece.data(), 1, piece.size(), stdout) != piece.size()) {
                    fail(archive, memberNameUtf8(header), "cannot write to standard output");
                    outputBroken = true;
                }
            };
        },
        [&](const MemberHeader& header, ExtractResult result) {
            if (header.damage != ExtractResult::ok) {
                ++damaged;
                reportDamage(archive, header);
            } else if (selectedNow && result != ExtractResult::ok) {
                ++damaged;
                fail(archive, memberNameUtf8(header), describe(result));
            }
        }};
    const ExtractResult walk = streamAll(*source, streamer);
    if (!outputBroken && std::fflush(stdout) != 0) {
        fail(archive, "", "cannot write to standard output");
        outputBroken = true;
    }
    if (walk != ExtractResult::ok && damaged == 0) {
        fail(archive, "", describe(walk));
        return exitDamaged;
    }
    const int unused = selection.reportUnused(archive);
    return damaged != 0 ? exitDamaged : (unused != 0 || outputBroken ? exitSkipped : exitOk);
}
