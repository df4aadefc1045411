#include "base/whole_write.h"

#include <cerrno>

#include <unistd.h>

int writeWhole(int fd, std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : ENOSPC;
        bytes = bytes.subspan(static_cast<std::size_t>(n));
    }
    return 0;
}
