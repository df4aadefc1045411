// l: an archive's members as unrar lists them, one line each, with the totals.
#include "base/printable_text.h"
#include "data/archive_walk.h"
#include "data/rar20_format.h"
#include "tools/sdd/archive_opening.h"
#include "tools/sdd/archive_writer.h"
#include "tools/sdd/command_report.h"
#include "tools/sdd/commands.h"
#include "tools/sdd/member_name.h"
#include "tools/sdd/member_time.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <vector>

#include <sys/stat.h>

namespace {

// Attributes as the system that wrote the member keeps them: a Unix mode as ls shows it, else the MS-DOS
// ones (folder, read-only, hidden, system, archive).
std::string attributesText(const MemberHeader& m) {
    if (m.hostOs == rar::hostUnix) {
        const std::uint32_t mode = m.attributes;
        std::string text = S_ISDIR(mode) ? "d" : (S_ISLNK(mode) ? "l" : "-");
        const char* letters = "rwxrwxrwx";
        for (int bit = 8; bit >= 0; --bit)
            text += (mode >> bit & 1) ? letters[8 - bit] : '-';
        return text;
    }
    if (m.hostOs != rar::hostMsDos && m.hostOs != rar::hostOs2 && m.hostOs != rar::hostWin32)
        return "?";
    const std::uint32_t a = m.attributes;
    return {(a & rar::dosFolderAttribute) || m.isFolder() ? 'D' : '.', (a & 0x01) ? 'R' : '.',
            (a & 0x02) ? 'H' : '.', (a & 0x04) ? 'S' : '.', (a & 0x20) ? 'A' : '.'};
}

std::string methodText(const MemberHeader& m) {
    if (m.method == rar::methodStored)
        return "stored";
    if (m.method > rar::methodStored && m.method <= rar::methodBest)
        return "m" + std::to_string(m.method - rar::methodStored);
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", m.method);
    return text;
}

// The packed size as a share of the size, as unrar shows it: 100% is no gain.
std::string ratioText(std::uint64_t packed, std::uint64_t size) {
    if (size == 0)
        return "0%";
    return std::to_string(std::min<std::uint64_t>((packed * 100 + size / 2) / size, 999)) + "%";
}

constexpr const char* listRule =
    "---------- ---------- ---------- ----- ---------------- -------- ------ ----\n";
} // namespace

int listArchive(const std::string& archive) {
    std::optional<FileArchiveSource> source = openArchive(archive);
    if (!source)
        return exitDamaged;
    ArchiveWalk walk(*source);
    if (const ExtractResult start = walk.start(); start != ExtractResult::ok) {
        fail(archive, "", describe(start));
        return exitDamaged;
    }
    std::vector<MemberHeader> members;
    for (MemberHeader header; walk.next(header);) {
        if (header.damage != ExtractResult::ok)
            reportDamage(archive, header);
        else
            members.push_back(header);
    }
    reportTrailingBytes(archive, walk.trailingBytes());

    std::printf("Archive: %s%s\n", printableText(archive).c_str(), walk.solid() ? " (solid)" : "");
    std::printf("%-10s %10s %10s %5s %-16s %-8s %-6s %s\n", "Attributes", "Size", "Packed", "Ratio",
                "Date       Time", "CRC32", "Method", "Name");
    std::fputs(listRule, stdout);
    std::uint64_t size = 0, packed = 0;
    for (const MemberHeader& m : members) {
        const std::string name = printableText(memberNameUtf8(m)) + (m.isFolder() ? "\\" : "");
        std::printf("%-10s %10" PRIu32 " %10" PRIu32 " %5s %-16s %08" PRIX32 " %-6s %s\n",
                    attributesText(m).c_str(), m.unpSize, m.packSize,
                    ratioText(m.packSize, m.unpSize).c_str(), formatDosTime(m.fileTime).c_str(), m.fileCrc,
                    methodText(m).c_str(), name.c_str());
        size += m.unpSize;
        packed += m.packSize;
    }
    std::fputs(listRule, stdout);
    std::printf("%-10s %10" PRIu64 " %10" PRIu64 " %5s %-16s %-8s %-6s %s\n", "", size, packed,
                ratioText(packed, size).c_str(), "", "", "", counted(members.size(), "member").c_str());
    return walk.error() == ExtractResult::ok ? exitOk : exitDamaged;
}
