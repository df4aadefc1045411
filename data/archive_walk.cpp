#include "data/archive_walk.h"

#include "data/block_header.h"
#include "data/header_search.h"

#include <algorithm>
#include <array>

namespace {

// An old-style sub-block's HEAD_CRC covers its data too; such blocks are small, a larger one is taken
// for damage without reading it.
constexpr std::uint32_t largestCheckedSubBlock = 1 << 20;

} // namespace

ExtractResult ArchiveWalk::start() {
    std::array<std::uint8_t, rar::markerSize> marker{};
    if (!source_.read(0, marker))
        return error_ = ExtractResult::notAnArchive;
    if (!std::ranges::equal(marker, rar::marker) && !std::ranges::equal(marker, rar::oldMarker))
        return error_ = ExtractResult::notAnArchive;
    const std::uint64_t left = source_.size() - rar::markerSize;
    head_.resize(std::min<std::uint64_t>(left, rar::mainHeaderSize));
    if (head_.size() < rar::mainHeaderSize || !source_.read(rar::markerSize, head_))
        return error_ = ExtractResult::truncatedHeader;
    head_.resize(std::min<std::uint64_t>(
        left, std::max<std::size_t>(block::le16(&head_[rar::field::headSize]), rar::prefixSize)));
    if (!source_.read(rar::markerSize, head_))
        return error_ = ExtractResult::truncatedHeader;
    solid_ = (block::le16(&head_[rar::field::flags]) & rar::solidArchive) != 0;
    position_ = rar::markerSize + head_.size();
    ExtractResult result = block::check(head_, left);
    if (result == ExtractResult::ok && head_[rar::field::type] != rar::mainType)
        result = ExtractResult::badHeader;
    mainHeaderDamage_ = result;
    return ExtractResult::ok;
}

bool ArchiveWalk::damaged(std::uint64_t blockStart, ExtractResult result, MemberHeader& header) {
    // Damage elsewhere in the header may have left its sizes right: where they lead to a sound header (or to
    // the very end), that is where the walk goes on. This matters when the member's data holds an archive
    // of its own, whose headers a search would take for the next ones.
    std::optional<std::uint64_t> next;
    if (head_.size() >= rar::prefixSize + 4 && block::le16(&head_[rar::field::headSize]) >= rar::prefixSize) {
        const std::uint64_t byOwnSizes = blockStart + block::le16(&head_[rar::field::headSize]) +
                                         block::le32(&head_[rar::field::packSize]);
        if (byOwnSizes == source_.size() || soundFileHeaderAt(source_, byOwnSizes))
            next = byOwnSizes;
    }
    if (!next)
        next = findSoundFileHeader(source_, blockStart + 1);
    if (!next && blockStart != rar::markerSize && !block::looksLikeHeader(head_)) {
        trailingBytes_ = source_.size() - blockStart;
        position_ = source_.size();
        return false;
    }
    position_ = next.value_or(source_.size());
    header = MemberHeader{};
    header.name = block::readableName(head_);
    header.damage = result;
    header.headerOffset = blockStart;
    header.damagedBytes = position_ - blockStart;
    if (error_ == ExtractResult::ok)
        error_ = result;
    return true;
}

bool ArchiveWalk::next(MemberHeader& header) {
    if (mainHeaderDamage_ != ExtractResult::ok) {
        const ExtractResult result = mainHeaderDamage_;
        mainHeaderDamage_ = ExtractResult::ok;
        return damaged(rar::markerSize, result, header);
    }
    const std::uint64_t archiveSize = source_.size();
    while (position_ < archiveSize) {
        const std::uint64_t blockStart = position_;
        const std::uint64_t left = archiveSize - blockStart;
        head_.resize(std::min<std::uint64_t>(left, rar::prefixSize));
        if (!source_.read(blockStart, head_))
            return damaged(blockStart, ExtractResult::truncatedHeader, header);
        if (head_.size() == rar::prefixSize) {
            head_.resize(std::min<std::uint64_t>(
                left, std::max<std::size_t>(block::le16(&head_[rar::field::headSize]), rar::fileHeaderSize)));
            if (!source_.read(blockStart, head_))
                return damaged(blockStart, ExtractResult::truncatedHeader, header);
        }
        ExtractResult result = block::check(head_, left);
        const std::uint8_t type = head_[rar::field::type];
        if (result == ExtractResult::headerCrcMismatch && type == rar::oldSubType) {
            const std::uint16_t headSize = block::le16(&head_[rar::field::headSize]);
            std::vector<std::uint8_t> data(std::min(block::dataSize(head_), largestCheckedSubBlock));
            if (data.size() == block::dataSize(head_) && source_.read(blockStart + headSize, data))
                result = block::check(head_, left, data);
        }
        if (result == ExtractResult::packedDataPastEnd && type == rar::fileType) {
            // The header itself is sound: this is the member the archive was cut in.
            header = MemberHeader{};
            header.name = block::readableName(head_);
            header.damage = result;
            header.headerOffset = blockStart;
            header.damagedBytes = left;
            position_ = archiveSize;
            if (error_ == ExtractResult::ok)
                error_ = result;
            return true;
        }
        if (result != ExtractResult::ok)
            return damaged(blockStart, result, header);

        const std::uint16_t headSize = block::le16(&head_[rar::field::headSize]);
        const std::uint64_t dataOffset = blockStart + headSize;
        position_ = dataOffset + block::dataSize(head_);
        if (type == rar::endType) {
            trailingBytes_ = archiveSize - position_;
            position_ = archiveSize;
            return false;
        }
        if (type != rar::fileType)
            continue;

        const std::uint8_t* h = head_.data();
        const std::uint16_t flags = block::le16(h + rar::field::flags);
        const auto name =
            std::span(head_).subspan(rar::fileHeaderSize, block::le16(h + rar::field::nameSize));
        const auto nameEnd = std::ranges::find(name, std::uint8_t{0});
        header = MemberHeader{};
        header.name.assign(name.begin(), nameEnd);
        header.unicodePart.assign(nameEnd == name.end() ? nameEnd : nameEnd + 1, name.end());
        header.flags = flags;
        header.packSize = block::le32(h + rar::field::packSize);
        header.unpSize = block::le32(h + rar::field::unpSize);
        header.hostOs = h[rar::field::hostOs];
        header.fileCrc = block::le32(h + rar::field::fileCrc);
        header.fileTime = block::le32(h + rar::field::fileTime);
        header.unpVer = h[rar::field::unpVer];
        header.method = h[rar::field::method];
        header.attributes = block::le32(h + rar::field::attributes);
        header.solidContinuation = (flags & rar::solidContinuation) != 0;
        header.headerOffset = blockStart;
        header.dataOffset = dataOffset;
        return true;
    }
    return false;
}
