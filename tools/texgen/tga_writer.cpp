#include "tools/texgen/tga_writer.h"

namespace {

void put16(std::vector<std::uint8_t>& out, int value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

} // namespace

std::vector<std::uint8_t> tgaFile(int width, int height, std::span<const std::uint8_t> rgbaTopRowFirst) {
    std::vector<std::uint8_t> out = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    put16(out, width);
    put16(out, height);
    out.push_back(32);
    out.push_back(8); // eight alpha bits, bottom-up rows
    const auto rowBytes = static_cast<std::size_t>(width) * 4;
    for (int row = height - 1; row >= 0; --row) {
        const std::uint8_t* pixel = rgbaTopRowFirst.data() + static_cast<std::size_t>(row) * rowBytes;
        for (int x = 0; x < width; ++x, pixel += 4) {
            out.push_back(pixel[2]);
            out.push_back(pixel[1]);
            out.push_back(pixel[0]);
            out.push_back(pixel[3]);
        }
    }
    return out;
}
