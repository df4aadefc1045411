#include "data/resource_file.h"

#include <algorithm>
#include <cstring>

bool ResourceFile::open(std::string_view memberName, const std::string& showPath) {
    ShowFiles files(showPath);
    return open(memberName, files);
}

bool ResourceFile::open(std::string_view memberName, ShowFiles& files) {
    close();
    name_ = memberName;
    openResult_ = files.fetch(memberName, bytes_);
    loaded_ = openResult_ == ExtractResult::ok;
    exhausted_ = !loaded_;
    return loaded_;
}

std::size_t ResourceFile::read(void* destination, std::size_t n) {
    const std::size_t available = std::min<std::size_t>(n, bytes_.size() - position_);
    if (available > 0)
        std::memcpy(destination, bytes_.data() + position_, available);
    if (available < n) {
        std::memset(static_cast<std::uint8_t*>(destination) + available, 0, n - available);
        exhausted_ = true;
    }
    position_ += static_cast<std::uint32_t>(available);
    return available;
}

char ResourceFile::takeByte() {
    if (position_ < bytes_.size())
        return static_cast<char>(bytes_[position_++]);
    exhausted_ = true;
    return 0;
}

bool ResourceFile::readLine(char* buffer, std::size_t capacity) {
    std::size_t length = 0;
    char c = takeByte();
    while (c == ' ' && !exhausted_)
        c = takeByte();
    while (c != '\n' && !exhausted_) {
        if (c != '\r' && length + 1 < capacity)
            buffer[length++] = c;
        c = takeByte();
    }
    if (capacity > 0)
        buffer[length] = '\0';
    return c == '\n';
}

void ResourceFile::seek(long offset, int origin) {
    const std::int64_t base = origin == 1 ? position_ : origin == 2 ? bytes_.size() : 0;
    const std::int64_t target = origin == 2 ? base - offset : base + offset;
    exhausted_ = !loaded_ || target > static_cast<std::int64_t>(bytes_.size());
    position_ = static_cast<std::uint32_t>(std::clamp<std::int64_t>(target, 0, bytes_.size()));
}

void ResourceFile::close() {
    bytes_ = {};
    loaded_ = false;
    position_ = 0;
    exhausted_ = true;
}
