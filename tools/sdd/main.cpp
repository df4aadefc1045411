// sdd: the archive tool for data.sdd and any other RAR 2.x archive, used as unrar, unar and 7z are:
//   sdd l ARCHIVE...                  list the members, with sizes, ratio, date, attributes and totals
//   sdd t ARCHIVE...                  decode every member and check its CRC, keeping nothing
//   sdd x ARCHIVE [PATTERN...] [-o DIR] [-f] [-kb]
//                                     extract to files, restoring their dates and modes; existing files
//                                     are kept unless -f; a file takes its name only once its CRC is
//                                     right, unless -kb keeps broken ones
//   sdd p ARCHIVE PATTERN...          write members to standard output
//   sdd a ARCHIVE FILE|FOLDER... [-m0..-m5] [-s] [-mm]
//                                     add to the archive (made when missing); members of exactly the same
//                                     name are replaced; FILE may be NAME=PATH to store PATH as NAME. The
//                                     members of an archive that is not solid are copied as they are.
//                                     The archive is written beside the target, read back member by
//                                     member and only then put in its place.
// Exit codes: 0 success; 1 a file kept, skipped or not read or written; 2 a usage error; 3 a damaged or
// unreadable archive (the larger wins). Every error names the archive, the member and why.
#include "data/archive_reader.h"
#include "data/archive_walk.h"
#include "tools/sdd/archive_lock.h"
#include "tools/sdd/archive_packer.h"
#include "tools/sdd/archive_read_whole.h"
#include "tools/sdd/archive_verify.h"
#include "tools/sdd/freed_memory.h"
#include "tools/sdd/interrupt_cleanup.h"
#include "tools/sdd/member_name.h"
#include "tools/sdd/member_path.h"
#include "tools/sdd/member_time.h"
#include "tools/sdd/name_clash.h"
#include "tools/sdd/pending_file.h"
#include "tools/sdd/progress.h"
#include "tools/sdd/stored_file.h"
#include "tools/sdd/tree_walk.h"
#include "tools/sdd/unicode_name.h"

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Larger files are packed as they are read, a chunk at a time, rather than read whole first.
constexpr std::uintmax_t packedWholeUpTo = 1u << 20;

constexpr int exitOk = 0;      // all done
constexpr int exitSkipped = 1; // the archive is sound, but a file was kept, skipped, left out or could not be
                               // read or written (a file already there kept without -f, an unreadable path
                               // in a tree given to `a`, a pattern that matched nothing, output not writable)
constexpr int exitUsage = 2;   // the command line was wrong
constexpr int exitDamaged = 3; // the archive is damaged or unreadable: a header or member failed its check,
                               // a header is cut short, the archive cannot be opened or `a` refused to
                               // rewrite it for that reason
// Where both apply, the larger code wins: damage outweighs a file left out.

// RAR 2.x marks a folder entry with all three dictionary-size bits set.
constexpr std::uint16_t directoryFlags = 0x00E0;
constexpr std::uint16_t unicodeNameFlag = 0x0200;
constexpr std::uint64_t markerSize = 7; // the main header follows it

constexpr std::uint8_t hostMsDos = 0;
constexpr std::uint8_t hostOs2 = 1;
constexpr std::uint8_t hostWin32 = 2;
constexpr std::uint8_t hostUnix = 3;

// Every option here is in the manual (resources/sdd.1.in) too, and the other way round; a test holds them
// to that.
constexpr const char* helpText =
    "Usage: %s COMMAND ARCHIVE [ARGUMENT...] [OPTION...]\n"
    "Lists, tests, extracts and writes RAR 2.x archives such as Heliox's data.sdd.\n"
    "\n"
    "Commands:\n"
    "  l ARCHIVE...              list the members: attributes, size, packed size, ratio,\n"
    "                            date and time, CRC-32, method; and the totals\n"
    "  t ARCHIVE...              test: decode every member and check its CRC-32\n"
    "  x ARCHIVE [PATTERN...]    extract all members, or those the patterns select, with\n"
    "                            their dates and modes; files already there are kept unless -f\n"
    "  p ARCHIVE PATTERN...      write the members the patterns select to standard output\n"
    "  a ARCHIVE FILE|FOLDER...  add files, and folders with everything in them (empty ones\n"
    "                            too), with their dates and modes, to the archive (made when\n"
    "                            missing); a member of exactly the same name is replaced;\n"
    "                            NAME=PATH stores the file or folder PATH as NAME, unless a\n"
    "                            file of that whole name is there\n"
    "\n"
    "Options:\n"
    "  -o FOLDER    x: extract into FOLDER (default: the current folder)\n"
    "  -f           x: overwrite files that are already there\n"
    "  -kb          x: keep a member that fails its check under its name, damaged\n"
    "  -m0 ... -m5  a: -m0 stores; -m1 (fastest) to -m5 (smallest) pack; default -m3\n"
    "  -s           a: solid archive, packed as one stream (smaller, slower to get at)\n"
    "  -mm          a: multimedia packing, for sound and pictures\n"
    "  --           the arguments after it are names, even when they start with '-'\n"
    "  -h, --help   show this help and exit\n"
    "  --version    show the version and exit\n"
    "\n"
    "Patterns: '*' matches any run of characters, folder separators included, '?' any one,\n"
    "[abc] one of a set; each is matched against the whole name, so '*.txt' selects src\\a.txt\n"
    "too. Case counts; '/' and '\\' are alike; a folder's name selects everything in it.\n"
    "Quote them:\n"
    "  %s x data.sdd 'textures/*.jpg' -o show\n"
    "\n"
    "Exit status:\n"
    "  0  all done\n"
    "  1  the archive is sound, but a file was kept, skipped or left out: a file already there\n"
    "     kept without -f, a path in a tree given to a that could not be read, a pattern that\n"
    "     selected nothing, a file or standard output that could not be written\n"
    "  2  the command line was wrong\n"
    "  3  the archive is damaged or unreadable: a member or header failed its check, or the\n"
    "     archive could not be opened; a refuses to rewrite such an archive\n"
    "  When both 1 and 3 apply, the status is 3.\n";

// The name the tool was run under: sdd in the build tree, heliox-sdd where it is installed.
std::string programName = "sdd";

int usage(const std::string& problem) {
    std::fprintf(stderr, "%s: %s\nTry '%s --help' for more information.\n", programName.c_str(),
                 problem.c_str(), programName.c_str());
    return exitUsage;
}

void fail(const std::string& archive, std::string_view member, std::string_view reason) {
    clearProgressLine();
    const std::string where = printableText(archive);
    if (member.empty())
        std::fprintf(stderr, "%s: %s: %.*s\n", programName.c_str(), where.c_str(),
                     static_cast<int>(reason.size()), reason.data());
    else
        std::fprintf(stderr, "%s: %s: %s: %.*s\n", programName.c_str(), where.c_str(),
                     printableText(member).c_str(), static_cast<int>(reason.size()), reason.data());
}

std::string counted(std::uint64_t count, const char* thing) {
    return std::to_string(count) + " " + thing + (count == 1 ? "" : "s");
}

// Junk after the last whole member (a download with something appended) does not stop the reading; it is
// reported, since it may also be what is left of a member cut off.
void reportTrailingBytes(const std::string& archive, std::uint64_t trailingBytes) {
    if (trailingBytes != 0)
        fail(archive, "",
             "warning: " + counted(trailingBytes, "byte") + " after the last whole member ignored");
}

// A damaged stretch of the archive: the header that failed its check, by what can still be read of its
// name, where it starts and how much the walk skipped to the next sound member or to the end.
bool isMainHeader(const MemberHeader& damage) {
    return damage.headerOffset == markerSize;
}

void reportDamage(const std::string& archive, const MemberHeader& header, std::string_view consequence = "") {
    const std::string name = isMainHeader(header)  ? "(main header)"
                             : header.name.empty() ? "(name unreadable)"
                                                   : printableText(header.name);
    std::string reason =
        std::string(describe(header.damage)) + " at byte " + std::to_string(header.headerOffset);
    if (header.damage == ExtractResult::packedDataPastEnd)
        reason += ", the archive ends inside this member";
    else
        reason += ", " + counted(header.damagedBytes, "byte") + " skipped";
    fail(archive, name, reason + std::string(consequence));
}

bool isDirectory(const MemberHeader& member) {
    return (member.flags & directoryFlags) == directoryFlags;
}

std::optional<FileArchiveSource> openArchive(const std::string& archive) {
    // An archive is read by seeking about in it, and opening a named pipe would wait for a writer for ever.
    struct stat status {};
    if (::stat(archive.c_str(), &status) == 0 && !S_ISREG(status.st_mode)) {
        fail(archive, "",
             "cannot read: not a regular file (a pipe, a device, a folder?); save it to a file first");
        return std::nullopt;
    }
    std::optional<FileArchiveSource> source(std::in_place, archive);
    if (!source->isOpen()) {
        fail(archive, "", std::string("cannot open: ") + std::strerror(errno));
        return std::nullopt;
    }
    return source;
}

// Attributes as the system that wrote the member keeps them: a Unix mode as ls shows it, else the MS-DOS
// ones (folder, read-only, hidden, system, archive).
std::string attributesText(const MemberHeader& m) {
    if (m.hostOs == hostUnix) {
        const std::uint32_t mode = m.attributes;
        std::string text = S_ISDIR(mode) ? "d" : (S_ISLNK(mode) ? "l" : "-");
        const char* letters = "rwxrwxrwx";
        for (int bit = 8; bit >= 0; --bit)
            text += (mode >> bit & 1) ? letters[8 - bit] : '-';
        return text;
    }
    if (m.hostOs != hostMsDos && m.hostOs != hostOs2 && m.hostOs != hostWin32)
        return "?";
    const std::uint32_t a = m.attributes;
    return {(a & 0x10) || isDirectory(m) ? 'D' : '.', (a & 0x01) ? 'R' : '.', (a & 0x02) ? 'H' : '.',
            (a & 0x04) ? 'S' : '.', (a & 0x20) ? 'A' : '.'};
}

std::string methodText(const MemberHeader& m) {
    if (m.method == methodStored)
        return "stored";
    if (m.method > methodStored && m.method <= methodStored + 5)
        return "m" + std::to_string(m.method - methodStored);
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
        const std::string name = printableText(memberNameUtf8(m)) + (isDirectory(m) ? "\\" : "");
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

// The bytes the members hold in all, for the progress of a run through them.
std::uint64_t totalSize(ArchiveSource& source) {
    std::vector<MemberHeader> members;
    listMembers(source, members);
    std::uint64_t total = 0;
    for (const MemberHeader& m : members)
        total += m.unpSize;
    return total;
}

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

// Whether a folder or file on the way from `folder` to `path` is a symbolic link (one that an earlier
// member or someone else put there): writing through it could land anywhere. `path` is inside `folder`.
bool throughSymbolicLink(const fs::path& folder, const fs::path& relative, std::string& reason) {
    fs::path at = folder;
    for (const fs::path& part : relative) {
        at /= part;
        std::error_code ec;
        if (fs::is_symlink(fs::symlink_status(at, ec))) {
            reason = "refused, " + at.string() + " is a symbolic link";
            return true;
        }
    }
    return false;
}

bool createFolders(const fs::path& folder, const fs::path& relative, std::string& reason) {
    std::error_code ec;
    // The output folder itself is the user's to choose, link or not; below it nothing is followed.
    fs::create_directories(folder, ec);
    if (throughSymbolicLink(folder, relative, reason))
        return false;
    fs::create_directories(folder / relative, ec);
    if (!fs::is_directory(folder / relative, ec)) {
        reason = "cannot create folder " + (folder / relative).string();
        return false;
    }
    return true;
}

// The stored modification time on an open file; the access time stays as it is.
void setModificationTime(int fd, std::uint32_t storedTime) {
    if (const std::optional<std::time_t> t = unixTimeOf(storedTime)) {
        const timespec times[2] = {{0, UTIME_OMIT}, {*t, 0}};
        ::futimens(fd, times);
    }
}

// The permissions a member gets on extraction: those stored by a Unix archiver, else a new file's (or
// folder's); as tar and unar do for a user, the umask applies and set-user-ID, set-group-ID and sticky bits
// never come back: a set-uid program taken from an archive could act with the rights of whoever extracts it.
mode_t permissionsFor(const MemberHeader& header) {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    if (header.hostOs == hostUnix)
        return header.attributes & 0777 & ~mask;
    return (isDirectory(header) ? 0777 : 0666) & ~mask;
}

// A folder's stored time and permissions, set through the folder itself: never through a symbolic link put
// in its place.
void setFolderTimeAndPermissions(const fs::path& path, const MemberHeader& header) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fchmod(fd, permissionsFor(header));
    setModificationTime(fd, header.fileTime);
    ::close(fd);
}

mode_t newFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

struct ExtractOptions {
    std::vector<std::string> patterns; // none: every member
    fs::path folder = ".";
    bool overwrite = false;
    bool keepBroken = false; // a member that fails its check is kept under its name all the same
};

// Which of the patterns select a name; `used` notes each one that did.
bool selected(const std::vector<std::string>& patterns, std::vector<bool>& used, std::string_view name) {
    bool any = patterns.empty();
    for (std::size_t i = 0; i < patterns.size(); ++i)
        if (patternSelects(patterns[i], name))
            any = used[i] = true;
    return any;
}

int reportUnused(const std::string& archive, const std::vector<std::string>& patterns,
                 const std::vector<bool>& used) {
    int unused = 0;
    for (std::size_t i = 0; i < patterns.size(); ++i)
        if (!used[i]) {
            ++unused;
            fail(archive, patterns[i], "no member of that name");
        }
    return unused;
}

// Where one member of `x` goes. A file is written to a temporary file beside its target and put under its
// name only once its CRC is right, so a member that fails (or a run cut short) never leaves a truncated or
// damaged file under the member's name; a file already there is replaced whole, and only with -f.
struct MemberOutput {
    enum class Outcome { written, notWanted, skipped, failed, damaged };
    Outcome outcome = Outcome::notWanted;
    std::string reason;
    fs::path relative; // of a folder, made once the member checks out
    std::optional<PendingFile> file;
};

PendingFile::Replace replaceWhen(const ExtractOptions& options) {
    return options.overwrite ? PendingFile::Replace::yes : PendingFile::Replace::no;
}

MemberOutput openMemberOutput(const MemberHeader& header, const std::string& name,
                              const ExtractOptions& options) {
    MemberOutput output;
    if (holdsControlCharacter(name)) {
        output.outcome = MemberOutput::Outcome::failed;
        output.reason = "warning: the name holds control characters, not written";
        return output;
    }
    std::optional<fs::path> relative = outputPathFor(name, output.reason);
    if (!relative) {
        output.outcome = MemberOutput::Outcome::failed;
        output.reason =
            "refused, " + output.reason + ": it would be written outside " + options.folder.string();
        return output;
    }
    if (isDirectory(header)) {
        output.outcome = MemberOutput::Outcome::written;
        output.relative = *relative;
        return output;
    }
    if (!createFolders(options.folder, relative->parent_path(), output.reason) ||
        throughSymbolicLink(options.folder, *relative, output.reason)) {
        output.outcome = MemberOutput::Outcome::failed;
        return output;
    }
    const fs::path path = options.folder / *relative;
    std::error_code ec;
    const fs::file_status there = fs::symlink_status(path, ec);
    if (fs::exists(there) && !options.overwrite) {
        output.outcome = MemberOutput::Outcome::skipped;
        output.reason = "skipped, " + path.string() + " is there already (-f overwrites it)";
        return output;
    }
    if (fs::is_directory(there)) {
        output.outcome = MemberOutput::Outcome::failed;
        output.reason = "cannot write " + path.string() + ": a folder is there";
        return output;
    }
    output.file = PendingFile::create(path, permissionsFor(header), output.reason);
    output.outcome = output.file ? MemberOutput::Outcome::written : MemberOutput::Outcome::failed;
    return output;
}

// Puts the member's file in place when it checked out (or, with -kb, whatever it was), else removes it.
void closeMemberOutput(MemberOutput& output, const MemberHeader& header, ExtractResult result,
                       const ExtractOptions& options) {
    if (result != ExtractResult::ok) {
        output.outcome = MemberOutput::Outcome::damaged;
        output.reason = describe(result);
        if (!output.file || !options.keepBroken)
            return; // the temporary file goes with `output`
        std::string reason;
        int error = 0;
        const fs::path target = output.file->target();
        if (output.file->commit(replaceWhen(options), false, reason, error))
            output.reason += "; its damaged bytes are kept in " + target.string() + " (-kb)";
        else
            output.reason += "; its damaged bytes cannot be kept: " + reason;
        return;
    }
    if (!output.file)
        return;
    // Set after the last write, which would change it again.
    if (output.file->flush())
        setModificationTime(output.file->descriptor(), header.fileTime);
    int error = 0;
    if (!output.file->commit(replaceWhen(options), false, output.reason, error)) {
        // A file that turned up under the name while the member was decoded is kept, as any other.
        output.outcome = error == EEXIST ? MemberOutput::Outcome::skipped : MemberOutput::Outcome::failed;
        if (error == EEXIST)
            output.reason =
                "skipped, " + output.file->target().string() + " is there already (-f overwrites it)";
    }
}

int extract(const std::string& archive, const ExtractOptions& options) {
    std::optional<FileArchiveSource> source = openArchive(archive);
    if (!source)
        return exitDamaged;
    std::vector<bool> used(options.patterns.size(), false);
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
            if (!selected(options.patterns, used, name))
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
            if (output.outcome == MemberOutput::Outcome::written && isDirectory(header)) {
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
    leftOut += reportUnused(archive, options.patterns, used);
    if (skipped != 0)
        fail(archive, "", counted(skipped, "file") + " already there kept; run again with -f to overwrite");
    return damaged != 0 ? exitDamaged : (leftOut != 0 || skipped != 0 ? exitSkipped : exitOk);
}

int print(const std::string& archive, const std::vector<std::string>& patterns) {
    std::optional<FileArchiveSource> source = openArchive(archive);
    if (!source)
        return exitDamaged;
    std::vector<bool> used(patterns.size(), false);
    int damaged = 0;
    bool outputBroken = false;
    // Bytes go out as they are decoded: a member that then fails its check has been written in part, as
    // with any stream, and is reported.
    bool selectedNow = false;
    const MemberStreamer streamer{
        [&](const MemberHeader& header) -> ByteSink {
            selectedNow = header.damage == ExtractResult::ok && !outputBroken && !isDirectory(header) &&
                          selected(patterns, used, memberNameUtf8(header));
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
    const int unused = reportUnused(archive, patterns, used);
    return damaged != 0 ? exitDamaged : (unused != 0 || outputBroken ? exitSkipped : exitOk);
}

// Reads a file for `a` whole, in one go into room made for it (growing as it comes would cost up to twice
// the file), with its time and mode.
bool readFile(const fs::path& path, std::vector<std::uint8_t>& bytes, std::uint32_t& time,
              MemberAttributes& attributes, std::string& reason) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) {
        reason = fs::exists(path, ec) ? "not a file" : "no such file";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open()) {
        reason = std::string("cannot read: ") + std::strerror(errno); // "Permission denied", mostly
        return false;
    }
    bytes.resize(static_cast<std::size_t>(fs::file_size(path, ec)));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    const bool whole = in.gcount() == static_cast<std::streamsize>(bytes.size());
    if (in.bad() || ec || !whole) {
        reason = std::string("cannot read: ") + (ec                    ? ec.message()
                                                 : !whole && !in.bad() ? "it changed while read"
                                                                       : std::strerror(errno));
        return false;
    }
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0) {
        time = dosTimeOf(status.st_mtime);
        attributes = MemberAttributes::ofUnixMode(status.st_mode);
    }
    return true;
}

// The name of a member as its header holds it, with its Unicode form after a zero byte where it has one, so
// that adding to an archive never turns its names into the '?' of their 8-bit stand-ins.
std::string storedName(const MemberHeader& header) {
    const bool unicode = (header.flags & unicodeNameFlag) && !header.unicodePart.empty();
    return unicode ? header.name + '\0' + header.unicodePart : header.name;
}

// A kept member's attributes: a folder entry stays one, whatever its attributes say.
MemberAttributes attributesOf(const MemberHeader& header) {
    MemberAttributes attributes{header.hostOs, header.attributes};
    if (isDirectory(header) && !attributes.folder())
        attributes.attributes |= header.hostOs == hostUnix ? S_IFDIR : 0x10;
    return attributes;
}

// The permissions the new archive gets: those of the one it replaces, or those of a new file.
mode_t archiveMode(const std::string& archive) {
    struct stat existing {};
    return ::stat(archive.c_str(), &existing) == 0 ? existing.st_mode & 07777 : newFileMode();
}

// A file or empty folder `a` stores, under the name the user gave it. Plain strings: a std::filesystem::path
// keeps each of its folders apart as well, which for a tree of tens of thousands of files costs many times
// the names themselves.
struct FileToAdd {
    std::string name;
    std::string path;
    bool folder = false;
};

// The files an operand of `a` names, each with the name it is stored under: FILE, NAME=FILE, or a folder
// (FOLDER or NAME=FOLDER) with every file and empty folder in it, in name order so that the same folder
// gives the same archive. An operand that names an existing file is that file, '=' or not. Whatever in a
// folder is not stored is named: symbolic links and special files with a warning, what cannot be read with
// an error counted in `unreadable`. The archive itself, and its lock file, are left out. False, having said
// why, when the operand names nothing or cannot be stored under its name.
bool filesToAdd(const std::string& archive, const std::string& operand, std::vector<FileToAdd>& files,
                int& unreadable, const std::string& untouched) {
    std::error_code ec;
    // NAME=PATH stores what is at PATH under NAME; the first '=' splits them.
    const bool operandIsAFile = fs::exists(fs::symlink_status(operand, ec));
    const std::size_t equals = operandIsAFile ? std::string::npos : operand.find('=');
    const std::string given = operand.substr(0, equals);
    const fs::path path = equals == std::string::npos ? operand : operand.substr(equals + 1);
    std::string reason;
    // A '\' in a name the file system gave is part of that name on this system, but archives read it as a
    // folder separator: stored, "a\b" would come back as a folder "a" holding "b", and clash with one.
    const std::string backslashInName =
        "cannot be stored: its name holds '\\', which archives read as a folder separator; rename it";
    if (operandIsAFile && operand.find('\\') != std::string::npos) {
        fail(archive, operand, backslashInName + untouched);
        return false;
    }
    if (!fs::is_directory(path, ec)) {
        const std::optional<std::string> name = memberNameFor(given, reason);
        if (!name || !fs::exists(fs::symlink_status(path, ec))) {
            fail(archive, name ? path.string() : operand, (name ? "no such file" : reason) + untouched);
            return false;
        }
        files.push_back({*name, path.string()});
        return true;
    }
    // Put straight after the files before them and sorted there: a tree's list is never copied.
    const std::size_t firstInside = files.size();
    const auto leftOut = [&](const fs::path& where, LeftOut why, const std::string& message) {
        if (why == LeftOut::unreadable) {
            ++unreadable;
            fail(archive, where.string(), "cannot read the folder, what is in it is not stored: " + message);
        } else {
            fail(archive, where.string(),
                 why == LeftOut::link ? "warning: a symbolic link, not stored"
                                      : "warning: not a regular file, not stored");
        }
    };
    bool good = true;
    // Neither the archive nor the file that locks it while it is made goes into it.
    const std::string lockFile = ArchiveLock::lockFileFor(archive);
    const bool lockFileThere = fs::exists(lockFile, ec);
    const auto found = [&](const fs::path& entry, const fs::path& below, bool emptyFolder) {
        std::error_code ignored;
        if (!good || (!emptyFolder && (fs::equivalent(entry, archive, ignored) ||
                                       (lockFileThere && fs::equivalent(entry, lockFile, ignored)))))
            return;
        const std::string relative = below.generic_string();
        if (relative.find('\\') != std::string::npos) {
            ++unreadable;
            fail(archive, entry.string(), backslashInName + ", not stored");
            return;
        }
        const std::optional<std::string> name =
            memberNameFor(relative.empty() ? given : given + "/" + relative, reason);
        if (name) {
            files.push_back({*name, entry.string(), emptyFolder});
        } else if (!emptyFolder || !relative.empty()) { // "." with nothing in it: nothing to store
            fail(archive, entry.string(), reason + untouched);
            good = false;
        }
    };
    walkTree(path, found, leftOut);
    if (!good)
        return false;
    std::ranges::sort(files.begin() + static_cast<std::ptrdiff_t>(firstInside), files.end(), {},
                      &FileToAdd::name);
    return true;
}

// Says what keeps `a` from rewriting the archive: rewriting it would lose what could not be read.
void reportUnreadable(const std::string& archive, const UnreadablePart& unreadable,
                      const std::string& untouched) {
    if (unreadable.header.damage != ExtractResult::ok)
        reportDamage(archive, unreadable.header, "; cannot add to the archive" + untouched);
    else if (unreadable.trailingBytes != 0)
        fail(archive, "",
             "cannot add to it: " + counted(unreadable.trailingBytes, "byte") +
                 " after the last whole member, which no member accounts for" + untouched);
    else if (!unreadable.header.name.empty())
        fail(archive, memberNameUtf8(unreadable.header),
             std::string("cannot add to the archive, this member does not read back (") +
                 describe(unreadable.result) + ")" + untouched);
    else
        fail(archive, "", std::string("cannot add to it: ") + describe(unreadable.result) + untouched);
}

// Two names a system that ignores case cannot hold side by side are both stored, with a warning, when one of
// them is being added: a file, or a member of the archive that a file of its name replaces. Each pair is
// named once, the archive's members first, then the files whose names are new to it.
template <typename FileNamed>
void warnOfCaseOnlyClashes(const std::string& archive, const std::vector<std::string>& oldNames,
                           const std::vector<FileToAdd>& files, const FileNamed& fileNamed) {
    const auto oldName = [&](std::size_t i) -> std::string_view { return oldNames[i]; };
    const std::vector<std::uint32_t> oldByName = sameFileOrder(oldNames.size(), oldName);
    std::vector<std::string_view> names(oldNames.begin(), oldNames.end());
    for (const FileToAdd& file : files)
        if (!findSameFile(oldByName, file.name, oldName))
            names.push_back(file.name);
    const auto added = [&](std::size_t i) { return i >= oldNames.size() || fileNamed(names[i]).has_value(); };
    for (const auto& [later, earlier] : caseOnlyClashes(names))
        if (added(later) || added(earlier))
            fail(archive, names[later],
                 "warning: differs from " + printableText(names[earlier]) +
                     " only in case; both are stored, but a system that ignores case cannot hold both");
}

// Adds the files to the archive, made when missing. The new archive is written beside the old one as its
// members are packed, read back member by member, and only then put in its place. The members of an archive
// that is not solid are checked (decoded) and copied as they are, header and packed data, so adding a small
// file costs that file and every member keeps its method; a solid archive's members are decoded and packed
// again, one at a time, as one stream with the new ones: at the level given, or without one at the highest
// its members were packed at, so that adding a file to a -m5 archive does not undo its packing.
int add(const std::string& archive, const std::vector<std::string>& operands, PackOptions options,
        bool levelGiven) {
    // Held to the end: another `a` on this archive waits until this one has put its archive in place.
    std::string lockProblem;
    const std::optional<ArchiveLock> lock = ArchiveLock::acquire(
        archive, [&] { fail(archive, "", "waiting for another sdd that is adding to it"); }, lockProblem);
    if (!lock) {
        fail(archive, "", lockProblem + "; it is left as it was");
        return exitSkipped;
    }
    std::error_code ec;
    const bool existed = fs::exists(fs::symlink_status(archive, ec));
    const std::string untouched = existed ? "; the archive is left as it was" : "; no archive written";
    std::optional<FileArchiveSource> old;
    std::uint64_t total = 0;
    std::vector<std::string> oldNames; // every member's, as the user sees it, for the case warning
    if (existed) {
        old.emplace(archive);
        if (!old->isOpen()) {
            fail(archive, "", std::string("cannot open to add to it: ") + std::strerror(errno));
            return exitDamaged;
        }
        ArchiveWalk walk(*old);
        if (const ExtractResult start = walk.start(); start != ExtractResult::ok) {
            fail(archive, "", std::string("cannot add to it: ") + describe(start) + untouched);
            return exitDamaged;
        }
        // A solid archive stays solid: its members are packed again as one stream.
        options.solid = options.solid || walk.solid();
        std::vector<MemberHeader> members;
        listMembers(*old, members);
        int packedAt = 0;
        for (const MemberHeader& member : members) {
            total += member.unpSize;
            oldNames.push_back(memberNameUtf8(member));
            if (member.method > methodStored && member.method <= methodStored + 5)
                packedAt = std::max(packedAt, member.method - methodStored);
        }
        if (options.solid && !levelGiven && packedAt > 0)
            options.level = packedAt;
    }

    std::vector<FileToAdd> files;
    int unreadable = 0;
    for (const std::string& operand : operands)
        if (!filesToAdd(archive, operand, files, unreadable, untouched))
            return exitSkipped;
    // Held to the end; the room the list grew into beyond its files would be held with it for nothing.
    files.shrink_to_fit();
    // Where each file goes: in place of the archive's member of the same name, or after the archive's own.
    const std::vector<std::uint32_t> filesByName =
        sameFileOrder(files.size(), [&](std::size_t i) -> std::string_view { return files[i].name; });
    const auto fileNamed = [&](std::string_view name) {
        return findSameFile(filesByName, name,
                            [&](std::size_t i) -> std::string_view { return files[i].name; });
    };
    for (std::size_t i = 1; i < filesByName.size(); ++i)
        if (!sameFileBefore(files[filesByName[i - 1]].name, files[filesByName[i]].name)) {
            fail(archive, files[filesByName[i]].name, "given twice" + untouched);
            return exitSkipped;
        }
    for (const FileToAdd& file : files) {
        // Checked before reading: such a file may not even fit in memory.
        const std::uintmax_t size = fs::is_regular_file(file.path, ec) ? fs::file_size(file.path, ec) : 0;
        if (size > largestMemberSize) {
            fail(archive, file.path,
                 "larger than 256 MiB, the most a member can hold for the readers of this format" +
                     untouched);
            return exitSkipped;
        }
        total += size;
    }
    warnOfCaseOnlyClashes(archive, oldNames, files, fileNamed);
    oldNames = {};

    std::string reason;
    std::optional<PendingFile> output = PendingFile::create(archive, archiveMode(archive), reason);
    if (!output) {
        fail(archive, "", reason + untouched);
        return exitSkipped;
    }
    // Members may be packed several at once, so the line follows them as they are written.
    Progress progress(total);
    // The shown name and size of each member added and not yet written, by its place among those added:
    // only those wait here, not every name of the archive.
    std::map<std::size_t, std::pair<std::string, std::uint64_t>> unwritten;
    std::size_t addedCount = 0;
    const auto added = [&](std::string name, std::uint64_t size) {
        unwritten.emplace(addedCount++, std::pair{std::move(name), size});
    };
    std::uint64_t done = 0;
    WrittenMembers written; // before the packer, which reports to it until it is gone
    ArchivePacker packer(
        options, [&](std::span<const std::uint8_t> bytes) { return output->write(bytes); },
        [&](std::size_t index, std::uint32_t crc) {
            written.crcFound(index, crc);
            const auto member = unwritten.find(index);
            if (member == unwritten.end())
                return;
            done += member->second.second;
            progress.show(done, member->second.first);
            unwritten.erase(member);
        });
    std::vector<bool> fileAdded(files.size(), false);
    // Read one at a time, so that only the member being packed is in memory; a member that is only stored,
    // or too large to be held whole, streams from its file, read once for its CRC and again as it is packed
    // or written. A file that cannot be read is named and left out, as tar does; anything else that goes
    // wrong ends the run.
    const auto addFile = [&](std::size_t index) {
        fileAdded[index] = true;
        const FileToAdd& file = files[index];
        const std::string name = storedNameFor(file.name);
        if (file.folder) {
            struct stat status {};
            const bool found = ::stat(file.path.c_str(), &status) == 0;
            if (!found || !S_ISDIR(status.st_mode)) {
                ++unreadable;
                fail(archive, file.path,
                     found ? "no longer a folder, not stored"
                           : std::string("cannot read, not stored: ") + std::strerror(errno));
                return true;
            }
            added(file.name, 0);
            written.add(name, {});
            return packer.add(name, std::span<const std::uint8_t>{}, dosTimeOf(status.st_mtime),
                              MemberAttributes::ofUnixMode(status.st_mode));
        }
        std::error_code sizeError;
        if (options.level == 0 || fs::file_size(file.path, sizeError) > packedWholeUpTo) {
            // Stored, its header must hold its CRC before its bytes, so it is read for that first; packed,
            // it is read once, as it is packed, and checked for a change after.
            const bool packed = options.level > 0;
            const auto stored = std::make_shared<StoredFile>();
            if (!stored->open(file.path, reason, !packed)) {
                ++unreadable;
                fail(archive, file.path, reason + ", not stored");
                return true;
            }
            added(file.name, stored->size());
            if (packed)
                written.addCrcToCome(name, stored->size());
            else
                written.add(name, stored->size(), stored->crc());
            const MemberSource source{stored->size(),
                                      stored->crc(),
                                      [stored](std::span<std::uint8_t> into) { return stored->read(into); },
                                      [stored] { return stored->rewind(); },
                                      !packed,
                                      [stored] { return stored->unchanged(); }};
            if (!packer.addFrom(name, stored->time(), stored->attributes(), source)) {
                fail(archive, file.path,
                     (ArchiveWriter::acceptsName(name)
                          ? "cannot read: it changed while it was stored"
                          : "cannot be stored: the name is beyond what the format holds") +
                         untouched);
                return false;
            }
            return true;
        }
        std::vector<std::uint8_t> bytes;
        std::uint32_t time = defaultMemberTime;
        MemberAttributes attributes;
        if (!readFile(file.path, bytes, time, attributes, reason)) {
            ++unreadable;
            fail(archive, file.path, reason + ", not stored");
            return true;
        }
        added(file.name, bytes.size());
        written.add(name, bytes);
        if (!packer.add(name, std::move(bytes), time, attributes)) {
            fail(archive, file.name,
                 "cannot be stored: name or size beyond what the format holds" + untouched);
            return false;
        }
        return true;
    };

    if (old) {
        bool good = true;
        std::size_t replacedBy = files.size();
        // A solid archive's members go into the packer as they are decoded, so that a member of any size
        // costs the window; where there is no packing (-m0) they are held whole, as the member's header
        // comes before it.
        bool streamed = false;
        std::vector<std::uint8_t> bytes;
        // A member of exactly the same name is replaced where it stands; new files go after the archive's
        // own.
        const MemberStreamer keep{
            [&](const MemberHeader& header) -> ByteSink {
                const std::optional<std::size_t> file = fileNamed(memberNameUtf8(header));
                replacedBy = file && !fileAdded[*file] ? *file : files.size();
                bytes.clear();
                streamed = false;
                if (!good || !options.solid || isDirectory(header) || replacedBy < files.size() ||
                    header.unpSize == 0)
                    return {};
                if (options.level > 0) {
                    streamed = packer.startStreamed(storedName(header), header.unpSize, header.fileCrc,
                                                    header.fileTime, attributesOf(header));
                    if (!streamed)
                        return {};
                    return [&](std::span<const std::uint8_t> piece) { packer.addStreamed(piece); };
                }
                return [&](std::span<const std::uint8_t> piece) {
                    bytes.insert(bytes.end(), piece.begin(), piece.end());
                };
            },
            [&](const MemberHeader& header, ExtractResult) {
                if (!good)
                    return;
                if (replacedBy < files.size()) {
                    good = addFile(replacedBy);
                    return;
                }
                added(memberNameUtf8(header), header.unpSize);
                if (!options.solid)
                    good = packer.addCopied(*old, header);
                else if (streamed)
                    good = packer.finishStreamed();
                else
                    good = (isDirectory(header) || header.unpSize == 0 || options.level == 0) &&
                           packer.add(storedName(header), bytes, header.fileTime, attributesOf(header));
                if (!good)
                    fail(archive, memberNameUtf8(header),
                         "cannot be copied into the new archive" + untouched);
                if (options.solid)
                    written.add(storedName(header), header.unpSize, header.fileCrc);
                else
                    written.addCopied(storedName(header), header.unpSize, header.fileCrc);
            }};
        if (const std::optional<UnreadablePart> part = readArchiveWhole(*old, keep)) {
            reportUnreadable(archive, *part, untouched);
            return exitDamaged;
        }
        if (!good)
            return exitSkipped;
    }
    for (std::size_t i = 0; i < files.size(); ++i)
        if (!fileAdded[i] && !addFile(i))
            return exitSkipped;
    packer.finish();
    progress.clear();
    if (!packer.good()) {
        fail(archive, "",
             (packer.failure().empty() ? "cannot read a file whole: it changed while it was packed"
                                       : packer.failure()) +
                 untouched);
        return exitSkipped;
    }

    // Nothing replaces the target until every member has been read back from the file as written.
    std::string member;
    if (!output->flush()) {
        fail(archive, "", output->failure() + untouched);
        return exitSkipped;
    }
    FileArchiveSource source(output->temporaryPath());
    if (!source.isOpen() || !verifyArchive(source, written, member, reason)) {
        fail(archive, member,
             (source.isOpen() ? "written wrong, " + reason : "cannot read back what was written") +
                 untouched);
        return exitDamaged;
    }
    int error = 0;
    if (!output->commit(PendingFile::Replace::yes, true, reason, error)) {
        fail(archive, "", reason + untouched);
        return exitSkipped;
    }
    // As tar does: what could be read is in the archive, and the status says that something is not.
    if (unreadable != 0) {
        fail(archive, "",
             counted(unreadable, "path") + " could not be read and " + (unreadable == 1 ? "is" : "are") +
                 " not in the archive");
        return exitSkipped;
    }
    return exitOk;
}

// The options, and the commands that take each.
struct OptionRule {
    std::string_view name;
    std::string_view commands;
    bool takesValue = false;
};
constexpr OptionRule optionRules[] = {
    {"-o", "x", true}, {"-f", "x"},  {"-kb", "x"}, {"-m0", "a"}, {"-m1", "a"}, {"-m2", "a"},
    {"-m3", "a"},      {"-m4", "a"}, {"-m5", "a"}, {"-s", "a"},  {"-mm", "a"},
};

} // namespace

int main(int argc, char** argv) {
    // Names are matched and cut as the user's locale spells characters (UTF-8, as a rule).
    std::setlocale(LC_CTYPE, "");
    interrupt_cleanup::install();
    keepFreedMemoryForReuse();
    if (argc > 0 && argv[0][0] != '\0')
        programName = std::filesystem::path(argv[0]).filename().string();
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    for (std::string_view arg : arguments) {
        if (arg == "--")
            break;
        if (arg == "-h" || arg == "--help") {
            std::printf(helpText, programName.c_str(), programName.c_str());
            return std::fflush(stdout) == 0 ? exitOk : exitSkipped;
        }
        if (arg == "--version") {
            std::printf("%s (Heliox) %s\n", programName.c_str(), HELIOX_VERSION);
            return std::fflush(stdout) == 0 ? exitOk : exitSkipped;
        }
    }
    if (arguments.empty())
        return usage("no command given");
    const std::string command(arguments[0]);
    if (command != "l" && command != "t" && command != "x" && command != "p" && command != "a")
        return usage("unknown command '" + command + "'");

    std::vector<std::string> operands;
    ExtractOptions extractOptions;
    PackOptions packOptions;
    bool levelGiven = false;
    bool optionsEnded = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string_view arg = arguments[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (optionsEnded || !arg.starts_with("-") || arg.size() == 1) {
            operands.emplace_back(arg);
            continue;
        }
        const auto rule = std::ranges::find(optionRules, arg, &OptionRule::name);
        if (rule == std::end(optionRules))
            return usage("unknown option '" + std::string(arg) + "'");
        if (rule->commands.find(command) == std::string_view::npos)
            return usage(programName + " " + command + " takes no " + std::string(arg));
        std::string_view value;
        if (rule->takesValue) {
            if (++i == arguments.size())
                return usage(std::string(arg) + " needs a value");
            value = arguments[i];
        }
        if (arg == "-o")
            extractOptions.folder = value;
        else if (arg == "-f")
            extractOptions.overwrite = true;
        else if (arg == "-kb")
            extractOptions.keepBroken = true;
        else if (arg == "-s")
            packOptions.solid = true;
        else if (arg == "-mm")
            packOptions.multimedia = true;
        else {
            packOptions.level = arg[2] - '0';
            levelGiven = true;
        }
    }

    if (operands.empty())
        return usage(programName + " " + command + " needs an archive");
    const std::string archive = operands.front();
    const std::vector<std::string> rest(operands.begin() + 1, operands.end());
    if (command == "a") {
        if (rest.empty())
            return usage(programName + " a needs at least one file or folder to add");
        return add(archive, rest, packOptions, levelGiven);
    }
    if (command == "x") {
        extractOptions.patterns = rest;
        return extract(archive, extractOptions);
    }
    if (command == "p") {
        if (rest.empty())
            return usage(programName + " p needs the member (or a pattern) to write");
        return print(archive, rest);
    }
    // l and t take several archives; each is reported, and the worst result is the exit status.
    int status = exitOk;
    for (std::size_t i = 0; i < operands.size(); ++i) {
        if (command == "l" && i > 0)
            std::putchar('\n');
        status = std::max(status, command == "l" ? listArchive(operands[i]) : testArchive(operands[i]));
    }
    return status;
}
