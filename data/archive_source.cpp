#include "data/archive_source.h"

#include <algorithm>

bool MemoryArchiveSource::read(std::uint64_t offset, std::span<std::uint8_t> into) {
    if (offset > bytes_.size() || into.size() > bytes_.size() - offset)
        return false;
    std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(offset), into.size(), into.begin());
    return true;
}

FileArchiveSource::FileArchiveSource(const std::string& path) : file_(std::fopen(path.c_str(), "rb")) {
    if (file_ && std::fseek(file_.get(), 0, SEEK_END) == 0) {
        const long end = std::ftell(file_.get());
        if (end >= 0) {
            size_ = static_cast<std::uint64_t>(end);
            return;
        }
    }
    file_.reset();
}

bool FileArchiveSource::read(std::uint64_t offset, std::span<std::uint8_t> into) {
    if (!file_ || offset > size_ || into.size() > size_ - offset)
        return false;
    if (into.empty())
        return true;
    return std::fseek(file_.get(), static_cast<long>(offset), SEEK_SET) == 0 &&
           std::fread(into.data(), 1, into.size(), file_.get()) == into.size();
}
