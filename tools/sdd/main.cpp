// sdd: the archive tool for data.sdd and any other RAR 2.x archive.
//   sdd l ARCHIVE                     list the members
//   sdd t ARCHIVE                     extract every member in memory and check its CRC
//   sdd x ARCHIVE [MEMBER...] [-o DIR] extract to files
//   sdd p ARCHIVE MEMBER              write one member to standard output
//   sdd a ARCHIVE FILE... [-m0..-m5] [-s] [-mm]
//                                     add to the archive (made when missing); members of the same name
//                                     are replaced; FILE may be NAME=PATH to store PATH as NAME. The
//                                     archive is written beside the target, read back member by member
//                                     and only then put in its place.
// Exit codes: 0 success, 1 a data error, 2 a usage error. Every error names the archive, the member and why.
#include "data/archive_reader.h"
#include "data/archive_walk.h"
#include "tools/sdd/archive_packer.h"
#include "tools/sdd/archive_verify.h"
#include "tools/sdd/member_path.h"

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr int exitOk = 0;
constexpr int exitDataError = 1;
constexpr int exitUsage = 2;

// RAR 2.x marks a folder entry with all three dictionary-size bits set.
constexpr std::uint16_t directoryFlags = 0x00E0;

int usage(const char* problem = nullptr) {
    if (problem)
        std::fprintf(stderr, "sdd: %s\n", problem);
    std::fputs(
        "usage: sdd l ARCHIVE                       list the members\n"
        "       sdd t ARCHIVE                       test every member's CRC\n"
        "       sdd x ARCHIVE [MEMBER...] [-o DIR]  extract (all members, or those named)\n"
        "       sdd p ARCHIVE MEMBER                write a member to standard output\n"
        "       sdd a ARCHIVE FILE... [-m0..-m5] [-s] [-mm]\n"
        "                                           add to the archive (made when missing), replacing\n"
        "                                           members of the same name: -m0 stores, -m1 (fastest)\n"
        "                                           to -m5 (smallest) pack, default -m3; -s solid; -mm\n"
        "                                           multimedia (sound, images); FILE may be NAME=PATH\n",
        stderr);
    return exitUsage;
}

void fail(const std::string& archive, std::string_view member, std::string_view reason) {
    if (member.empty())
        std::fprintf(stderr, "sdd: %s: %.*s\n", archive.c_str(), static_cast<int>(reason.size()),
                     reason.data());
    else
        std::fprintf(stderr, "sdd: %s: %.*s: %.*s\n", archive.c_str(), static_cast<int>(member.size()),
                     member.data(), static_cast<int>(reason.size()), reason.data());
}

// Junk after the last whole member (a download with something appended) does not stop the reading; it is
// reported, since it may also be what is left of a member cut off.
void reportTrailingBytes(const std::string& archive, std::uint64_t trailingBytes) {
    if (trailingBytes != 0)
        std::fprintf(stderr, "sdd: %s: warning: %" PRIu64 " bytes after the last whole member ignored\n",
                     archive.c_str(), trailingBytes);
}

bool isDirectory(const MemberHeader& member) {
    return (member.flags & directoryFlags) == directoryFlags;
}

int list(const std::string& archive, FileArchiveSource& source) {
    std::vector<MemberHeader> members;
    std::uint64_t trailingBytes = 0;
    ExtractResult walk = listMembers(source, members, &trailingBytes);
    reportTrailingBytes(archive, trailingBytes);
    std::printf("%10s %10s %6s %4s %8s %5s  %s\n", "Packed", "Size", "Method", "Ver", "CRC32", "Solid",
                "Name");
    for (const MemberHeader& m : members)
        std::printf("%10" PRIu32 " %10" PRIu32 " %6s %4u %08" PRIX32 " %5s  %s%s\n", m.packSize, m.unpSize,
                    m.method == methodStored ? "stored"
                                             : ("m" + std::to_string(m.method - methodStored)).c_str(),
                    m.unpVer, m.fileCrc, m.solidContinuation ? "yes" : "no", m.name.c_str(),
                    isDirectory(m) ? "\\" : "");
    if (walk != ExtractResult::ok) {
        fail(archive, "", describe(walk));
        return exitDataError;
    }
    return exitOk;
}

int test(const std::string& archive, FileArchiveSource& source) {
    int members = 0, failures = 0;
    std::uint64_t trailingBytes = 0;
    ExtractResult walk = extractAll(
        source,
        [&](const MemberHeader& header, ExtractResult result, std::span<const std::uint8_t>) {
            ++members;
            if (result != ExtractResult::ok) {
                ++failures;
                fail(archive, header.name, describe(result));
            }
        },
        &trailingBytes);
    reportTrailingBytes(archive, trailingBytes);
    if (walk != ExtractResult::ok) {
        fail(archive, "", describe(walk));
        return exitDataError;
    }
    std::printf("%s: %d members, %d failed\n", archive.c_str(), members, failures);
    return failures == 0 ? exitOk : exitDataError;
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

bool writeFile(const fs::path& folder, const fs::path& relative, std::span<const std::uint8_t> bytes,
               std::string& reason) {
    if (!createFolders(folder, relative.parent_path(), reason))
        return false;
    if (throughSymbolicLink(folder, relative, reason))
        return false;
    const fs::path path = folder / relative;
    // O_NOFOLLOW: a link put there since the check above is refused too.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
    bool written = fd >= 0;
    for (std::size_t at = 0; written && at < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + at, bytes.size() - at);
        if (n < 0 && errno == EINTR)
            continue;
        written = n > 0;
        at += written ? static_cast<std::size_t>(n) : 0;
    }
    if (fd >= 0)
        written = ::close(fd) == 0 && written;
    if (!written) {
        reason = "cannot write " + path.string() + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

int extract(const std::string& archive, FileArchiveSource& source, const std::vector<std::string>& wanted,
            const fs::path& folder) {
    std::vector<bool> found(wanted.size(), false);
    int failures = 0;
    auto isWanted = [&](const MemberHeader& header) {
        bool any = wanted.empty();
        for (std::size_t i = 0; i < wanted.size(); ++i)
            if (memberNameMatches(wanted[i], header.name))
                any = found[i] = true;
        return any;
    };
    std::uint64_t trailingBytes = 0;
    ExtractResult walk = extractAll(source, [&](const MemberHeader& header, ExtractResult result,
                                                std::span<const std::uint8_t> bytes) {
        if (!isWanted(header))
            return;
        std::string reason;
        std::optional<fs::path> relative = outputPathFor(header.name, reason);
        if (!relative) {
            ++failures;
            fail(archive, header.name,
                 "refused, " + reason + ": it would be written outside " + folder.string());
            return;
        }
        if (result != ExtractResult::ok) {
            ++failures;
            fail(archive, header.name, describe(result));
            return;
        }
        const bool written = isDirectory(header) ? createFolders(folder, *relative, reason)
                                                 : writeFile(folder, *relative, bytes, reason);
        if (!written) {
            ++failures;
            fail(archive, header.name, reason);
        }
    }, &trailingBytes);
    reportTrailingBytes(archive, trailingBytes);
    for (std::size_t i = 0; i < wanted.size(); ++i)
        if (!found[i] && walk == ExtractResult::ok) {
            ++failures;
            fail(archive, wanted[i], describe(ExtractResult::notFound));
        }
    if (walk != ExtractResult::ok) {
        fail(archive, "", describe(walk));
        return exitDataError;
    }
    return failures == 0 ? exitOk : exitDataError;
}

int print(const std::string& archive, FileArchiveSource& source, const std::string& member) {
    std::vector<std::uint8_t> bytes;
    ExtractResult result = extractMember(member, source, bytes);
    if (result != ExtractResult::ok) {
        fail(archive, member, describe(result));
        return exitDataError;
    }
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() || std::fflush(stdout) != 0) {
        fail(archive, member, "cannot write to standard output");
        return exitDataError;
    }
    return exitOk;
}

bool readFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& reason) {
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
    return true;
}

// A member to be written: its stored name, bytes and time.
struct MemberToWrite {
    std::string name;
    std::vector<std::uint8_t> bytes;
    std::uint32_t time = defaultMemberTime;
};

// Stored names alike for replacement: case and the folder separator do not count, as on the system the
// format comes from.
bool sameStoredName(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) {
        const auto fold = [](char c) {
            return c == '/' ? '\\' : (c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
        };
        return fold(x) == fold(y);
    });
}

// The members of an archive that is already there, every one extracted and checked, so that adding to it
// keeps them; and whether it is solid. False, having said why, when one of them cannot be read: rewriting
// the archive would lose it.
bool readExistingMembers(const std::string& archive, std::vector<MemberToWrite>& members, bool& solid) {
    FileArchiveSource source(archive);
    if (!source.isOpen()) {
        fail(archive, "", std::string("cannot open to add to it: ") + std::strerror(errno));
        return false;
    }
    ArchiveWalk walk(source);
    if (const ExtractResult start = walk.start(); start != ExtractResult::ok) {
        fail(archive, "", std::string("cannot add to it: ") + describe(start) + "; it is left as it was");
        return false;
    }
    solid = walk.solid();
    bool good = true;
    const ExtractResult result = extractAll(
        source, [&](const MemberHeader& header, ExtractResult memberResult, std::span<const std::uint8_t> bytes) {
            if (memberResult != ExtractResult::ok) {
                if (good)
                    fail(archive, header.name,
                         std::string("cannot add to the archive, this member does not read back (") +
                             describe(memberResult) + "); it is left as it was");
                good = false;
            } else if (!isDirectory(header)) {
                members.push_back({header.name, {bytes.begin(), bytes.end()}, header.fileTime});
            }
        });
    if (good && result != ExtractResult::ok) {
        fail(archive, "", std::string("cannot add to it: ") + describe(result) + "; it is left as it was");
        good = false;
    }
    return good;
}

// Writes the bytes to a new file beside `target` (same folder, so the rename cannot cross file systems),
// with the permissions a new file gets, or those of the file it replaces. The temporary name on success.
std::optional<std::string> writeTemporaryBeside(const fs::path& target, std::span<const std::uint8_t> bytes,
                                                std::string& reason) {
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string name = (folder / ("." + target.filename().string() + ".sdd-XXXXXX")).string();
    const int fd = ::mkstemp(name.data());
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
        return std::nullopt;
    }
    return name;
}

int add(const std::string& archive, const std::vector<std::string>& operands, PackOptions options) {
    std::vector<MemberToWrite> members;
    std::error_code ec;
    const bool existed = fs::exists(fs::symlink_status(archive, ec));
    const std::string untouched = existed ? "; the archive is left as it was" : "; no archive written";
    if (existed) {
        bool solid = false;
        if (!readExistingMembers(archive, members, solid))
            return exitDataError;
        // A solid archive stays solid: its members are packed again as one stream.
        options.solid = options.solid || solid;
    }

    std::vector<std::string> given;
    for (const std::string& operand : operands) {
        // NAME=PATH stores the file at PATH under NAME; the first '=' splits them.
        const std::size_t equals = operand.find('=');
        const std::string file = equals == std::string::npos ? operand : operand.substr(equals + 1);
        std::string reason;
        std::optional<std::string> name = memberNameFor(operand.substr(0, equals), reason);
        if (!name) {
            fail(archive, operand, reason + untouched);
            return exitDataError;
        }
        for (const std::string& earlier : given)
            if (memberNameMatches(earlier, *name)) {
                fail(archive, *name, "given twice" + untouched);
                return exitDataError;
            }
        // Checked before reading: such a file may not even fit in memory.
        if (fs::is_regular_file(file, ec) && fs::file_size(file, ec) > largestMemberSize) {
            fail(archive, file,
                 "larger than 256 MiB, the most a member can hold for the readers of this format" + untouched);
            return exitDataError;
        }
        MemberToWrite member{*name, {}, defaultMemberTime};
        if (!readFile(file, member.bytes, reason)) {
            fail(archive, file, reason + untouched);
            return exitDataError;
        }
        given.push_back(*name);
        // A member of the same name is replaced where it stands; others go after the archive's own.
        const auto same = std::ranges::find_if(
            members, [&](const MemberToWrite& old) { return sameStoredName(old.name, member.name); });
        if (same != members.end())
            *same = std::move(member);
        else
            members.push_back(std::move(member));
    }

    ArchivePacker packer(options);
    std::vector<WrittenMember> written;
    for (const MemberToWrite& member : members) {
        if (!packer.add(member.name, member.bytes, member.time)) {
            fail(archive, member.name, "cannot be stored: name or size beyond what the format holds" + untouched);
            return exitDataError;
        }
        written.push_back(WrittenMember::of(member.name, member.bytes));
    }

    // Nothing replaces the target until every member has been read back from the file as written.
    std::string reason;
    const std::optional<std::string> temporary = writeTemporaryBeside(archive, packer.finish().bytes(), reason);
    if (!temporary) {
        fail(archive, "", reason + untouched);
        return exitDataError;
    }
    std::string member;
    FileArchiveSource source(*temporary);
    const bool verified = source.isOpen() && verifyArchive(source, written, member, reason);
    if (!verified) {
        ::unlink(temporary->c_str());
        fail(archive, member,
             (source.isOpen() ? "written wrong, " + reason : "cannot read back what was written") + untouched);
        return exitDataError;
    }
    if (std::rename(temporary->c_str(), archive.c_str()) != 0) {
        reason = std::strerror(errno);
        ::unlink(temporary->c_str());
        fail(archive, "", "cannot replace it: " + reason + untouched);
        return exitDataError;
    }
    return exitOk;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3)
        return usage();
    const std::string_view command = argv[1];
    const std::string archive = argv[2];

    std::vector<std::string> operands;
    fs::path folder = ".";
    PackOptions packOptions;
    for (int i = 3; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (command == "x" && arg == "-o") {
            if (++i == argc)
                return usage("-o needs a folder");
            folder = argv[i];
        } else if (command == "a" && arg == "-mm") {
            packOptions.multimedia = true;
        } else if (command == "a" && arg == "-s") {
            packOptions.solid = true;
        } else if (command == "a" && arg.size() == 3 && arg.starts_with("-m") && arg[2] >= '0' &&
                   arg[2] <= '5') {
            packOptions.level = arg[2] - '0';
        } else if (arg.starts_with("-") && arg.size() > 1) {
            return usage(("unknown option " + std::string(arg)).c_str());
        } else {
            operands.emplace_back(arg);
        }
    }

    if (command == "a") {
        if (operands.empty())
            return usage("sdd a needs at least one file");
        return add(archive, operands, packOptions);
    }
    if (command != "l" && command != "t" && command != "x" && command != "p")
        return usage(("unknown command " + std::string(command)).c_str());
    if ((command == "l" || command == "t") && !operands.empty())
        return usage(("sdd " + std::string(command) + " takes only the archive").c_str());
    if (command == "p" && operands.size() != 1)
        return usage("sdd p needs exactly one member");

    FileArchiveSource source(archive);
    if (!source.isOpen()) {
        fail(archive, "", std::string("cannot open: ") + std::strerror(errno));
        return exitDataError;
    }
    if (command == "l")
        return list(archive, source);
    if (command == "t")
        return test(archive, source);
    if (command == "x")
        return extract(archive, source, operands, folder);
    return print(archive, source, operands[0]);
}
