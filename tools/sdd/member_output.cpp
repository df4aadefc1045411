#include "tools/sdd/member_output.h"

#include "base/umasked_mode.h"
#include "data/rar20_format.h"
#include "tools/sdd/interrupt_cleanup.h"
#include "tools/sdd/member_path.h"
#include "tools/sdd/member_time.h"

#include <cerrno>
#include <ctime>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

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
    if (header.hostOs == rar::hostUnix)
        return umaskedMode(header.attributes & 0777);
    return umaskedMode(header.isFolder() ? 0777 : 0666);
}

PendingFile::Replace replaceWhen(const ExtractOptions& options) {
    return options.overwrite ? PendingFile::Replace::yes : PendingFile::Replace::no;
}

} // namespace

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

void setFolderTimeAndPermissions(const fs::path& path, const MemberHeader& header) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fchmod(fd, permissionsFor(header));
    setModificationTime(fd, header.fileTime);
    ::close(fd);
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
    if (header.isFolder()) {
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
    output.file =
        PendingFile::create(path, permissionsFor(header), output.reason, interrupt_cleanup::temporaryFiles);
    output.outcome = output.file ? MemberOutput::Outcome::written : MemberOutput::Outcome::failed;
    return output;
}

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
