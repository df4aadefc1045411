#include "tools/sdd/spill_buffer.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace {

// Where temporary files go: $TMPDIR as the user set it, else /tmp (std::tmpfile ignores $TMPDIR).
std::string temporaryFolder() {
#ifdef _WIN32
    return "the temporary folder";
#else
    const char* folder = std::getenv("TMPDIR");
    return folder && *folder ? folder : "/tmp";
#endif
}

// A new temporary file whose name is gone at once, so nothing is left behind however the process ends.
std::FILE* unnamedTemporaryFile() {
#ifdef _WIN32
    return std::tmpfile();
#else
    std::string name = temporaryFolder() + "/sdd-XXXXXX";
    const int fd = mkstemp(name.data());
    if (fd < 0)
        return nullptr;
    unlink(name.c_str());
    std::FILE* file = fdopen(fd, "w+b");
    if (!file) {
        const int reason = errno;
        close(fd);
        errno = reason;
    }
    return file;
#endif
}

} // namespace

bool SpillBuffer::fail(const char* what) {
    if (good_)
        failure_ = std::string("cannot ") + what + " a temporary file in " + temporaryFolder() + ": " +
                   std::strerror(errno);
    return good_ = false;
}

bool SpillBuffer::append(std::span<const std::uint8_t> bytes) {
    if (!good_ || reading_)
        return good_ = false;
    size_ += bytes.size();
    if (!file_ && memory_.size() + bytes.size() > memoryLimit_) {
        file_.reset(unnamedTemporaryFile());
        if (!file_)
            return fail("make");
        if (std::fwrite(memory_.data(), 1, memory_.size(), file_.get()) != memory_.size())
            return fail("write");
        std::vector<std::uint8_t>().swap(memory_);
    }
    if (!file_) {
        memory_.insert(memory_.end(), bytes.begin(), bytes.end());
        return true;
    }
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_.get()) != bytes.size())
        return fail("write");
    return true;
}

bool SpillBuffer::read(std::span<std::uint8_t> into) {
    if (!good_ || into.size() > size_ - readAt_)
        return false;
    if (into.empty())
        return true;
    if (!reading_) {
        reading_ = true;
        // A full disk shows at the flush, the last of the writes.
        if (file_ && (std::fflush(file_.get()) != 0 || std::fseek(file_.get(), 0, SEEK_SET) != 0))
            return fail("write");
    }
    if (file_) {
        errno = 0;
        if (std::fread(into.data(), 1, into.size(), file_.get()) != into.size()) {
            if (errno == 0)
                errno = EIO; // a short read with no error: someone cut the file
            return fail("read back");
        }
    } else {
        std::memcpy(into.data(), memory_.data() + readAt_, into.size());
    }
    readAt_ += into.size();
    return good_;
}
