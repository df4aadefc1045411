#include "data/archive_walk.h"

#include "data/crc32.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

constexpr std::array<std::uint8_t, 7> rarMarker{0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x00};
constexpr std::array<std::uint8_t, 7> oldMarker{0x55, 0x6E, 0x69, 0x71, 0x75, 0x45, 0x21};

constexpr std::size_t blockPrefixSize = 7; // HEAD_CRC, HEAD_TYPE, HEAD_FLAGS, HEAD_SIZE
constexpr std::size_t mainHeaderSize = 13;
constexpr std::size_t fileHeaderSize = 32; // before the name
constexpr std::uint8_t fileBlock = 0x74;
constexpr std::uint8_t endBlock = 0x7B; // nothing after it belongs to the archive
constexpr std::uint16_t longBlock = 0x8000; // a data size follows HEAD_SIZE and the data the header
constexpr std::uint16_t solidArchive = 0x0008;
constexpr std::uint16_t solidContinuation = 0x0010;

std::uint16_t le16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
std::uint32_t le32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
           std::uint32_t{p[3]} << 24;
}

} // namespace

ExtractResult ArchiveWalk::start() {
    std::array<std::uint8_t, blockPrefixSize + mainHeaderSize> head{};
    if (!source_.read(0, std::span(head).first(blockPrefixSize)))
        return error_ = ExtractResult::notAnArchive;
    const auto marker = std::span(head).first(blockPrefixSize);
    if (!std::ranges::equal(marker, rarMarker) && !std::ranges::equal(marker, oldMarker))
        return error_ = ExtractResult::notAnArchive;
    if (!source_.read(blockPrefixSize, std::span(head).subspan(blockPrefixSize)))
        return error_ = ExtractResult::truncatedHeader;

    const std::uint8_t* mainHeader = head.data() + blockPrefixSize;
    const std::uint16_t headSize = le16(mainHeader + 5);
    if (headSize < mainHeaderSize)
        return error_ = ExtractResult::badHeader;
    position_ = blockPrefixSize + headSize;
    if (position_ > source_.size())
        return error_ = ExtractResult::truncatedHeader;
    solid_ = (le16(mainHeader + 3) & solidArchive) != 0;
    return error_ = ExtractResult::ok;
}

bool ArchiveWalk::failOrEnd(ExtractResult error, std::uint64_t blockStart) {
    const std::uint64_t left = source_.size() - blockStart;
    std::array<std::uint8_t, blockPrefixSize> prefix{};
    if (left >= blockPrefixSize && source_.read(blockStart, prefix)) {
        const std::uint16_t headSize = le16(&prefix[5]);
        std::vector<std::uint8_t> head(headSize);
        // The low 16 bits of the CRC-32 of the header after its CRC field: one chance in 65536 for junk.
        if (headSize >= blockPrefixSize && headSize <= left && source_.read(blockStart, head) &&
            le16(head.data()) == (crc32(std::span(head).subspan(2)) & 0xFFFF))
            return fail(error);
    }
    trailingBytes_ = left;
    position_ = source_.size();
    return false;
}

bool ArchiveWalk::next(MemberHeader& header) {
    if (error_ != ExtractResult::ok)
        return false;
    const std::uint64_t archiveSize = source_.size();
    while (position_ < archiveSize) {
        const std::uint64_t blockStart = position_;
        std::array<std::uint8_t, fileHeaderSize> head{};
        if (!source_.read(position_, std::span(head).first(blockPrefixSize)))
            return failOrEnd(ExtractResult::truncatedHeader, blockStart);
        const std::uint8_t type = head[2];
        const std::uint16_t flags = le16(&head[3]);
        const std::uint16_t headSize = le16(&head[5]);
        if (headSize < blockPrefixSize)
            return failOrEnd(ExtractResult::badHeader, blockStart);
        if (headSize > archiveSize - position_)
            return failOrEnd(ExtractResult::truncatedHeader, blockStart);
        const bool hasData = (flags & longBlock) != 0;
        if (hasData && headSize < blockPrefixSize + 4)
            return failOrEnd(ExtractResult::badHeader, blockStart);
        const std::size_t fixedSize = std::min<std::size_t>(headSize, fileHeaderSize);
        if (!source_.read(position_, std::span(head).first(fixedSize)))
            return failOrEnd(ExtractResult::truncatedHeader, blockStart);

        const std::uint64_t dataOffset = position_ + headSize;
        const std::uint32_t dataSize = hasData ? le32(&head[7]) : 0;
        if (dataSize > archiveSize - dataOffset)
            return failOrEnd(ExtractResult::packedDataPastEnd, blockStart);
        position_ = dataOffset + dataSize;
        if (type == endBlock) {
            trailingBytes_ = archiveSize - position_;
            position_ = archiveSize;
            return false;
        }
        if (type != fileBlock)
            continue;

        if (headSize < fileHeaderSize)
            return failOrEnd(ExtractResult::badHeader, blockStart);
        const std::uint16_t nameSize = le16(&head[26]);
        if (nameSize > headSize - fileHeaderSize)
            return failOrEnd(ExtractResult::badHeader, blockStart);
        std::vector<std::uint8_t> name(nameSize);
        if (!source_.read(blockStart + fileHeaderSize, name))
            return failOrEnd(ExtractResult::truncatedHeader, blockStart);

        const auto nameEnd = std::find(name.begin(), name.end(), std::uint8_t{0});
        header.name.assign(name.begin(), nameEnd);
        header.unicodePart.assign(nameEnd == name.end() ? nameEnd : nameEnd + 1, name.end());
        header.flags = flags;
        header.packSize = le32(&head[7]);
        header.unpSize = le32(&head[11]);
        header.hostOs = head[15];
        header.fileCrc = le32(&head[16]);
        header.fileTime = le32(&head[20]);
        header.unpVer = head[24];
        header.method = head[25];
        header.attributes = le32(&head[28]);
        header.solidContinuation = (flags & solidContinuation) != 0;
        header.headerOffset = blockStart;
        header.dataOffset = dataOffset;
        if (header.packSize > archiveSize - dataOffset)
            return failOrEnd(ExtractResult::packedDataPastEnd, blockStart);
        return true;
    }
    return false;
}
