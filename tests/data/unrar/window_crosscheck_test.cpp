#include "tests/data/unrar/crosscheck_fixture.h"

#include <random>

namespace {

constexpr unsigned windowSize = 0x100000;

// Fills the member up to `size` bytes with matches of random lengths reaching anywhere in the window (the
// whole window once it has been filled), with a literal now and then.
void fillWithFarMatches(Rar20StreamBuilder& builder, std::size_t size, unsigned seed,
                        std::size_t alreadyInWindow) {
    std::mt19937 random(seed);
    while (builder.outputSize() + 300 < size) {
        const std::size_t inWindow =
            std::min<std::size_t>(alreadyInWindow + builder.outputSize(), windowSize);
        const auto distance = static_cast<unsigned>(1 + random() % inWindow);
        builder.match(5 + random() % 250, distance);
        if (random() % 4 == 0)
            builder.literal(static_cast<std::uint8_t>(random()));
    }
    while (builder.outputSize() < size)
        builder.literal(static_cast<std::uint8_t>(random()));
}

TEST_F(CrossCheck, MatchesAcrossTheWindowWrap) {
    ArchiveWriter archive;

    Rar20StreamBuilder wrapping;
    wrapping.lzTables(everySymbolLzTables(300));
    wrapping.literals(pseudoRandomBytes(0x10000, 301));
    fillWithFarMatches(wrapping, windowSize - 100, 302, 0);
    // A match that crosses the window's end, then ones a whole window back (the byte about to be
    // overwritten).
    wrapping.match(250, 0x80000);
    wrapping.match(200, windowSize);
    wrapping.repeatMatch(1, 255);
    fillWithFarMatches(wrapping, windowSize + 0x50000, 303, 0);
    wrapping.match(100, windowSize);
    addPacked(archive, "wrap.bin", wrapping);

    // A member that ends exactly at the window's end must still give its last bytes.
    Rar20StreamBuilder exact;
    exact.lzTables(everySymbolLzTables(310));
    exact.literals(pseudoRandomBytes(0x8000, 311));
    fillWithFarMatches(exact, windowSize, 312, 0);
    addPacked(archive, "exact-window.bin", exact);

    expectEveryUnpackerAgrees(archive);
}

TEST_F(CrossCheck, SolidMembersContinueTheWindowTablesAndState) {
    ArchiveWriter archive(true);
    Rar20StreamBuilder builder;

    // First member; its stream ends with the tables the next member starts with.
    builder.lzTables(everySymbolLzTables(400));
    builder.literals(pseudoRandomBytes(3000, 401));
    builder.match(258, 2500);
    builder.match(20, 7);
    builder.match(33, 1234);
    builder.shortMatch(100);
    builder.endOutput();
    builder.tableSwitch();
    builder.lzTables(everySymbolLzTables(402), true);
    addPacked(archive, "first.bin", builder);

    // Second member: matches into the first one's bytes and its distance ring, then multimedia samples.
    builder.repeatMatch(2, 40); // 1234 from the first member
    builder.lastMatch();
    builder.match(258, 3200);
    builder.literals(pseudoRandomBytes(200, 403));
    builder.tableSwitch();
    std::vector<MultimediaTable> tables = {everySymbolMultimediaTable(404), everySymbolMultimediaTable(405)};
    builder.multimediaTables(tables);
    for (int i = 0; i < 32 * 9 + 1; ++i)
        builder.sample(static_cast<std::uint8_t>(i * 3 + (i % 2) * 100));
    builder.endOutput();
    builder.tableSwitch(); // read at the end of the member in multimedia mode
    builder.multimediaTables(std::vector{everySymbolMultimediaTable(407), everySymbolMultimediaTable(408)},
                             true);
    addPacked(archive, "second.bin", builder);

    // An empty member in the chain changes nothing.
    addPacked(archive, "empty.bin", builder);

    // Third member: still in multimedia mode with the same predictors and channel; then LZ again,
    // reaching back into the first member.
    for (int i = 0; i < 32 * 5; ++i)
        builder.sample(static_cast<std::uint8_t>(200 - i));
    builder.tableSwitch();
    builder.lzTables(everySymbolLzTables(406));
    builder.match(250, 4000); // back in the first member's bytes
    addPacked(archive, "third.bin", builder);

    expectEveryUnpackerAgrees(archive);
}

} // namespace
