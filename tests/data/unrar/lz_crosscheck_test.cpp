#include "tests/data/unrar/crosscheck_fixture.h"
#include "tests/text_bytes.h"

#include <string_view>

namespace {

constexpr std::string_view verse = "the sun rises over the planets and the moons\n"
                                   "the comets turn and the rings shine over the night side\n";

// Codes only for the letters of `verse` (and the table switch if it has a weight): long runs of absent
// symbols and of equal lengths, so the table goes out with zero runs (17, 18) and repeats (16) as well as
// plain lengths.
LzTables verseOnlyTables(std::uint32_t tableSwitchWeight = 0) {
    std::array<std::uint32_t, 298> weights{};
    for (char c : verse)
        ++weights[static_cast<unsigned char>(c)];
    weights[269] = tableSwitchWeight;
    LzTables tables;
    const std::vector<std::uint8_t> lengths = codeLengthsFromWeights(weights);
    std::copy(lengths.begin(), lengths.end(), tables.main.begin());
    return tables;
}

TEST_F(CrossCheck, LiteralsAndStoredMembers) {
    ArchiveWriter archive;

    Rar20StreamBuilder sparse;
    sparse.lzTables(verseOnlyTables());
    for (int i = 0; i < 20; ++i)
        sparse.literals(text(verse));
    addPacked(archive, "scripts\\verse.txt", sparse);

    addStored(archive, "stored.bin", pseudoRandomBytes(3000, 7));

    Rar20StreamBuilder everyByte;
    everyByte.lzTables(everySymbolLzTables(11));
    everyByte.literals(pseudoRandomBytes(5000, 12));
    for (int byte = 0; byte < 256; ++byte)
        everyByte.literal(static_cast<std::uint8_t>(byte));
    addPacked(archive, "every-byte.bin", everyByte);

    expectEveryUnpackerAgrees(archive);
}

TEST_F(CrossCheck, MatchesOfEverySlotKindIncludingOverlappingCopies) {
    ArchiveWriter archive;
    Rar20StreamBuilder builder;
    builder.lzTables(everySymbolLzTables(21));
    builder.literals(pseudoRandomBytes(8000, 22));

    // Every length slot at both ends of its range, over distance slots up to 8000 at both ends of theirs.
    const unsigned distances[] = {1,    2,    3,    4,    5,    6,    7,    8,    9,    12,   13,   16,
                                  17,   24,   25,   32,   33,   48,   49,   64,   65,   96,   97,   128,
                                  129,  192,  193,  256,  257,  384,  385,  512,  513,  768,  769,  1024,
                                  1025, 1536, 1537, 2048, 2049, 3072, 3073, 4096, 4097, 6144, 6145, 8000};
    const unsigned lengthBases[] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  10,  12,  14,  16,  20,
                                    24, 28, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224};
    std::size_t next = 0;
    for (std::size_t slot = 0; slot < std::size(lengthBases); ++slot) {
        const unsigned slotEnd = slot + 1 < std::size(lengthBases) ? lengthBases[slot + 1] : 256;
        for (unsigned coded : {lengthBases[slot], slotEnd - 1}) {
            builder.match(coded + 3, distances[next++ % std::size(distances)]);
            builder.literal(static_cast<std::uint8_t>(slot));
        }
    }
    for (unsigned distance : distances) {
        builder.match(5, distance);
        builder.literal(0x5A);
    }

    // The last match again, and the distance ring at every age with every repeat-length slot at both ends.
    // All ring distances lie in 0x101..0x1FFF, so every repeat gains exactly one byte of length.
    builder.match(40, 777);
    builder.lastMatch();
    builder.match(9, 3000);
    builder.match(5, 300);
    builder.match(17, 1000);
    builder.literal(1);
    for (std::size_t slot = 0; slot < std::size(lengthBases); ++slot) {
        const unsigned slotEnd = slot + 1 < std::size(lengthBases) ? lengthBases[slot + 1] : 256;
        builder.repeatMatch(1 + static_cast<int>(slot % 4), lengthBases[slot] + 3);
        builder.repeatMatch(4 - static_cast<int>(slot % 4), slotEnd - 1 + 3);
        builder.literal(2);
    }
    builder.lastMatch();

    // Every short distance.
    for (unsigned distance = 1; distance <= 256; ++distance) {
        builder.shortMatch(distance);
        builder.literal(static_cast<std::uint8_t>(distance));
    }

    // Copies that overlap their own output repeat the last `distance` bytes.
    builder.literals(text("ab"));
    builder.match(200, 1);
    builder.match(100, 2);
    builder.literals(text("xyz"));
    builder.match(258, 3);
    builder.shortMatch(1);
    builder.repeatMatch(2, 50);
    builder.lastMatch();

    addPacked(archive, "matches.bin", builder);
    expectEveryUnpackerAgrees(archive);
}

TEST_F(CrossCheck, LengthBonusesAtTheDistanceEdges) {
    ArchiveWriter archive;
    Rar20StreamBuilder builder;
    builder.lzTables(everySymbolLzTables(31));
    builder.literals(pseudoRandomBytes(0x40000 + 0x200, 32));

    // A match gains one byte of length from 0x2000 on and another from 0x40000; a repeat also from 0x101.
    for (unsigned distance : {0x100u, 0x101u, 0x1FFFu, 0x2000u, 0x3FFFFu, 0x40000u, 0x40001u}) {
        const unsigned matchBonus = (distance >= 0x2000) + (distance >= 0x40000);
        const unsigned repeatBonus = (distance >= 0x101) + matchBonus;
        builder.match(3 + matchBonus, distance);
        builder.literal(0xEE);
        builder.match(258 + matchBonus, distance);
        builder.repeatMatch(1, 2 + repeatBonus);
        builder.repeatMatch(1, 257 + repeatBonus);
        builder.lastMatch();
        builder.literal(0x11);
    }
    addPacked(archive, "bonus.bin", builder);
    expectEveryUnpackerAgrees(archive);
}

TEST_F(CrossCheck, EveryMemberStartsFromClearedTablesAndMatchState) {
    ArchiveWriter archive;
    Rar20StreamBuilder first;
    first.lzTables(everySymbolLzTables(50));
    first.literals(pseudoRandomBytes(5000, 51));
    first.match(100, 4000);
    addPacked(archive, "first.bin", first);

    // Not a solid continuation: the previous match is empty and kept lengths start from zero.
    Rar20StreamBuilder second;
    second.lzTables(everySymbolLzTables(52), true);
    second.lastMatch();
    second.literals(pseudoRandomBytes(30, 53));
    second.match(3, 10);
    second.repeatMatch(1, 5);
    second.literals(pseudoRandomBytes(3, 54));
    addPacked(archive, "second.bin", second);

    expectEveryUnpackerAgrees(archive);
}

TEST_F(CrossCheck, TableSwitchesInMidMemberWithAndWithoutKeptLengths) {
    ArchiveWriter archive;
    Rar20StreamBuilder builder;
    const auto someOfEverything = [&builder](unsigned seed) {
        builder.literals(pseudoRandomBytes(700, seed));
        builder.match(30, 500);
        builder.shortMatch(40);
        builder.repeatMatch(2, 20);
        builder.lastMatch();
        builder.literals(text(verse));
    };

    builder.lzTables(everySymbolLzTables(41));
    someOfEverything(42);
    builder.tableSwitch();
    builder.lzTables(everySymbolLzTables(43)); // lengths start from zero again
    someOfEverything(44);
    builder.tableSwitch();
    builder.lzTables(everySymbolLzTables(45), true); // changes mod 16 against the previous lengths
    someOfEverything(46);
    builder.tableSwitch();
    builder.lzTables(verseOnlyTables(1), true); // absent symbols go out as zero runs, not as changes
    for (int i = 0; i < 5; ++i)
        builder.literals(text(verse));
    builder.tableSwitch();
    builder.lzTables(everySymbolLzTables(47), true);
    someOfEverything(48);

    addPacked(archive, "switches.bin", builder);
    expectEveryUnpackerAgrees(archive);
}

} // namespace
