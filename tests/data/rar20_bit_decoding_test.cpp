#include "data/rar20_bit_reader.h"
#include "data/rar20_huffman_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <vector>

namespace {

// Bit `index` of `bytes`, most significant first; zero past the end.
unsigned bitAt(const std::vector<std::uint8_t>& bytes, std::size_t index) {
    return index / 8 < bytes.size() ? (bytes[index / 8] >> (7 - index % 8)) & 1u : 0u;
}

std::vector<std::uint8_t> randomBytes(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<std::uint8_t> bytes(size);
    for (std::uint8_t& b : bytes)
        b = static_cast<std::uint8_t>(random());
    return bytes;
}

// Reads of every width from every bit position, through many refills and on past the end, agree with the
// bits taken one at a time; the reader tells an overrun exactly when more bits were read than there are.
// The same whether the bytes are in memory or come from an archive a chunk at a time (across chunk ends).
TEST(Rar20BitReader, ReadsEveryWidthAtEveryPositionUpToAndPastTheEnd) {
    constexpr std::size_t chunk = Rar20BitReader::chunkSize;
    const std::size_t sizes[] = {0, 1, 2, 7, 8, 9, 15, 16, 17, 61, chunk + 3, 2 * chunk + 7};
    for (const std::size_t size : sizes)
        for (const bool fromArchive : {false, true}) {
            const std::vector<std::uint8_t> bytes = randomBytes(size, static_cast<unsigned>(size));
            std::mt19937 random(static_cast<unsigned>(size) + 100);
            // In the archive the member's bytes come after others, which the reader must not take.
            std::vector<std::uint8_t> archive = randomBytes(5, 1);
            archive.insert(archive.end(), bytes.begin(), bytes.end());
            archive.push_back(0xFF);
            MemoryArchiveSource source(archive);
            Rar20BitReader reader = fromArchive ? Rar20BitReader(source, 5, size) : Rar20BitReader(bytes);
            std::size_t position = 0;
            while (position < size * 8 + 40) {
                const unsigned width = random() % 17;
                std::uint32_t expected = 0;
                for (unsigned i = 0; i < width; ++i)
                    expected = expected << 1 | bitAt(bytes, position + i);
                std::uint32_t ahead = 0;
                for (unsigned i = 0; i < 16; ++i)
                    ahead = ahead << 1 | bitAt(bytes, position + i);
                ASSERT_EQ(reader.peek16(), ahead) << "size " << size << " bit " << position;
                ASSERT_EQ(reader.read(width), expected) << "size " << size << " bit " << position;
                position += width;
                ASSERT_EQ(reader.overrun(), position > size * 8) << "size " << size << " bit " << position;
                ASSERT_EQ(reader.unreadBytes(), position / 8 < size ? size - position / 8 : 0)
                    << "size " << size << " bit " << position;
            }
        }
}

// An archive that cannot give the bytes (cut short under the reader) ends the stream as an overrun.
TEST(Rar20BitReader, BytesTheArchiveCannotGiveAreAnOverrun) {
    const std::vector<std::uint8_t> archive = randomBytes(Rar20BitReader::chunkSize + 100, 3);
    MemoryArchiveSource source(archive);
    Rar20BitReader reader(source, 50, archive.size());
    for (std::size_t bit = 0; bit < (archive.size() - 50) * 8 - 64 && !reader.overrun(); bit += 16)
        reader.read(16);
    EXPECT_TRUE(reader.overrun());
}

TEST(Rar20BitReader, ConsumingTheLastBitExactlyIsNoOverrun) {
    const std::vector<std::uint8_t> bytes = {0xA5, 0x5A, 0xFF};
    Rar20BitReader reader(bytes);
    EXPECT_EQ(reader.read(16), 0xA55Au);
    EXPECT_EQ(reader.read(7), 0x7Fu);
    EXPECT_FALSE(reader.overrun());
    EXPECT_EQ(reader.unreadBytes(), 1u);
    EXPECT_EQ(reader.read(1), 1u);
    EXPECT_FALSE(reader.overrun());
    EXPECT_EQ(reader.unreadBytes(), 0u);
    EXPECT_EQ(reader.read(1), 0u);
    EXPECT_TRUE(reader.overrun());
}

// Canonical codes as the format defines them: shorter codes first, then by symbol; an independent model.
std::vector<std::uint32_t> canonicalCodes(const std::vector<std::uint8_t>& lengths) {
    std::vector<std::uint32_t> codes(lengths.size(), 0);
    std::uint32_t next = 0;
    for (unsigned length = 1; length <= 15; ++length) {
        for (std::size_t symbol = 0; symbol < lengths.size(); ++symbol)
            if (lengths[symbol] == length)
                codes[symbol] = next++;
        next <<= 1;
    }
    return codes;
}

// Packs the symbols' codes one after another, most significant bit first.
std::vector<std::uint8_t> encode(const std::vector<std::uint16_t>& symbols,
                                 const std::vector<std::uint8_t>& lengths) {
    const std::vector<std::uint32_t> codes = canonicalCodes(lengths);
    std::vector<std::uint8_t> bytes;
    std::uint64_t pending = 0;
    unsigned pendingBits = 0;
    for (std::uint16_t symbol : symbols) {
        pending = pending << lengths[symbol] | codes[symbol];
        pendingBits += lengths[symbol];
        while (pendingBits >= 8) {
            pendingBits -= 8;
            bytes.push_back(static_cast<std::uint8_t>(pending >> pendingBits));
        }
    }
    if (pendingBits > 0)
        bytes.push_back(static_cast<std::uint8_t>(pending << (8 - pendingBits)));
    return bytes;
}

// A complete code over 298 symbols with lengths from 1 to 15 bits, most of them longer than one table
// lookup covers, scattered over the symbols; the last code ends in the last byte of the data.
TEST(Rar20HuffmanTable, DecodesCodesOfEveryLengthUpToTheLastBit) {
    std::vector<std::uint8_t> lengths(298, 0);
    std::mt19937 random(5);
    std::vector<std::size_t> order(lengths.size());
    std::iota(order.begin(), order.end(), 0);
    std::shuffle(order.begin(), order.end(), random);
    // One code each of 1 to 7 bits leaves 1/128 of the code space, filled exactly by
    // 2 × 2^-9 + 4 × 2^-11 + 8 × 2^-13 + 8 × 2^-14 + 16 × 2^-15.
    std::size_t next = 0;
    for (unsigned length = 1; length <= 7; ++length)
        lengths[order[next++]] = static_cast<std::uint8_t>(length);
    for (const auto& [length, count] : {std::pair{9u, 2u}, {11u, 4u}, {13u, 8u}, {14u, 8u}, {15u, 16u}})
        for (unsigned i = 0; i < count; ++i)
            lengths[order[next++]] = static_cast<std::uint8_t>(length);

    std::vector<std::uint16_t> symbols;
    for (int round = 0; round < 3; ++round)
        for (std::size_t symbol = 0; symbol < lengths.size(); ++symbol)
            if (lengths[symbol] != 0)
                symbols.push_back(static_cast<std::uint16_t>(symbol));
    std::shuffle(symbols.begin(), symbols.end(), random);
    const std::vector<std::uint8_t> bytes = encode(symbols, lengths);

    Rar20HuffmanTable table;
    table.build(lengths);
    Rar20BitReader reader(bytes);
    for (std::size_t i = 0; i < symbols.size(); ++i)
        ASSERT_EQ(table.decode(reader), symbols[i]) << "symbol " << i << " of " << symbols.size();
    EXPECT_FALSE(reader.overrun());
    // Only the padding of the last byte is left, and that byte counts as unread while it has any.
    std::size_t totalBits = 0;
    for (std::uint16_t symbol : symbols)
        totalBits += lengths[symbol];
    EXPECT_EQ(reader.unreadBytes(), totalBits % 8 != 0 ? 1u : 0u);
}

} // namespace
