#include "data/show_files.h"

ShowFiles::ShowFiles(std::string path) : path_(std::move(path)), source_(openShowSource(path_)) {}

ExtractResult ShowFiles::status() const {
    return source_ ? source_->status() : ExtractResult::notAnArchive;
}

ExtractResult ShowFiles::fetch(std::string_view memberName, std::vector<std::uint8_t>& out) {
    out = {};
    if (log_)
        log_->emplace_back(memberName);
    if (!source_)
        return ExtractResult::notAnArchive;
    const ExtractResult status = source_->status();
    return status == ExtractResult::ok ? source_->fetch(memberName, out) : status;
}
