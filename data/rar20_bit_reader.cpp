#include "data/rar20_bit_reader.h"

#include <algorithm>

void Rar20BitReader::fetch() {
    if (!source_ || readFailed_)
        return;
    const std::size_t count = std::min(chunkSize, size_ - loadedBytes_);
    chunk_.resize(count);
    if (!source_->read(sourceOffset_ + loadedBytes_, chunk_)) {
        readFailed_ = true;
        chunk_.clear();
    }
    bytes_ = chunk_.data();
    bytesStart_ = loadedBytes_;
    available_ = chunk_.size();
}
