#include "app/linux/folder_lock.h"

#include "base/printable_text.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

FolderLock::FolderLock(const std::string& folder, std::string& error) {
    fd_ = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    int result = fd_ < 0 ? -1 : 0;
    if (fd_ >= 0)
        while ((result = flock(fd_, LOCK_EX)) != 0 && errno == EINTR) {
        }
    if (result != 0) {
        error = "cannot lock " + printableText(folder) + ": " + std::strerror(errno);
        if (fd_ >= 0)
            close(fd_);
        fd_ = -1;
    }
}

FolderLock::~FolderLock() {
    if (fd_ >= 0)
        close(fd_); // closing the last descriptor releases the lock
}
