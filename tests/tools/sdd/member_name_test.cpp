#include "tools/sdd/member_name.h"
#include "tools/sdd/unicode_name.h"

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;

TEST(UnicodeName, EveryKindOfTheEncodingDecodesToUtf8) {
    // Kinds 3 (a run from the 8-bit name), 2, 2 (a surrogate pair), 0, then 1 (with the shared high byte
    // 0x04).
    EXPECT_EQ(decodeUnicodeName("ab??c?", "\x04\xE8\x00\x3D\xD8\x00\xDE\x63\x40\x51"s),
              "ab\U0001F600c\u0451");
    // A corrected run: '0' and '1' plus 0xE0, with the high byte: U+0410 U+0411.
    EXPECT_EQ(decodeUnicodeName("01", "\x04\xC0\x80\xE0"s), "\u0410\u0411");
    // Cut short anywhere, it gives what it has and reads nothing past its end.
    const std::string whole = "\x04\xE8\x00\x3D\xD8\x00\xDE\x63\x40\x51"s;
    for (std::size_t length = 1; length < whole.size(); ++length)
        EXPECT_LE(decodeUnicodeName("ab??c?", whole.substr(0, length)).size(), 10u) << length;
    // A run cannot copy past the 8-bit name, and a lone surrogate half is no character.
    EXPECT_EQ(decodeUnicodeName("ab", "\x00\xC0\x7F"s), "ab");
    EXPECT_EQ(decodeUnicodeName("?", "\x00\x80\x00\xD8"s), "\uFFFD");
}

// Whatever the script, the Unicode form written for a name reads back as that name, beside any 8-bit name.
TEST(UnicodeName, EncodedNamesDecodeToThemselves) {
    const std::string longAscii(300, 'a');
    for (const std::string& name :
         std::vector<std::string>{"\u0442\u0435\u0441\u0442.txt", "textures\\\u65E5\u672C\\\U0001F600.jpg",
                                  longAscii + "\u00E9" + longAscii, "mixed \u0100\u0200\u0300\u0101\u0201"}) {
        EXPECT_EQ(decodeUnicodeName(name, encodeUnicodeName(name, name)), name);
        EXPECT_EQ(decodeUnicodeName("?", encodeUnicodeName("?", name)), name);
    }
    EXPECT_EQ(encodeUnicodeName("caf\xE9", "caf\xE9"), ""); // not UTF-8: no Unicode form
    EXPECT_EQ(storedNameFor("plain\\ascii.txt"), "plain\\ascii.txt");
    EXPECT_EQ(storedNameFor("caf\xE9"), "caf\xE9");
}

// As unar matches: a wildcard reaches into folders, whether the pattern has a separator or not.
TEST(PatternSelects, WildcardsReachIntoFoldersAndAFolderSelectsItsContents) {
    EXPECT_TRUE(patternSelects("*.txt", "src\\file1.txt"));
    EXPECT_TRUE(patternSelects("*/file1.txt", "src\\deep\\file1.txt"));
    EXPECT_TRUE(patternSelects("textures/*.jpg", "textures\\moons\\io.jpg"));
    EXPECT_FALSE(patternSelects("file1.txt", "src\\file1.txt"));
    EXPECT_TRUE(patternSelects("textures\\earth.jp?", "textures\\earth.jpg"));
    EXPECT_FALSE(patternSelects("TEXTURES/EARTH.JPG", "textures\\earth.jpg")); // README and readme are two
    EXPECT_TRUE(patternSelects("textures", "textures\\moons\\io.jpg"));
    EXPECT_TRUE(patternSelects("textures/", "textures\\moons\\io.jpg"));
    EXPECT_TRUE(patternSelects("meshes/[ab]*.dat", "meshes\\asteroid.dat"));
    EXPECT_FALSE(patternSelects("meshes/[ab]*.dat", "meshes\\comet.dat"));
    EXPECT_FALSE(patternSelects("tex", "textures\\earth.jpg"));
}

} // namespace
