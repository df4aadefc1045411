#pragma once

#include "tools/sdd/bit_writer.h"

#include <cstdint>
#include <span>

// Writes one RAR 2.0 table read: the mode bits, then the code lengths of every table, themselves coded with a
// 19-symbol Huffman code whose lengths go first. `lengths` holds 374 LZ lengths (main, distance,
// repeat-length) or 257 per multimedia channel. With `keptLengths` (the lengths the previous table read
// left) the keep-old flag is set and each length goes out as its change from the kept one, mod 16; with an
// empty span the lengths start from zero.
void writeRar20TableRead(BitWriter& bits, bool multimedia, int channelCount,
                         std::span<const std::uint8_t> lengths, std::span<const std::uint8_t> keptLengths);

// The bits writeRar20TableRead writes for these lengths, without writing them: the packer weighs many ways
// to cut a stretch by what their tables cost.
std::uint64_t rar20TableReadBits(bool multimedia, std::span<const std::uint8_t> lengths,
                                 std::span<const std::uint8_t> keptLengths);
