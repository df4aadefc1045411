#include "app/ogg_vorbis_check.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

constexpr std::size_t pageHeaderSize = 27; // up to the segment table
constexpr std::size_t identificationSize = 30;
constexpr std::uint8_t firstPageFlag = 0x02;
constexpr std::uint64_t noPacketEnds = ~std::uint64_t{0};

// The page checksum: CRC-32 with polynomial 0x04C11DB7, fed most significant bit first, starting from 0
// and not inverted at either end.
std::array<std::uint32_t, 256> makeCrcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t r = i << 24;
        for (int bit = 0; bit < 8; ++bit)
            r = (r & 0x80000000u) ? (r << 1) ^ 0x04C11DB7u : r << 1;
        table[i] = r;
    }
    return table;
}

std::uint32_t pageCrc(std::span<const std::uint8_t> page) {
    static const std::array<std::uint32_t, 256> table = makeCrcTable();
    std::uint32_t crc = 0;
    for (std::size_t i = 0; i < page.size(); ++i) {
        // The checksum field itself counts as zeros.
        const std::uint8_t byte = (i >= 22 && i < 26) ? 0 : page[i];
        crc = (crc << 8) ^ table[(crc >> 24) ^ byte];
    }
    return crc;
}

std::uint64_t readLittleEndian(const std::uint8_t* p, int bytes) {
    std::uint64_t value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = value << 8 | p[i];
    return value;
}

bool startsLikeAPage(std::span<const std::uint8_t> rest) {
    return rest.empty() || std::memcmp(rest.data(), "OggS", std::min<std::size_t>(rest.size(), 4)) == 0;
}

// The page's length as its header gives it: more than the bytes there when the file ends inside the header.
std::size_t claimedPageSize(std::span<const std::uint8_t> page) {
    const std::size_t segments = page[26];
    if (page.size() < pageHeaderSize + segments)
        return SIZE_MAX;
    std::size_t size = pageHeaderSize + segments;
    for (std::size_t i = 0; i < segments; ++i)
        size += page[pageHeaderSize + i];
    return size;
}

bool anotherPageFollows(std::span<const std::uint8_t> page) {
    static constexpr std::uint8_t capture[] = {'O', 'g', 'g', 'S'};
    return std::search(page.begin() + 4, page.end(), std::begin(capture), std::end(capture)) != page.end();
}

bool readIdentification(std::span<const std::uint8_t> packet, OggVorbisStream& stream) {
    if (packet.size() != identificationSize || packet[0] != 1 || std::memcmp(&packet[1], "vorbis", 6) != 0 ||
        readLittleEndian(&packet[7], 4) != 0)
        return false;
    stream.channels = packet[11];
    stream.sampleRate = static_cast<std::uint32_t>(readLittleEndian(&packet[12], 4));
    const int shortBlock = packet[28] & 0x0f;
    const int longBlock = packet[28] >> 4;
    return shortBlock >= 6 && shortBlock <= longBlock && longBlock <= 13 && (packet[29] & 1) == 1;
}

// The comment header names its vendor and holds a list of comments, each with its length. A decoder that
// trusts those lengths writes past what it allocated for them, so they must fit the packet.
bool commentHeaderFits(std::span<const std::uint8_t> packet) {
    if (packet.size() < 7 || packet[0] != 3 || std::memcmp(&packet[1], "vorbis", 6) != 0)
        return false;
    std::size_t at = 7;
    const auto takeLength = [&](std::uint64_t& length) {
        if (packet.size() - at < 4)
            return false;
        length = readLittleEndian(&packet[at], 4);
        at += 4;
        return true;
    };
    std::uint64_t vendor = 0, comments = 0;
    if (!takeLength(vendor) || packet.size() - at < vendor)
        return false;
    at += vendor;
    if (!takeLength(comments))
        return false;
    for (std::uint64_t i = 0; i < comments; ++i) {
        std::uint64_t length = 0;
        if (!takeLength(length) || packet.size() - at < length)
            return false;
        at += length;
    }
    return at < packet.size() && (packet[at] & 1) == 1;
}

} // namespace

bool checkOggVorbis(std::span<const std::uint8_t> file, OggVorbisStream& stream, std::string& error) {
    stream = OggVorbisStream{};
    std::uint32_t serial = 0;
    std::uint32_t pageNumber = 0;
    // The second packet, gathered over the pages it spans, until it ends.
    std::vector<std::uint8_t> comment;
    bool commentEnded = false;
    std::size_t at = 0;
    for (; file.size() - at >= pageHeaderSize; ++pageNumber) {
        const std::uint8_t* header = file.data() + at;
        const std::string page = "page " + std::to_string(pageNumber + 1);
        if (std::memcmp(header, "OggS", 4) != 0) {
            error = pageNumber == 0 ? "not an Ogg file"
                                    : "damaged: " + page + " does not start where page " +
                                          std::to_string(pageNumber) + " ends";
            return false;
        }
        const std::size_t pageSize = claimedPageSize(file.subspan(at));
        if (file.size() - at < pageSize) {
            // A file cut inside its last page ends there. Another page after this one's start means that
            // this page's length was changed instead.
            if (anotherPageFollows(file.subspan(at))) {
                error = "damaged: " + page + " has a wrong length";
                return false;
            }
            break;
        }
        const std::span<const std::uint8_t> bytes = file.subspan(at, pageSize);
        if (pageCrc(bytes) != readLittleEndian(header + 22, 4)) {
            error = "damaged: " + page + " fails its checksum";
            return false;
        }
        if (header[4] != 0) {
            error = "damaged: " + page + " has an unknown version";
            return false;
        }
        const auto pageSerial = static_cast<std::uint32_t>(readLittleEndian(header + 14, 4));
        const auto sequence = static_cast<std::uint32_t>(readLittleEndian(header + 18, 4));
        const bool first = (header[5] & firstPageFlag) != 0;
        if (pageNumber == 0) {
            // The identification header is alone on the first page, as one whole packet.
            if (!first || header[26] != 1 || !readIdentification(bytes.subspan(pageHeaderSize + 1), stream)) {
                error = "not an Ogg Vorbis file";
                return false;
            }
            serial = pageSerial;
        } else if (first || pageSerial != serial) {
            // Chained or interleaved streams may change channels and rate part way: the loop holds one.
            error = "holds more than one stream";
            return false;
        } else if (sequence !=
                   pageNumber + static_cast<std::uint32_t>(readLittleEndian(file.data() + 18, 4))) {
            error = "damaged: " + page + " is out of sequence (a page is missing)";
            return false;
        }
        if (pageNumber > 0 && !commentEnded) {
            const std::uint8_t* body = header + pageHeaderSize + header[26];
            for (std::size_t i = 0; i < header[26] && !commentEnded; body += header[pageHeaderSize + i++]) {
                comment.insert(comment.end(), body, body + header[pageHeaderSize + i]);
                commentEnded = header[pageHeaderSize + i] < 255;
            }
            if (commentEnded && !commentHeaderFits(comment)) {
                error = "damaged: its comment header does not fit in its packet";
                return false;
            }
        }
        const std::uint64_t granule = readLittleEndian(header + 6, 8);
        if (granule != noPacketEnds)
            stream.frames = granule;
        at += pageSize;
        stream.checkedSize = at;
    }
    // What follows the last complete page can only be the start of a page the file was cut inside.
    const bool cutOff = startsLikeAPage(file.subspan(at));
    if (stream.checkedSize == 0) {
        error = cutOff && !file.empty() ? "damaged or cut off: its first page runs past the end"
                                        : "not an Ogg file";
        return false;
    }
    if (!cutOff) {
        error = "damaged: bytes after the last page";
        return false;
    }
    return true;
}
