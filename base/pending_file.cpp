#include "base/pending_file.h"

#include "base/whole_write.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string besideTarget(const std::filesystem::path& target) {
    return target.string() + ".XXXXXX";
}

int makeTemporary(std::string& name) {
    return ::mkstemp(name.data());
}

void forgetNothing(const std::string&) {}

} // namespace

const TemporaryFiles plainTemporaries{besideTarget, makeTemporary, forgetNothing};

std::optional<PendingFile> PendingFile::create(const std::filesystem::path& target, mode_t mode,
                                               std::string& reason, const TemporaryFiles& temporaries) {
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    std::string temporary = temporaries.nameFor(target);
    const int fd = temporaries.create(temporary);
    if (fd < 0) {
        const int error = errno;
        reason = "cannot create a file in " + folder.string() + ": " + std::strerror(error);
        errno = error;
        return std::nullopt;
    }
    if (::fchmod(fd, mode) != 0) {
        const int error = errno;
        reason = "cannot set the permissions of " + temporary + ": " + std::strerror(error);
        ::close(fd);
        ::unlink(temporary.c_str());
        temporaries.forget(temporary);
        errno = error;
        return std::nullopt;
    }
    return PendingFile(target, std::move(temporary), fd, temporaries.forget);
}

PendingFile::PendingFile(PendingFile&& other) noexcept
    : target_(std::move(other.target_)), temporary_(std::exchange(other.temporary_, {})),
      fd_(std::exchange(other.fd_, -1)), forget_(other.forget_), error_(other.error_),
      failedStep_(other.failedStep_), buffer_(std::move(other.buffer_)) {}

PendingFile& PendingFile::operator=(PendingFile&& other) noexcept {
    if (this != &other) {
        discard();
        target_ = std::move(other.target_);
        temporary_ = std::exchange(other.temporary_, {});
        fd_ = std::exchange(other.fd_, -1);
        forget_ = other.forget_;
        error_ = other.error_;
        failedStep_ = other.failedStep_;
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
    if (error_ == 0)
        failed(Step::write, writeWhole(fd_, bytes));
    return error_ == 0;
}

// Keeps the first failure: what follows it is its consequence.
void PendingFile::failed(Step step, int error) {
    if (error_ == 0 && error != 0) {
        error_ = error;
        failedStep_ = step;
    }
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
        failed(Step::finish, errno);
    if (::close(std::exchange(fd_, -1)) != 0)
        failed(Step::finish, errno);
    if (error_ != 0) {
        reason = failure();
    } else {
        if (replace == Replace::yes)
            failed(Step::rename, std::rename(temporary_.c_str(), target_.c_str()) == 0 ? 0 : errno);
        else
            failed(Step::rename, renameNoReplace(temporary_.c_str(), target_.c_str()));
        if (error_ == 0) {
            forget_(std::exchange(temporary_, {}));
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
        forget_(std::exchange(temporary_, {}));
    }
}
