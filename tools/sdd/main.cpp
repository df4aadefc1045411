// sdd: the archive tool for data.sdd and any other RAR 2.x archive, used as unrar, unar and 7z are:
//   sdd l ARCHIVE...                  list the members, with sizes, ratio, date, attributes and totals
//   sdd t ARCHIVE...                  extract every member in memory and check its CRC
//   sdd x ARCHIVE [PATTERN...] [-o DIR] [-f]
//                                     extract to files, restoring their dates; existing files are kept
//                                     unless -f
//   sdd p ARCHIVE PATTERN...          write members to standard output
//   sdd a ARCHIVE FILE|FOLDER... [-m0..-m5] [-s] [-mm]
//                                     add to the archive (made when missing); members of exactly the same
//                                     name are replaced; FILE may be NAME=PATH to store PATH as NAME. The
//                                     archive is written beside the target, read back member by member
//                                     and only then put in its place.
// Exit codes: 0 success; 1 a file kept, skipped or not read or written; 2 a usage error; 3 a damaged or
// unreadable archive (the larger wins). Every error names the archive, the member and why.
#include "data/archive_reader.h"
#include "data/archive_walk.h"
#include "tools/sdd/archive_lock.h"
#include "tools/sdd/archive_packer.h"
#include "tools/sdd/archive_read_whole.h"
#include "tools/sdd/archive_verify.h"
#include "tools/sdd/interrupt_cleanup.h"
#include "tools/sdd/member_name.h"
#include "tools/sdd/member_path.h"
#include "tools/sdd/member_time.h"
#include "tools/sdd/name_clash.h"
#include "tools/sdd/progress.h"
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
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

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
    "  t ARCHIVE...              test: extract every member in memory and check its CRC-32\n"
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
    const std::string where = printableName(archive);
    if (member.empty())
        std::fprintf(stderr, "%s: %s: %.*s\n", programName.c_str(), where.c_str(),
                     static_cast<int>(reason.size()), reason.data());
    else
        std::fprintf(stderr, "%s: %s: %s: %.*s\n", programName.c_str(), where.c_str(),
                     printableName(member).c_str(), static_cast<int>(reason.size()), reason.data());
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
                                                   : printableName(header.name);
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

    std::printf("Archive: %s%s\n", printableName(archive).c_str(), walk.solid() ? " (solid)" : "");
    std::printf("%-10s %10s %10s %5s %-16s %-8s %-6s %s\n", "Attributes", "Size", "Packed", "Ratio",
                "Date       Time", "CRC32", "Method", "Name");
    std::fputs(listRule, stdout);
    std::uint64_t size = 0, packed = 0;
    for (const MemberHeader& m : members) {
        const std::string name = printableName(memberNameUtf8(m)) + (isDirectory(m) ? "\\" : "");
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
    ExtractResult walk = extractAll(
        *source,
        [&](const MemberHeader& header, ExtractResult result, std::span<const std::uint8_t>) {
            if (header.damage != ExtractResult::ok && isMainHeader(header)) {
                mainHeaderDamaged = true;
                reportDamage(archive, header);
                return;
            }
            ++members;
            done += header.unpSize;
            progress.show(done, memberNameUtf8(header));
            if (header.damage != ExtractResult::ok) {
                ++failures;
                reportDamage(archive, header);
            } else if (result != ExtractResult::ok) {
                ++failures;
                fail(archive, memberNameUtf8(header), describe(result));
            }
        },
        &trailingBytes);
    progress.clear();
    reportTrailingBytes(archive, trailingBytes);
    // Damage met on the way was reported as it came; what is left is an archive that could not be opened.
    if (walk != ExtractResult::ok && failures == 0 && !mainHeaderDamaged) {
        fail(archive, "", describe(walk));
        return exitDamaged;
    }
    std::printf("%s: %s, %d failed\n", printableName(archive).c_str(), counted(members, "member").c_str(),
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

bool writeAll(int fd, std::span<const std::uint8_t> bytes) {
    for (std::size_t at = 0; at < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + at, bytes.size() - at);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        at += static_cast<std::size_t>(n);
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

enum class Written { yes, skipped, failed };

// Writes a member's file. A file that is there already is kept (skipped) unless `overwrite`; then the new
// file is written beside it and renamed over it, so the old one is replaced whole and a hard link to it,
// which may lead out of the folder, keeps its contents.
Written writeFile(const fs::path& folder, const fs::path& relative, std::span<const std::uint8_t> bytes,
                  std::uint32_t storedTime, mode_t permissions, bool overwrite, std::string& reason) {
    if (!createFolders(folder, relative.parent_path(), reason) ||
        throughSymbolicLink(folder, relative, reason))
        return Written::failed;
    const fs::path path = folder / relative;
    std::string written = path.string();
    int fd;
    if (overwrite) {
        std::error_code ec;
        if (fs::is_directory(fs::symlink_status(path, ec))) {
            reason = "cannot write " + path.string() + ": a folder is there";
            return Written::failed;
        }
        written = (path.parent_path() / ("." + path.filename().string() + ".sdd-XXXXXX")).string();
        fd = ::mkstemp(written.data());
        if (fd >= 0)
            ::fchmod(fd, permissions);
    } else {
        // O_EXCL: only a file that is not there yet; O_NOFOLLOW: a link put there since the check above is
        // refused too.
        fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, permissions);
        if (fd < 0 && errno == EEXIST) {
            reason = "skipped, " + path.string() + " is there already (-f overwrites it)";
            return Written::skipped;
        }
    }
    bool good = fd >= 0 && writeAll(fd, bytes);
    if (good)
        setModificationTime(fd, storedTime);
    if (fd >= 0)
        good = ::close(fd) == 0 && good;
    if (good && overwrite)
        good = std::rename(written.c_str(), path.c_str()) == 0;
    if (!good) {
        reason = "cannot write " + path.string() + ": " + std::strerror(errno);
        if (fd >= 0)
            ::unlink(written.c_str()); // nothing half written stays
        return Written::failed;
    }
    return Written::yes;
}

struct ExtractOptions {
    std::vector<std::string> patterns; // none: every member
    fs::path folder = ".";
    bool overwrite = false;
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

int extract(const std::string& archive, const ExtractOptions& options) {
    std::optional<FileArchiveSource> source = openArchive(archive);
    if (!source)
        return exitDamaged;
    std::vector<bool> used(options.patterns.size(), false);
    int damaged = 0, leftOut = 0, skipped = 0;
    std::vector<std::pair<fs::path, MemberHeader>> folders;
    std::uint64_t trailingBytes = 0, done = 0;
    Progress progress(totalSize(*source));
    const ExtractResult walk = extractAll(
        *source,
        [&](const MemberHeader& header, ExtractResult result, std::span<const std::uint8_t> bytes) {
            // A damaged header may have been any member, selected or not.
            if (header.damage != ExtractResult::ok) {
                ++damaged;
                reportDamage(archive, header);
                return;
            }
            const std::string name = memberNameUtf8(header);
            done += header.unpSize;
            if (!selected(options.patterns, used, name))
                return;
            progress.show(done, name);
            std::string reason;
            std::optional<fs::path> relative = outputPathFor(name, reason);
            if (!relative) {
                ++leftOut;
                fail(archive, name,
                     "refused, " + reason + ": it would be written outside " + options.folder.string());
                return;
            }
            if (result != ExtractResult::ok) {
                ++damaged;
                fail(archive, name, describe(result));
                return;
            }
            if (isDirectory(header)) {
                if (createFolders(options.folder, *relative, reason))
                    folders.emplace_back(options.folder / *relative, header);
                else {
                    ++leftOut;
                    fail(archive, name, reason);
                }
                return;
            }
            switch (writeFile(options.folder, *relative, bytes, header.fileTime, permissionsFor(header),
                              options.overwrite, reason)) {
            case Written::yes:
                break;
            case Written::skipped:
                ++skipped;
                fail(archive, name, reason);
                break;
            case Written::failed:
                ++leftOut;
                fail(archive, name, reason);
                break;
            }
        },
        &trailingBytes);
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
    int damaged = 0, unused = 0;
    bool outputBroken = false;
    const ExtractResult walk = extractAll(
        *source, [&](const MemberHeader& header, ExtractResult result, std::span<const std::uint8_t> bytes) {
            if (header.damage != ExtractResult::ok) {
                ++damaged;
                reportDamage(archive, header);
                return;
            }
            const std::string name = memberNameUtf8(header);
            if (outputBroken || isDirectory(header) || !selected(patterns, used, name))
                return;
            if (result != ExtractResult::ok) {
                ++damaged;
                fail(archive, name, describe(result));
            } else if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size()) {
                fail(archive, name, "cannot write to standard output");
                outputBroken = true;
            }
        });
    if (!outputBroken && std::fflush(stdout) != 0) {
        fail(archive, "", "cannot write to standard output");
        outputBroken = true;
    }
    if (walk != ExtractResult::ok && damaged == 0) {
        fail(archive, "", describe(walk));
        return exitDamaged;
    }
    unused = reportUnused(archive, patterns, used);
    return damaged != 0 ? exitDamaged : (unused != 0 || outputBroken ? exitSkipped : exitOk);
}

// Reads a file for `a`, with its time and mode.
bool readFile(const fs::path& path, std::vector<std::uint8_t>& bytes, std::uint32_t& time,
              MemberAttributes& attributes, std::string& reason) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) {
        reason = fs::exists(path, ec) ? "not a file" : "no such file";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (!in.is_open() || in.bad()) {
        reason = std::string("cannot read: ") + std::strerror(errno);
        return false;
    }
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0) {
        time = dosTimeOf(status.st_mtime);
        attributes = MemberAttributes::ofUnixMode(status.st_mode);
    }
    return true;
}

// A member to be written: its name as the header holds it, bytes and time; and its name as the user sees it.
// A member kept from the archive keeps its name's Unicode form (after a zero byte) where it had one, so that
// adding to an archive never turns its names into the '?' of their 8-bit stand-ins.
struct MemberToWrite {
    std::string name;
    std::vector<std::uint8_t> bytes;
    std::uint32_t time = defaultMemberTime;
    std::string shownName;
    MemberAttributes attributes;
};

// The members of an archive that is already there, every one extracted and checked, so that adding to it
// keeps them; and whether it is solid. False, having said why, when the archive cannot be read whole:
// rewriting it would lose what could not be read.
bool readExistingMembers(const std::string& archive, std::vector<MemberToWrite>& members, bool& solid) {
    FileArchiveSource source(archive);
    if (!source.isOpen()) {
        fail(archive, "", std::string("cannot open to add to it: ") + std::strerror(errno));
        return false;
    }
    const std::optional<UnreadablePart> unreadable =
        readArchiveWhole(source, solid, [&](const MemberHeader& header, std::span<const std::uint8_t> bytes) {
            const bool unicode = (header.flags & unicodeNameFlag) && !header.unicodePart.empty();
            MemberAttributes attributes{header.hostOs, header.attributes};
            // A folder entry stays one, whatever its attributes say.
            if (isDirectory(header) && !attributes.folder())
                attributes.attributes |= header.hostOs == hostUnix ? S_IFDIR : 0x10;
            members.push_back({unicode ? header.name + '\0' + header.unicodePart : header.name,
                               {bytes.begin(), bytes.end()},
                               header.fileTime,
                               memberNameUtf8(header),
                               attributes});
        });
    if (!unreadable)
        return true;
    const std::string untouched = "; it is left as it was";
    if (unreadable->header.damage != ExtractResult::ok)
        reportDamage(archive, unreadable->header, "; cannot add to the archive" + untouched);
    else if (unreadable->trailingBytes != 0)
        fail(archive, "",
             "cannot add to it: " + counted(unreadable->trailingBytes, "byte") +
                 " after the last whole member, which no member accounts for" + untouched);
    else if (!unreadable->header.name.empty())
        fail(archive, memberNameUtf8(unreadable->header),
             std::string("cannot add to the archive, this member does not read back (") +
                 describe(unreadable->result) + ")" + untouched);
    else
        fail(archive, "", std::string("cannot add to it: ") + describe(unreadable->result) + untouched);
    return false;
}

// Writes the bytes to a new file beside `target` (same folder, so the rename cannot cross file systems),
// with the permissions a new file gets, or those of the file it replaces. The temporary name on success.
std::optional<std::string> writeTemporaryBeside(const fs::path& target, std::span<const std::uint8_t> bytes,
                                                std::string& reason) {
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string name = (folder / ("." + target.filename().string() + ".sdd-XXXXXX")).string();
    const int fd = interrupt_cleanup::createTemporary(name);
    if (fd < 0) {
        reason = std::string("cannot create a file in ") + folder.string() + ": " + std::strerror(errno);
        return std::nullopt;
    }
    struct stat existing {};
    mode_t mode;
    if (::stat(target.c_str(), &existing) == 0) {
        mode = existing.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    bool written = ::fchmod(fd, mode) == 0;
    for (std::size_t at = 0; written && at < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + at, bytes.size() - at);
        if (n < 0 && errno == EINTR)
            continue;
        written = n > 0;
        at += written ? static_cast<std::size_t>(n) : 0;
    }
    written = written && ::fsync(fd) == 0;
    written = ::close(fd) == 0 && written;
    if (!written) {
        reason = std::string("cannot write ") + name + ": " + std::strerror(errno);
        ::unlink(name.c_str());
        interrupt_cleanup::forget(name);
        return std::nullopt;
    }
    return name;
}

// A file or empty folder `a` stores, under the name the user gave it.
struct FileToAdd {
    std::string name;
    fs::path path;
    bool folder = false;
};

// The files an operand of `a` names, each with the name it is stored under: FILE, NAME=FILE, or a folder
// (FOLDER or NAME=FOLDER) with every file and empty folder in it, in name order so that the same folder
// gives the same archive. An operand that names an existing file is that file, '=' or not. Whatever in a
// folder is not stored is named: symbolic links and special files with a warning, what cannot be read with
// an error counted in `unreadable`. The archive itself is left out. False, having said why, when the operand
// names nothing or cannot be stored under its name.
bool filesToAdd(const std::string& archive, const std::string& operand, std::vector<FileToAdd>& files,
                int& unreadable, const std::string& untouched) {
    std::error_code ec;
    // NAME=PATH stores what is at PATH under NAME; the first '=' splits them.
    const bool operandIsAFile = fs::exists(fs::symlink_status(operand, ec));
    const std::size_t equals = operandIsAFile ? std::string::npos : operand.find('=');
    const std::string given = operand.substr(0, equals);
    const fs::path path = equals == std::string::npos ? operand : operand.substr(equals + 1);
    std::string reason;
    if (!fs::is_directory(path, ec)) {
        const std::optional<std::string> name = memberNameFor(given, reason);
        if (!name || !fs::exists(fs::symlink_status(path, ec))) {
            fail(archive, name ? path.string() : operand, (name ? "no such file" : reason) + untouched);
            return false;
        }
        files.push_back({*name, path});
        return true;
    }
    std::vector<FileToAdd> inside;
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
    for (const TreeEntry& entry : walkTree(path, leftOut)) {
        std::error_code ignored;
        if (!entry.folder && fs::equivalent(entry.path, archive, ignored))
            continue;
        const std::string relative = entry.relative.generic_string();
        const std::optional<std::string> name =
            memberNameFor(relative.empty() ? given : given + "/" + relative, reason);
        if (!name) {
            if (entry.folder && relative.empty())
                continue; // "." with nothing in it: nothing to store
            fail(archive, entry.path.string(), reason + untouched);
            return false;
        }
        inside.push_back({*name, entry.path, entry.folder});
    }
    std::ranges::sort(inside, {}, &FileToAdd::name);
    files.insert(files.end(), inside.begin(), inside.end());
    return true;
}

// Reads what `a` stores for a file or folder; nothing, having named it, when it cannot be read.
std::optional<MemberToWrite> memberFor(const std::string& archive, const FileToAdd& file) {
    MemberToWrite member{storedNameFor(file.name), {}, defaultMemberTime, file.name, {}};
    std::string reason;
    if (file.folder) {
        struct stat status {};
        const bool found = ::stat(file.path.c_str(), &status) == 0;
        if (!found || !S_ISDIR(status.st_mode)) {
            fail(archive, file.path.string(),
                 found ? "no longer a folder, not stored"
                       : std::string("cannot read, not stored: ") + std::strerror(errno));
            return std::nullopt;
        }
        member.time = dosTimeOf(status.st_mtime);
        member.attributes = MemberAttributes::ofUnixMode(status.st_mode);
    } else if (!readFile(file.path, member.bytes, member.time, member.attributes, reason)) {
        fail(archive, file.path.string(), reason + ", not stored");
        return std::nullopt;
    }
    return member;
}

// Two names a system that ignores case cannot hold side by side are both stored, with a warning, when one of
// them is being added.
void warnOfCaseOnlyClashes(const std::string& archive, const std::vector<MemberToWrite>& members,
                           const std::set<std::string>& added) {
    std::vector<std::string> names;
    for (const MemberToWrite& member : members)
        names.push_back(member.shownName);
    for (const auto& [later, earlier] : caseOnlyClashes(names))
        if (added.contains(names[later]) || added.contains(names[earlier]))
            fail(archive, names[later],
                 "warning: differs from " + printableName(names[earlier]) +
                     " only in case; both are stored, but a system that ignores case cannot hold both");
}

int add(const std::string& archive, const std::vector<std::string>& operands, PackOptions options) {
    // Held to the end: another `a` on this archive waits until this one has put its archive in place.
    std::string lockProblem;
    const std::optional<ArchiveLock> lock = ArchiveLock::acquire(
        archive, [&] { fail(archive, "", "waiting for another sdd that is adding to it"); }, lockProblem);
    if (!lock) {
        fail(archive, "", lockProblem + "; it is left as it was");
        return exitSkipped;
    }
    std::vector<MemberToWrite> members;
    std::error_code ec;
    const bool existed = fs::exists(fs::symlink_status(archive, ec));
    const std::string untouched = existed ? "; the archive is left as it was" : "; no archive written";
    if (existed) {
        bool solid = false;
        if (!readExistingMembers(archive, members, solid))
            return exitDamaged;
        // A solid archive stays solid: its members are packed again as one stream.
        options.solid = options.solid || solid;
    }

    std::vector<FileToAdd> files;
    int unreadable = 0;
    for (const std::string& operand : operands)
        if (!filesToAdd(archive, operand, files, unreadable, untouched))
            return exitSkipped;

    std::set<std::string> given;
    for (const FileToAdd& file : files) {
        if (!given.insert(sameFileKey(file.name)).second) {
            fail(archive, file.name, "given twice" + untouched);
            return exitSkipped;
        }
        // Checked before reading: such a file may not even fit in memory.
        const std::uintmax_t size = fs::is_regular_file(file.path, ec) ? fs::file_size(file.path, ec) : 0;
        if (size > largestMemberSize) {
            fail(archive, file.path.string(),
                 "larger than 256 MiB, the most a member can hold for the readers of this format" +
                     untouched);
            return exitSkipped;
        }
    }
    // A member of the same name is replaced where it stands; others go after the archive's own.
    std::map<std::string, std::size_t> placeOf;
    for (std::size_t i = 0; i < members.size(); ++i)
        placeOf.emplace(sameFileKey(members[i].shownName), i);
    std::set<std::string> addedNames;
    for (const FileToAdd& file : files) {
        std::optional<MemberToWrite> member = memberFor(archive, file);
        if (!member) {
            ++unreadable;
            continue;
        }
        addedNames.insert(member->shownName);
        const auto [place, isNew] = placeOf.emplace(sameFileKey(member->shownName), members.size());
        if (isNew)
            members.push_back(std::move(*member));
        else
            members[place->second] = std::move(*member);
    }
    warnOfCaseOnlyClashes(archive, members, addedNames);
    std::uint64_t total = 0, done = 0;
    for (const MemberToWrite& member : members)
        total += member.bytes.size();

    Progress progress(total);
    // Members may be packed several at once, so the line follows them as they are written.
    ArchivePacker packer(options, [&](std::size_t index) {
        done += members[index].bytes.size();
        if (index + 1 < members.size())
            progress.show(done, members[index + 1].shownName);
    });
    std::vector<WrittenMember> written;
    for (const MemberToWrite& member : members) {
        if (!packer.add(member.name, member.bytes, member.time, member.attributes)) {
            fail(archive, member.shownName,
                 "cannot be stored: name or size beyond what the format holds" + untouched);
            return exitSkipped;
        }
        written.push_back(WrittenMember::of(member.name, member.bytes));
    }
    const std::vector<std::uint8_t>& archiveBytes = packer.finish().bytes();
    progress.clear();

    // Nothing replaces the target until every member has been read back from the file as written.
    std::string reason;
    const std::optional<std::string> temporary = writeTemporaryBeside(archive, archiveBytes, reason);
    if (!temporary) {
        fail(archive, "", reason + untouched);
        return exitSkipped;
    }
    std::string member;
    FileArchiveSource source(*temporary);
    const bool verified = source.isOpen() && verifyArchive(source, written, member, reason);
    if (!verified) {
        ::unlink(temporary->c_str());
        interrupt_cleanup::forget(*temporary);
        fail(archive, member,
             (source.isOpen() ? "written wrong, " + reason : "cannot read back what was written") +
                 untouched);
        return exitDamaged;
    }
    const bool replaced = std::rename(temporary->c_str(), archive.c_str()) == 0;
    reason = std::strerror(errno);
    if (!replaced)
        ::unlink(temporary->c_str());
    interrupt_cleanup::forget(*temporary);
    if (!replaced) {
        fail(archive, "", "cannot replace it: " + reason + untouched);
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
    {"-o", "x", true}, {"-f", "x"},  {"-m0", "a"}, {"-m1", "a"}, {"-m2", "a"},
    {"-m3", "a"},      {"-m4", "a"}, {"-m5", "a"}, {"-s", "a"},  {"-mm", "a"},
};

} // namespace

int main(int argc, char** argv) {
    // Names are matched and cut as the user's locale spells characters (UTF-8, as a rule).
    std::setlocale(LC_CTYPE, "");
    interrupt_cleanup::install();
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
        else if (arg == "-s")
            packOptions.solid = true;
        else if (arg == "-mm")
            packOptions.multimedia = true;
        else
            packOptions.level = arg[2] - '0';
    }

    if (operands.empty())
        return usage(programName + " " + command + " needs an archive");
    const std::string archive = operands.front();
    const std::vector<std::string> rest(operands.begin() + 1, operands.end());
    if (command == "a") {
        if (rest.empty())
            return usage(programName + " a needs at least one file or folder to add");
        return add(archive, rest, packOptions);
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
