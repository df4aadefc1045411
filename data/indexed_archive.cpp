#include "data/indexed_archive.h"

#include "data/archive_reader.h"
#include "data/archive_walk.h"

IndexedArchive::IndexedArchive(ArchiveSource& source) : source_(source) {
    ArchiveWalk walk(source);
    start_ = walk.start();
    if (start_ != ExtractResult::ok)
        return;
    solid_ = walk.solid();
    MemberHeader header;
    while (walk.next(header))
        members_.push_back(header);
    walk_ = walk.error();
}

ExtractResult IndexedArchive::find(std::string_view memberName, std::size_t& at) const {
    bool folderFound = false;
    for (std::size_t i = 0; i < members_.size(); ++i) {
        const MemberHeader& header = members_[i];
        if (!memberNameMatches(memberName, header.name))
            continue;
        // A folder entry has no bytes to give, whatever its header's sizes say; a file of the same name may
        // still follow it.
        if (header.damage == ExtractResult::ok && header.isFolder()) {
            folderFound = true;
            continue;
        }
        at = i;
        return ExtractResult::ok;
    }
    if (walk_ != ExtractResult::ok)
        return walk_;
    return folderFound ? ExtractResult::notAFile : ExtractResult::notFound;
}

ExtractResult IndexedArchive::fetch(std::string_view memberName, std::vector<std::uint8_t>& out) {
    out = {};
    if (start_ != ExtractResult::ok)
        return start_;
    std::size_t at = 0;
    if (const ExtractResult found = find(memberName, at); found != ExtractResult::ok)
        return found;
    const MemberHeader& header = members_[at];
    // A stored member, a damaged header and any member of an archive that is not solid stand on their own.
    if (!solid_ || header.damage != ExtractResult::ok || header.method == rar::methodStored) {
        MemberExtractor extractor(source_);
        return extractor.extract(header, out);
    }
    return fetchSolid(at, out);
}

ExtractResult IndexedArchive::fetchSolid(std::size_t at, std::vector<std::uint8_t>& out) {
    if (const auto kept = passed_.find(at); kept != passed_.end()) {
        out = std::move(kept->second.bytes);
        const ExtractResult result = kept->second.result;
        passedBytes_ -= out.size();
        passed_.erase(kept);
        return result;
    }
    if (at < next_) {
        // Asked for again, or passed when there was no room to keep it: the stream is decoded afresh up to
        // it.
        decoder_.reset();
        next_ = 0;
    }
    if (!decoder_)
        decoder_ = std::make_unique<MemberExtractor>(source_);
    // Every compressed member before the wanted one fills the window it goes on from; stored members have no
    // part in the stream.
    for (; next_ < at; ++next_) {
        const MemberHeader& header = members_[next_];
        if (header.damage == ExtractResult::ok && header.method == rar::methodStored)
            continue;
        ++decodedMembers_;
        const bool keep = !passed_.contains(next_) && header.damage == ExtractResult::ok &&
                          passedBytes_ + header.unpSize <= keptPassedBytes;
        if (!keep) {
            decoder_->extract(header, ByteSink{});
            continue;
        }
        Passed passed;
        passed.result = decoder_->extract(header, passed.bytes);
        passedBytes_ += passed.bytes.size();
        passed_.emplace(next_, std::move(passed));
    }
    ++decodedMembers_;
    const ExtractResult result = decoder_->extract(members_[at], out);
    next_ = at + 1;
    return result;
}
