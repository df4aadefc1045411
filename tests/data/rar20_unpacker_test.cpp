#include "data/rar20_unpacker.h"

#include "tests/data/rar20_flat_stream.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// Decodes one member and returns what reached the sink, or nothing when the unpacker failed.
std::optional<std::vector<std::uint8_t>> unpack(Rar20Unpacker& unpacker,
                                                const std::vector<std::uint8_t>& packed, std::size_t size,
                                                bool solid = false) {
    std::vector<std::uint8_t> out;
    if (!unpacker.unpack(
            packed, static_cast<std::uint32_t>(size), solid,
            [&](std::span<const std::uint8_t> piece) { out.insert(out.end(), piece.begin(), piece.end()); }))
        return std::nullopt;
    return out;
}

std::vector<std::uint8_t> slice(const std::vector<std::uint8_t>& bytes, std::size_t from, std::size_t to) {
    return {bytes.begin() + static_cast<std::ptrdiff_t>(from),
            bytes.begin() + static_cast<std::ptrdiff_t>(to)};
}

TEST(Rar20Unpacker, AMatchShorterThanItsLengthRepeatsThePattern) {
    FlatStream stream;
    stream.lzTables();
    stream.literal('a');
    stream.literal('b');
    stream.match(9, 2);
    Rar20Unpacker unpacker;
    EXPECT_EQ(unpack(unpacker, stream.take(), 11),
              std::vector<std::uint8_t>({'a', 'b', 'a', 'b', 'a', 'b', 'a', 'b', 'a', 'b', 'a'}));
}

// Several windows' worth of output, with matches reaching a whole window back: every byte must be handed
// out before the window position that held it is written again.
TEST(Rar20Unpacker, MembersLargerThanTheWindowComeOutWhole) {
    FlatStream stream;
    stream.lzTables();
    std::mt19937 random(7);
    for (int i = 0; i < 5000; ++i)
        stream.literal(static_cast<std::uint8_t>(random()));
    while (stream.output().size() < 3 * 0x100000 + 12345) {
        const unsigned reach = static_cast<unsigned>(std::min<std::size_t>(stream.output().size(), 0x100000));
        stream.match(5 + random() % 250, 1 + random() % reach);
        if (random() % 3 == 0)
            stream.literal(static_cast<std::uint8_t>(random()));
    }
    const std::vector<std::uint8_t> expected = stream.output();
    Rar20Unpacker unpacker;
    const auto out = unpack(unpacker, stream.take(), expected.size());
    ASSERT_TRUE(out);
    EXPECT_TRUE(*out == expected);
}

// The last match may run past the member's size: the member is cut, the window keeps the bytes.
TEST(Rar20Unpacker, ALastMatchRunningPastTheEndIsCut) {
    FlatStream stream;
    stream.lzTables();
    stream.literal('x');
    stream.literal('y');
    stream.match(10, 2);
    Rar20Unpacker unpacker;
    EXPECT_EQ(unpack(unpacker, stream.take(), 5), std::vector<std::uint8_t>({'x', 'y', 'x', 'y', 'x'}));
}

// The first member ends with a table switch and new tables (with longer codes). The second member, a solid
// continuation, must start with those, reach back into the first member's bytes and find nothing extra in
// the window: a symbol decoded after the first member's last byte would shift every distance by one.
TEST(Rar20Unpacker, ASolidContinuationStartsWithTheTablesReadAfterTheMemberBefore) {
    FlatStream stream;
    stream.lzTables();
    for (char c : std::string("solid window"))
        stream.literal(static_cast<std::uint8_t>(c));
    stream.match(12, 12);
    const std::size_t firstSize = stream.output().size();
    stream.tableSwitch();
    stream.lzTables(10);
    const std::vector<std::uint8_t> first = stream.take();

    stream.match(6, 24);
    stream.literal('!');
    const std::vector<std::uint8_t> second = stream.take();
    const std::vector<std::uint8_t> expected = stream.output();

    Rar20Unpacker unpacker;
    EXPECT_EQ(unpack(unpacker, first, firstSize), slice(expected, 0, firstSize));
    EXPECT_EQ(unpack(unpacker, second, expected.size() - firstSize, true),
              slice(expected, firstSize, expected.size()));
}

// Without a table switch after it, a member's end leaves the tables as they are; the padding bits of its
// last byte are no symbol.
TEST(Rar20Unpacker, ASolidContinuationKeepsTheTablesWithoutASwitch) {
    FlatStream stream;
    stream.lzTables();
    stream.literal('x');
    stream.literal('y');
    stream.literal('z');
    const std::vector<std::uint8_t> first = stream.take();
    stream.match(3, 3);
    const std::vector<std::uint8_t> second = stream.take();

    Rar20Unpacker unpacker;
    EXPECT_EQ(unpack(unpacker, first, 3), std::vector<std::uint8_t>({'x', 'y', 'z'}));
    EXPECT_EQ(unpack(unpacker, second, 3, true), std::vector<std::uint8_t>({'x', 'y', 'z'}));
}

TEST(Rar20Unpacker, DataThatEndsTooSoonFailsAndSoDoesItsContinuation) {
    FlatStream stream;
    stream.lzTables();
    for (int i = 0; i < 100; ++i)
        stream.literal(static_cast<std::uint8_t>(i));
    std::vector<std::uint8_t> packed = stream.take();
    packed.resize(packed.size() - 20);
    stream.match(50, 100);
    const std::vector<std::uint8_t> next = stream.take();

    Rar20Unpacker unpacker;
    EXPECT_FALSE(unpack(unpacker, packed, 100));
    EXPECT_FALSE(unpacker.canContinue());
    EXPECT_FALSE(unpack(unpacker, next, 50, true));
}

TEST(Rar20Unpacker, AMemberThatStartsAfreshRecoversFromAFailure) {
    FlatStream stream;
    stream.lzTables();
    stream.literal('k');
    const std::vector<std::uint8_t> good = stream.take();

    Rar20Unpacker unpacker;
    EXPECT_FALSE(unpack(unpacker, {0x00, 0x00}, 10));
    EXPECT_EQ(unpack(unpacker, good, 1), std::vector<std::uint8_t>({'k'}));
    EXPECT_TRUE(unpacker.canContinue());
    unpacker.discardState();
    EXPECT_FALSE(unpack(unpacker, good, 1, true));
}

TEST(Rar20Unpacker, ARepeatOfThePreviousLengthBeforeAnyLengthIsCorrupt) {
    // LZ table header, then the 19 bit lengths: only symbol 16 ("repeat the previous length") has one, of
    // one bit (bit 69 set), so the first length read is a repeat with nothing before it.
    std::vector<std::uint8_t> packed(20, 0);
    packed[8] = 0x04;
    Rar20Unpacker unpacker;
    EXPECT_FALSE(unpack(unpacker, packed, 10));
}

TEST(Rar20Unpacker, AZeroSizeMemberProducesNothing) {
    FlatStream stream;
    stream.lzTables();
    Rar20Unpacker unpacker;
    EXPECT_EQ(unpack(unpacker, stream.take(), 0), std::vector<std::uint8_t>());
}

// While the coefficients are still zero (their first adjustment comes after a channel's 32nd byte), each
// channel predicts its own last byte, so a delta of -s makes it count up in steps of s.
TEST(Rar20Unpacker, MultimediaChannelsInterleaveTheirOwnPredictions) {
    for (unsigned channels = 1; channels <= 4; ++channels) {
        SCOPED_TRACE(channels);
        FlatStream stream;
        stream.multimediaTables(channels);
        std::vector<std::uint8_t> expected;
        for (unsigned i = 0; i < 31 * channels; ++i) {
            const unsigned step = i % channels + 1;
            stream.delta(static_cast<std::uint8_t>(256 - step));
            expected.push_back(static_cast<std::uint8_t>((i / channels + 1) * step));
        }
        Rar20Unpacker unpacker;
        EXPECT_EQ(unpack(unpacker, stream.take(), expected.size()), expected);
    }
}

} // namespace
