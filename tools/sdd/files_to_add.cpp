#include "tools/sdd/files_to_add.h"

#include "tools/sdd/archive_lock.h"
#include "tools/sdd/command_report.h"
#include "tools/sdd/member_path.h"
#include "tools/sdd/member_time.h"
#include "tools/sdd/tree_walk.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <optional>

#include <sys/stat.h>

namespace fs = std::filesystem;

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
