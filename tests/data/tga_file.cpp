#include "tests/data/tga_file.h"

namespace {

void put16(std::vector<std::uint8_t>& out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

} // namespace

std::vector<std::uint8_t> TgaFile::bytes() const {
    const unsigned entryBytes = (colourMapEntrySize + 7u) / 8u;
    std::vector<std::uint8_t> out;
    out.push_back(static_cast<std::uint8_t>(id.size()));
    out.push_back(colourMap.empty() ? 0 : 1);
    out.push_back(type);
    put16(out, 0);
    put16(out, static_cast<unsigned>(colourMap.size() / entryBytes));
    out.push_back(colourMap.empty() ? 0 : colourMapEntrySize);
    put16(out, 0);
    put16(out, 0);
    put16(out, width);
    put16(out, height);
    out.push_back(depth);
    out.push_back(0);
    out.insert(out.end(), id.begin(), id.end());
    out.insert(out.end(), colourMap.begin(), colourMap.end());
    out.insert(out.end(), data.begin(), data.end());
    return out;
}
