#include "tools/sdd/archive_lock.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Whether `fd` is (still) what the path names: the archive, or its folder while the archive is missing.
bool stillThere(int fd, const std::string& archive, bool lockedFolder) {
    struct stat at {
    }, held{};
    if (::stat(archive.c_str(), &at) != 0)
        return lockedFolder && errno == ENOENT;
    return !lockedFolder && ::fstat(fd, &held) == 0 && at.st_dev == held.st_dev && at.st_ino == held.st_ino;
}

} // namespace

std::optional<ArchiveLock> ArchiveLock::acquire(const std::string& archive,
                                                const std::function<void()>& waiting, std::string& reason) {
    const std::filesystem::path path(archive);
    const std::string folder = path.has_parent_path() ? path.parent_path().string() : ".";
    bool saidWaiting = false;
    for (;;) {
        bool lockedFolder = false;
        int fd = ::open(archive.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0 && errno == ENOENT) {
            lockedFolder = true;
            fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        }
        if (fd < 0) {
            reason = std::string("cannot open to lock it: ") + std::strerror(errno);
            return std::nullopt;
        }
        int locked = ::flock(fd, LOCK_EX | LOCK_NB);
        if (locked != 0 && errno == EWOULDBLOCK) {
            if (!saidWaiting)
                waiting();
            saidWaiting = true;
            while ((locked = ::flock(fd, LOCK_EX)) != 0 && errno == EINTR) {
            }
        }
        if (locked != 0) {
            reason = std::string("cannot lock it: ") + std::strerror(errno);
            ::close(fd);
            return std::nullopt;
        }
        if (stillThere(fd, archive, lockedFolder))
            return ArchiveLock(fd);
        // Replaced or made by the run we waited for: lock what is there now.
        ::close(fd);
    }
}

ArchiveLock::~ArchiveLock() {
    if (fd_ >= 0)
        ::close(fd_);
}
