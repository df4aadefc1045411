#include "app/linux/file_replacement.h"

#include "base/printable_text.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// The system gives up after 40 links in a row (a loop among links never ends otherwise); so does this.
constexpr int mostLinksFollowed = 40;

bool writeAll(int fd, const std::string& text) {
    const char* p = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        const ssize_t n = write(fd, p, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

std::string followSymbolicLinks(const std::string& path) {
    fs::path current = path;
    std::error_code ec;
    for (int i = 0; i < mostLinksFollowed && fs::is_symlink(fs::symlink_status(current, ec)); ++i) {
        const fs::path target = fs::read_symlink(current, ec);
        if (ec)
            break;
        current = target.is_absolute() ? target : current.parent_path() / target;
    }
    return current.string();
}

bool replaceFileText(const std::string& path, const std::string& text, std::string& error) {
    const std::string shown = printableText(path);
    mode_t mode = 0644;
    struct stat old {};
    if (stat(path.c_str(), &old) == 0) {
        // Only the mode says "keep it as it is". A file the user merely cannot write (one left owned by root
        // by a run under sudo) is still replaced, since the rename needs only the folder, and becomes theirs.
        if ((old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
            error =
                shown + " is read-only; " +
                (old.st_uid == geteuid() ? "make it writable (chmod u+w) to change it"
                                         : "it belongs to another user: remove it, or ask them to change it");
            return false;
        }
        mode = old.st_mode & 07777;
    }
    std::string temp = path + ".XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0) {
        error = "cannot create a temporary file beside " + shown + ": " + std::strerror(errno);
        return false;
    }
    if (!writeAll(fd, text)) {
        error = "cannot write " + printableText(temp) + ": " + std::strerror(errno);
        close(fd);
        unlink(temp.c_str());
        return false;
    }
    if (fchmod(fd, mode) != 0 || fsync(fd) != 0 || close(fd) != 0) {
        error = "cannot finish " + printableText(temp) + ": " + std::strerror(errno);
        unlink(temp.c_str());
        return false;
    }
    if (rename(temp.c_str(), path.c_str()) != 0) {
        error = "cannot replace " + shown + ": " + std::strerror(errno);
        unlink(temp.c_str());
        return false;
    }
    return true;
}
