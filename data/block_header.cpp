#include "data/block_header.h"

#include "data/crc32.h"

#include <algorithm>

namespace block {

namespace {

constexpr std::uint16_t mainHasComment = 0x0002; // an old-style archive comment inside the main header
constexpr std::uint16_t fileHasComment = 0x0008; // an old-style file comment after the name

// The bytes HEAD_CRC covers: from HEAD_TYPE to the end of the header, except that an old-style comment
// kept inside a main or file header has its own CRC and is left out of the header's.
std::span<const std::uint8_t> crcCovered(std::span<const std::uint8_t> header) {
    const std::uint8_t type = header[2];
    const std::uint16_t flags = le16(&header[3]);
    std::size_t end = header.size();
    if (type == mainType && (flags & mainHasComment))
        end = mainHeaderSize;
    else if (type == fileType && (flags & fileHasComment))
        end = fileHeaderSize + le16(&header[26]);
    return header.subspan(2, end - 2);
}

bool inRange(unsigned value, unsigned low, unsigned high) {
    return value >= low && value <= high;
}

} // namespace

std::uint32_t dataSize(std::span<const std::uint8_t> header) {
    return (le16(&header[3]) & longBlock) ? le32(&header[7]) : 0;
}

ExtractResult check(std::span<const std::uint8_t> bytes, std::uint64_t left,
                    std::span<const std::uint8_t> data) {
    if (bytes.size() < prefixSize)
        return ExtractResult::truncatedHeader;
    const std::uint8_t type = bytes[2];
    const std::uint16_t flags = le16(&bytes[3]);
    const std::uint16_t headSize = le16(&bytes[5]);
    if (headSize < prefixSize || ((flags & longBlock) && headSize < prefixSize + 4))
        return ExtractResult::badHeader;
    if (headSize > left || headSize > bytes.size())
        return ExtractResult::truncatedHeader;
    const auto header = bytes.first(headSize);
    if (type == mainType && headSize < mainHeaderSize)
        return ExtractResult::badHeader;
    if (type == fileType && (headSize < fileHeaderSize || le16(&header[26]) > headSize - fileHeaderSize))
        return ExtractResult::badHeader;
    std::uint32_t crc = crc32(crcCovered(header));
    if (type == oldSubType)
        crc = crc32(data, crc);
    if ((crc & 0xFFFF) != le16(&header[0]))
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
    if (bytes.size() > 2)
        vote(inRange(bytes[2], 0x72, endType));
    if (bytes.size() >= prefixSize)
        vote(inRange(le16(&bytes[5]), prefixSize, fileHeaderSize + 1024));
    if (bytes.size() > 24)
        vote(inRange(bytes[24], 10, 36));
    if (bytes.size() > 25)
        vote(inRange(bytes[25], 0x30, 0x35));
    return fields > 0 && sensible >= std::max(1, fields - 1);
}

std::string readableName(std::span<const std::uint8_t> bytes) {
    if (bytes.size() <= fileHeaderSize)
        return {};
    const std::size_t nameSize =
        std::min<std::size_t>({le16(&bytes[26]), bytes.size() - fileHeaderSize, 1024});
    const auto name = bytes.subspan(fileHeaderSize, nameSize);
    const auto end = std::find(name.begin(), name.end(), std::uint8_t{0});
    return {name.begin(), end};
}

} // namespace block
