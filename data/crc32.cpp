#include "data/crc32.h"

#include <array>

namespace {

constexpr std::array<std::uint32_t, 256> makeTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int bit = 0; bit < 8; ++bit)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    return table;
}

constexpr auto table = makeTable();

} // namespace

std::uint32_t crc32(std::span<const std::uint8_t> bytes, std::uint32_t crc) {
    std::uint32_t c = ~crc;
    for (std::uint8_t b : bytes)
        c = table[(c ^ b) & 0xFF] ^ (c >> 8);
    return ~c;
}
