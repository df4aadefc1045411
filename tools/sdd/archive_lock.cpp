#include "tools/sdd/archive_lock.h"

#include "tools/sdd/interrupt_cleanup.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Whether `fd` is (still) the file at `path`.
bool stillThere(int fd, const std::string& path) {
    struct stat at {
    }, held{};
    return ::stat(path.c_str(), &at) == 0 && ::fstat(fd, &held) == 0 && at.st_dev == held.st_dev &&
           at.st_ino == held.st_ino;
}

bool missing(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) != 0 && errno == ENOENT;
}

} // namespace

std::string ArchiveLock::lockFileFor(const std::string& archive) {
    const std::filesystem::path path(archive);
    return (path.parent_path() / ("." + path.filename().string() + ".sdd-lock")).string();
}

std::optional<ArchiveLock> ArchiveLock::acquire(const std::string& archive,
                                                const std::function<void()>& waiting, std::string& reason) {
    const std::string lockFile = lockFileFor(archive);
    bool saidWaiting = false;
    for (;;) {
        // Not blocking, so that a named pipe opens at once, to be refused, rather than wait for a writer.
        bool lockingFile = false;
        int fd = ::open(archive.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0 && errno == ENOENT) {
            lockingFile = true;
            fd = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
        }
        if (fd < 0) {
            reason = std::string("cannot open ") + (lockingFile ? lockFile : "it") +
                     " to lock it: " + std::strerror(errno);
            return std::nullopt;
        }
        struct stat status {};
        if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || (lockingFile && status.st_size != 0)) {
            reason = lockingFile ? lockFile + " is in the way: it is not the empty file sdd locks; remove it "
                                              "if no sdd is adding to the archive"
                                 : "not a regular file (a pipe, a device?): an archive is read and replaced "
                                   "as a file";
            ::close(fd);
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
        if (stillThere(fd, lockingFile ? lockFile : archive)) {
            if (!lockingFile)
                return ArchiveLock(fd, {});
            if (missing(archive)) {
                // Removed if the run is interrupted too; only while it is held, so never under a run that
                // holds it.
                interrupt_cleanup::remember(lockFile);
                return ArchiveLock(fd, lockFile);
            }
            // The archive was made meanwhile, by a hand other than sdd's: lock that instead.
            ::unlink(lockFile.c_str());
        }
        // Replaced, made or given up by the run we waited for: lock what is there now.
        ::close(fd);
    }
}

ArchiveLock::ArchiveLock(ArchiveLock&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), lockFile_(std::move(other.lockFile_)) {
    other.lockFile_.clear();
}

ArchiveLock::~ArchiveLock() {
    // Removed before it is let go, so that a run waiting on it finds it gone and looks again, and never
    // holds a lock on a file another run has made anew.
    if (!lockFile_.empty()) {
        ::unlink(lockFile_.c_str());
        interrupt_cleanup::forget(lockFile_);
    }
    if (fd_ >= 0)
        ::close(fd_);
}
