#include "tools/sdd/spill_buffer.h"

#include <algorithm>
#include <cstring>

bool SpillBuffer::append(std::span<const std::uint8_t> bytes) {
    if (!good_ || reading_)
        return good_ = false;
    size_ += bytes.size();
    if (!file_ && memory_.size() + bytes.size() > memoryLimit_) {
        file_.reset(std::tmpfile());
        if (file_) {
            good_ = std::fwrite(memory_.data(), 1, memory_.size(), file_.get()) == memory_.size();
            std::vector<std::uint8_t>().swap(memory_);
        }
    }
    if (!file_) {
        memory_.insert(memory_.end(), bytes.begin(), bytes.end());
        return true;
    }
    good_ = good_ && std::fwrite(bytes.data(), 1, bytes.size(), file_.get()) == bytes.size();
    return good_;
}

bool SpillBuffer::read(std::span<std::uint8_t> into) {
    if (!good_ || into.size() > size_ - readAt_)
        return false;
    if (into.empty())
        return true;
    if (!reading_) {
        reading_ = true;
        if (file_ && (std::fflush(file_.get()) != 0 || std::fseek(file_.get(), 0, SEEK_SET) != 0))
            return good_ = false;
    }
    if (file_) {
        good_ = std::fread(into.data(), 1, into.size(), file_.get()) == into.size();
    } else {
        std::memcpy(into.data(), memory_.data() + readAt_, into.size());
    }
    readAt_ += into.size();
    return good_;
}
