// t: every member decoded and checked, nothing kept.
#include "base/printable_text.h"
#include "data/archive_reader.h"
#include "tools/sdd/archive_opening.h"
#include "tools/sdd/command_report.h"
#include "tools/sdd/commands.h"
#include "tools/sdd/member_name.h"
#include "tools/sdd/progress.h"

#include <cstdio>

int testArchive(const std::string& archive) {
    std::optional<FileArchiveSource> source = openArchive(archive);
    if (!source)
        return exitDamaged;
    int members = 0, failures = 0;
    bool mainHeaderDamaged = false; // reported, but no member
    std::uint64_t trailingBytes = 0, done = 0;
    Progress progress(totalSize(*source));
    // Every member is decoded and checked; its bytes go nowhere.
    const MemberStreamer check{[&](const MemberHeader& header) -> ByteSink {
                                   if (header.damage == ExtractResult::ok)
                                       progress.show(done, memberNameUtf8(header));
                                   return {};
                               },
                               [&](const MemberHeader& header, ExtractResult result) {
                                   if (header.damage != ExtractResult::ok && isMainHeader(header)) {
                                       mainHeaderDamaged = true;
                                       reportDamage(archive, header);
                                       return;
                                   }
                                   ++members;
                                   done += header.unpSize;
                                   if (header.damage != ExtractResult::ok) {
                                       ++failures;
                                       reportDamage(archive, header);
                                   } else if (result != ExtractResult::ok) {
                                       ++failures;
                                       fail(archive, memberNameUtf8(header), describe(result));
                                   }
                               }};
    ExtractResult walk = streamAll(*source, check, &trailingBytes);
    progress.clear();
    reportTrailingBytes(archive, trailingBytes);
    // Damage met on the way was reported as it came; what is left is an archive that could not be opened.
    if (walk != ExtractResult::ok && failures == 0 && !mainHeaderDamaged) {
        fail(archive, "", describe(walk));
        return exitDamaged;
    }
    std::printf("%s: %s, %d failed\n", printableText(archive).c_str(), counted(members, "member").c_str(),
                failures);
    return failures == 0 && !mainHeaderDamaged ? exitOk : exitDamaged;
}
