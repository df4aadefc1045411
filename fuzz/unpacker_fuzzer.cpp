// Any bytes as a sequence of packed members fed to one unpacker, as a solid archive would: each member is
// a 4-byte little-endian word (low 22 bits: unpacked size; bit 31: solid continuation), a 3-byte packed
// length and the packed bytes. The unpacker must hand out exactly the asked size or fail, and stay inside
// its buffers whatever the bits say.
#include "data/rar20_unpacker.h"

#include <cstdlib>

namespace {

std::uint32_t littleEndian(const std::uint8_t* p, int count) {
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = value << 8 | p[i];
    return value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Rar20Unpacker unpacker;
    std::size_t at = 0;
    while (size - at >= 7) {
        const std::uint32_t word = littleEndian(data + at, 4);
        const std::size_t packedSize = std::min<std::size_t>(littleEndian(data + at + 4, 3), size - at - 7);
        at += 7;
        const std::uint32_t unpackedSize = word & 0x3FFFFF;
        std::size_t produced = 0;
        const bool ok =
            unpacker.unpack({data + at, packedSize}, unpackedSize, (word >> 31) != 0,
                            [&](std::span<const std::uint8_t> piece) { produced += piece.size(); });
        if (produced > unpackedSize || (ok && produced != unpackedSize))
            std::abort();
        at += packedSize;
    }
    return 0;
}
