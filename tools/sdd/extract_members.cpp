// x: the selected members written to files, each put in place only once it checks out.
#include "data/archive_reader.h"
#include "data/rar20_format.h"
#include "tools/sdd/archive_opening.h"
#include "tools/sdd/command_report.h"
#include "tools/sdd/commands.h"
#include "tools/sdd/member_name.h"
#include "tools/sdd/member_output.h"
#include "tools/sdd/member_selection.h"
#include "tools/sdd/progress.h"

#include <utility>
#include <vector>

namespace fs = std::filesystem;

int extractMembers(const std::string& archive, const ExtractOptions& options) {
    std::optional<FileArchiveSource> source = openArchive(archive);
    if (!source)
        return exitDamaged;
    MemberSelection selection(options.patterns);
    int damaged = 0, leftOut = 0, skipped = 0;
    std::vector<std::pair<fs::path, MemberHeader>> folders;
    std::uint64_t trailingBytes = 0, done = 0;
    Progress progress(totalSize(*source));
    MemberOutput output;
    const MemberStreamer streamer{
        [&](const MemberHeader& header) -> ByteSink {
            output = {};
            // A damaged header may have been any member, selected or not.
            if (header.damage != ExtractResult::ok)
                return {};
            const std::string name = memberNameUtf8(header);
            done += header.unpSize;
            if (!selection.selects(name))
                return {};
            progress.show(done, name);
            output = openMemberOutput(header, name, options);
            if (!output.file)
                return {};
            return [&file = *output.file](std::span<const std::uint8_t> piece) { file.write(piece); };
        },
        [&](const MemberHeader& header, ExtractResult result) {
            if (header.damage != ExtractResult::ok) {
                ++damaged;
                reportDamage(archive, header);
                return;
            }
            if (output.outcome == MemberOutput::Outcome::notWanted)
                return;
            const std::string name = memberNameUtf8(header);
            if (output.outcome == MemberOutput::Outcome::written)
                closeMemberOutput(output, header, result, options);
            if (output.outcome == MemberOutput::Outcome::written && header.isFolder()) {
                if (createFolders(options.folder, output.relative, output.reason))
                    folders.emplace_back(options.folder / output.relative, header);
                else
                    output.outcome = MemberOutput::Outcome::failed;
            }
            output.file.reset();
            switch (output.outcome) {
            case MemberOutput::Outcome::written:
            case MemberOutput::Outcome::notWanted:
                return;
            case MemberOutput::Outcome::skipped:
                ++skipped;
                break;
            case MemberOutput::Outcome::failed:
                ++leftOut;
                break;
            case MemberOutput::Outcome::damaged:
                ++damaged;
                break;
            }
            fail(archive, name, output.reason);
        }};
    const ExtractResult walk = streamAll(*source, streamer, &trailingBytes);
    progress.clear();
    // Folders last: every file written into a folder changes its time, and a folder stored without write
    // permission would refuse its files. The deepest first, so that none is closed to its parent's change.
    for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder)
        setFolderTimeAndPermissions(folder->first, folder->second);
    reportTrailingBytes(archive, trailingBytes);
    if (walk != ExtractResult::ok && damaged == 0) {
        fail(archive, "", describe(walk));
        return exitDamaged;
    }
    leftOut += selection.reportUnused(archive);
    if (skipped != 0)
        fail(archive, "", counted(skipped, "file") + " already there kept; run again with -f to overwrite");
    return damaged != 0 ? exitDamaged : (leftOut != 0 || skipped != 0 ? exitSkipped : exitOk);
}
