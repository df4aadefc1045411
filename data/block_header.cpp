#include "data/block_header.h"

#include "data/crc32.h"

#include <algorithm>

namespace block {

namespace {

// The bytes HEAD_CRC covers: from HEAD_TYPE to the end of the header, except that an old-style comment
// kept inside a main or file header has its own CRC and is left out of the header's.
std::span<const std::uint8_t> crcCovered(std::span<const std::uint8_t> header) {
    const std::uint8_t type = header[rar::field::type];
    const std::uint16_t flags = le16(&header[rar::field::flags]);
    std::size_t end = header.size();
    if (type == rar::mainType && (flags & rar::mainHasComment))
        end = rar::mainHeaderSize;
    else if (type == rar::fileType && (flags & rar::fileHasComment))
        end = rar::fileHeaderSize + le16(&header[rar::field::nameSize]);
    return header.subspan(rar::field::type, end - rar::field::type);
}

bool inRange(unsigned value, unsigned low, unsigned high) {
    return value >= low && value <= high;
}

} // namespace

std::uint32_t dataSize(std::span<const std::uint8_t> header) {
    return (le16(&header[rar::field::flags]) & rar::longBlock) ? le32(&header[rar::field::packSize]) : 0;
}

ExtractResult check(std::span<const std::uint8_t> bytes, std::uint64_t left,
                    std::span<const std::uint8_t> data) {
    if (bytes.size() < rar::prefixSize)
        return ExtractResult::truncatedHeader;
    const std::uint8_t type = bytes[rar::field::type];
    const std::uint16_t flags = le16(&bytes[rar::field::flags]);
    const std::uint16_t headSize = le16(&bytes[rar::field::headSize]);
    if (headSize < rar::prefixSize || ((flags & rar::longBlock) && headSize < rar::prefixSize + 4))
        return ExtractResult::badHeader;
    if (headSize > left || headSize > bytes.size())
        return ExtractResult::truncatedHeader;
    const auto header = bytes.first(headSize);
    if (type == rar::mainType && headSize < rar::mainHeaderSize)
        return ExtractResult::badHeader;
    if (type == rar::fileType && (headSize < rar::fileHeaderSize ||
                                  le16(&header[rar::field::nameSize]) > headSize - rar::fileHeaderSize))
        return ExtractResult::badHeader;
    std::uint32_t crc = crc32(crcCovered(header));
    if (type == rar::oldSubType)
        crc = crc32(data, crc);
    if ((crc & 0xFFFF) != le16(&header[rar::field::headCrc]))
        return ExtractResult::headerCrcMismatch;
    if (dataSize(header) > left - headSize)
        return ExtractResult::packedDataPastEnd;
    return ExtractResult::ok;
}

bool looksLikeHeader(std::span<const std::uint8_t> bytes) {
    // Each field that is there is a vote; one damaged field is allowed when there are several.
    int fields = 0, sensible = 0;
    const auto vote = [&](bool makesSense) {
        ++fields;
        sensible += makesSense ? 1 : 0;
    };
    if (bytes.size() > rar::field::type)
        vote(inRange(bytes[rar::field::type], rar::markerType, rar::endType));
    if (bytes.size() >= rar::prefixSize)
        vote(inRange(le16(&bytes[rar::field::headSize]), rar::prefixSize, rar::fileHeaderSize + 1024));
    if (bytes.size() > rar::field::unpVer)
        vote(inRange(bytes[rar::field::unpVer], 10, 36));
    if (bytes.size() > rar::field::method)
        vote(inRange(bytes[rar::field::method], rar::methodStored, rar::methodBest));
    return fields > 0 && sensible >= std::max(1, fields - 1);
}

std::string readableName(std::span<const std::uint8_t> bytes) {
    if (bytes.size() <= rar::fileHeaderSize)
        return {};
    const std::size_t nameSize =
        std::min<std::size_t>({le16(&bytes[rar::field::nameSize]), bytes.size() - rar::fileHeaderSize, 1024});
    const auto name = bytes.subspan(rar::fileHeaderSize, nameSize);
    const auto end = std::find(name.begin(), name.end(), std::uint8_t{0});
    return {name.begin(), end};
}

} // namespace block
