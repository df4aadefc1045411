#include "app/linux/folder_lock.h"

#include "base/printable_text.h"

#include <cerrno>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

// What flock answers where the file system cannot lock a folder: NFS wants the file open for writing, which a
// folder never is; others keep no locks at all.
bool locksUnsupported(int error) {
    return error == EBADF || error == ENOLCK || error == EOPNOTSUPP || error == EINVAL;
}

} // namespace

FolderLock::FolderLock(const std::string& folder, std::string& error, std::chrono::milliseconds patience) {
    fd_ = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0) {
        error = "cannot lock " + printableText(folder) + ": " + std::strerror(errno);
        return;
    }
    const auto giveUp = std::chrono::steady_clock::now() + patience;
    while (flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        const int reason = errno;
        if (reason == EINTR)
            continue;
        if (locksUnsupported(reason)) {
            ok_ = true;
            return;
        }
        if (reason != EWOULDBLOCK) {
            error = "cannot lock " + printableText(folder) + ": " + std::strerror(reason);
            return;
        }
        if (std::chrono::steady_clock::now() >= giveUp) {
            error =
                printableText(folder) + " stayed locked by another program; try again once it has finished";
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ok_ = true;
}

FolderLock::~FolderLock() {
    if (fd_ >= 0)
        close(fd_); // closing the last descriptor releases the lock
}
