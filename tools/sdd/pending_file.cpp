#include "tools/sdd/pending_file.h"

#include "tools/sdd/interrupt_cleanup.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::optional<PendingFile> PendingFile::create(const std::filesystem::path& target, mode_t mode,
                                               std::string& reason) {
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    std::string temporary = (folder / ("." + target.filename().string() + ".sdd-XXXXXX")).string();
    // Registered as it is made: an interrupted run removes it.
    const int fd = interrupt_cleanup::createTemporary(temporary);
    if (fd < 0) {
        reason = "cannot create a file in " + folder.string() + ": " + std::strerror(errno);
        return std::nullopt;
    }
    if (::fchmod(fd, mode) != 0) {
        reason = "cannot set the permissions of " + temporary + ": " + std::strerror(errno);
        ::close(fd);
        ::unlink(temporary.c_str());
        interrupt_cleanup::forget(temporary);
        return std::nullopt;
    }
    return PendingFile(target, std::move(temporary), fd);
}

PendingFile::PendingFile(PendingFile&& other) noexcept
    : target_(std::move(other.target_)), temporary_(std::exchange(other.temporary_, {})),
      fd_(std::exchange(other.fd_, -1)), error_(other.error_), buffer_(std::move(other.buffer_)) {}

PendingFile& PendingFile::operator=(PendingFile&& other) noexcept {
    if (this != &other) {
        discard();
        target_ = std::move(other.target_);
        temporary_ = std::exchange(other.temporary_, {});
        fd_ = std::exchange(other.fd_, -1);
        error_ = other.error_;
        buffer_ = std::move(other.buffer_);
    }
    return *this;
}

PendingFile::~PendingFile() {
    discard();
}

namespace {

constexpr std::size_t bufferSize = 256 * 1024;

} // namespace

bool PendingFile::write(std::span<const std::uint8_t> bytes) {
    if (buffer_.size() + bytes.size() > bufferSize && !flush())
        return false;
    if (bytes.size() >= bufferSize)
        return writeOut(bytes);
    buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
    return error_ == 0;
}

bool PendingFile::flush() {
    writeOut(buffer_);
    buffer_.clear();
    return error_ == 0;
}

bool PendingFile::writeOut(std::span<const std::uint8_t> bytes) {
    for (std::size_t at = 0; error_ == 0 && at < bytes.size();) {
        const ssize_t n = ::write(fd_, bytes.data() + at, bytes.size() - at);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            error_ = n < 0 ? errno : ENOSPC;
        else
            at += static_cast<std::size_t>(n);
    }
    return error_ == 0;
}

namespace {

// Renames without replacing what is there, where the file system can; else links and unlinks, which
// fails the same way on a name that is taken.
int renameNoReplace(const char* from, const char* to) {
    if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    if (::link(from, to) != 0)
        return errno;
    ::unlink(from);
    return 0;
}

} // namespace

bool PendingFile::commit(Replace replace, bool durable, std::string& reason, int& error) {
    flush();
    if (error_ == 0 && durable && ::fsync(fd_) != 0)
        error_ = errno;
    if (::close(std::exchange(fd_, -1)) != 0 && error_ == 0)
        error_ = errno;
    if (error_ != 0) {
        reason = failure();
    } else {
        if (replace == Replace::yes)
            error_ = std::rename(temporary_.c_str(), target_.c_str()) == 0 ? 0 : errno;
        else
            error_ = renameNoReplace(temporary_.c_str(), target_.c_str());
        if (error_ == 0) {
            interrupt_cleanup::forget(std::exchange(temporary_, {}));
            error = 0;
            return true;
        }
        reason = "cannot put " + target_.string() + " in place: " + std::strerror(error_);
    }
    error = error_;
    discard();
    return false;
}

std::string PendingFile::failure() const {
    return error_ == 0 ? std::string() : "cannot write " + target_.string() + ": " + std::strerror(error_);
}

void PendingFile::discard() {
    buffer_.clear();
    if (fd_ >= 0)
        ::close(std::exchange(fd_, -1));
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
        interrupt_cleanup::forget(std::exchange(temporary_, {}));
    }
}
