#include "data/crc32.h"

#include <array>

namespace {

// Slicing by eight: table[k][b] is the CRC of byte b followed by k zero bytes, so eight input bytes are
// folded in with eight independent lookups instead of a chain of eight dependent ones. Every member is
// checksummed as it is unpacked, and the byte-at-a-time loop cost as much as the unpacking itself.
constexpr std::array<std::array<std::uint32_t, 256>, 8> makeTables() {
    std::array<std::array<std::uint32_t, 256>, 8> tables{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int bit = 0; bit < 8; ++bit)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        tables[0][i] = c;
    }
    for (std::size_t k = 1; k < 8; ++k)
        for (std::uint32_t i = 0; i < 256; ++i)
            tables[k][i] = tables[0][tables[k - 1][i] & 0xFF] ^ (tables[k - 1][i] >> 8);
    return tables;
}

constexpr auto tables = makeTables();

std::uint32_t littleEndianWord(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
           std::uint32_t{p[3]} << 24;
}

} // namespace

std::uint32_t crc32(std::span<const std::uint8_t> bytes, std::uint32_t crc) {
    std::uint32_t c = ~crc;
    const std::uint8_t* p = bytes.data();
    std::size_t left = bytes.size();
    for (; left >= 8; left -= 8, p += 8) {
        const std::uint32_t low = c ^ littleEndianWord(p);
        const std::uint32_t high = littleEndianWord(p + 4);
        c = tables[7][low & 0xFF] ^ tables[6][(low >> 8) & 0xFF] ^ tables[5][(low >> 16) & 0xFF] ^
            tables[4][low >> 24] ^ tables[3][high & 0xFF] ^ tables[2][(high >> 8) & 0xFF] ^
            tables[1][(high >> 16) & 0xFF] ^ tables[0][high >> 24];
    }
    for (; left > 0; --left, ++p)
        c = tables[0][(c ^ *p) & 0xFF] ^ (c >> 8);
    return ~c;
}
