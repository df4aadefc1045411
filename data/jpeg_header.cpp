#include "data/jpeg_header.h"

#include <algorithm>

namespace {

constexpr std::uint8_t markerPrefix = 0xFF;
constexpr std::uint8_t startOfImage = 0xD8;
constexpr std::uint8_t endOfImage = 0xD9;
constexpr std::uint8_t startOfScan = 0xDA;
constexpr std::uint8_t restartInterval = 0xDD;

unsigned read16(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<unsigned>(bytes[at]) << 8 | bytes[at + 1];
}

// Start-of-frame markers C0 to CF, except C4 (Huffman tables), C8 (reserved) and CC (arithmetic coding
// conditions), which share the range.
bool isStartOfFrame(std::uint8_t marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// Markers that stand alone, with no length after them: restarts (D0 to D7) and TEM (01).
bool standsAlone(std::uint8_t marker) {
    return (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01;
}

// Inside scan data a marker byte is followed by 00 (a stuffed FF) or a restart marker, so the first FF D9
// after the scan's start is the end of the image.
bool endMarkerFollows(std::span<const std::uint8_t> scan) {
    const std::uint8_t endMarker[] = {markerPrefix, endOfImage};
    return std::search(scan.begin(), scan.end(), std::begin(endMarker), std::end(endMarker)) != scan.end();
}

} // namespace

bool readJpegHeader(std::span<const std::uint8_t> file, JpegHeader& header) {
    header = {};
    if (file.size() < 2 || file[0] != markerPrefix || file[1] != startOfImage)
        return false;
    bool frameSeen = false;
    std::size_t at = 2;
    while (at < file.size()) {
        // Stray bytes before a marker are skipped, as libjpeg skips them, and so are the FF fill bytes that
        // may come before a marker code.
        while (at < file.size() && file[at] != markerPrefix)
            ++at;
        while (at < file.size() && file[at] == markerPrefix)
            ++at;
        if (at == file.size())
            return false;
        const std::uint8_t marker = file[at++];
        if (standsAlone(marker))
            continue;
        if (marker == endOfImage || marker == startOfImage || file.size() - at < 2)
            return false;
        const unsigned length = read16(file, at); // counts its own two bytes
        if (length < 2 || length > file.size() - at)
            return false;
        const std::span<const std::uint8_t> segment = file.subspan(at + 2, length - 2);
        at += length;
        if (isStartOfFrame(marker)) {
            // Precision, height, width, component count.
            if (segment.size() < 6)
                return false;
            header.height = static_cast<int>(read16(segment, 1));
            header.width = static_cast<int>(read16(segment, 3));
            header.components = segment[5];
            frameSeen = true;
        } else if (marker == restartInterval) {
            if (segment.size() < 2)
                return false;
            header.restartMarkers = read16(segment, 0) != 0;
        } else if (marker == startOfScan) {
            header.ended = endMarkerFollows(file.subspan(at));
            return frameSeen;
        }
    }
    return false;
}
