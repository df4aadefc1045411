#include "objects/script_reader.h"
#include "objects/show.h"

#include "tests/data/test_archive.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

// Holds one script in a test archive and reads it.
struct Script {
    explicit Script(std::string_view content)
        : archive({{"script.txt", text(content)}}), show(archive.path()) {
        EXPECT_TRUE(reader.open("script.txt"));
    }
    TestArchive archive;
    Show show;
    ScriptReader reader{show};
};

std::vector<std::string> allLines(ScriptReader& reader) {
    std::vector<std::string> lines;
    while (reader.nextLine())
        lines.emplace_back(reader.line());
    return lines;
}

} // namespace

TEST(ScriptReader, ReadsLinesUpToTheEndOfTheData) {
    const std::string longLine(200, 'x');
    Script script("  first\r\n\tsecond\n" + longLine + "\nlast");
    EXPECT_EQ(allLines(script.reader),
              (std::vector<std::string>{"first", "\tsecond", std::string(127, 'x'), "last"}));
    EXPECT_EQ(script.reader.line(), "");

    Script endingWithLineFeed("one\n");
    EXPECT_EQ(allLines(endingWithLineFeed.reader), (std::vector<std::string>{"one", ""}));

    TestArchive empty({});
    Show show(empty.path());
    ScriptReader missing(show);
    EXPECT_FALSE(missing.open("missing.txt"));
    EXPECT_FALSE(missing.nextLine());
}

TEST(ScriptReader, BeginLineNamesTheBlockCutToTheField) {
    Script script("sphere\nradius 1\nbegin Earth\n"
                  "begin\n"
                  "beginMars\n"
                  "begin AVeryLongPlanetName\n"
                  "no begin here");
    std::string name;
    ASSERT_TRUE(readBlockBegin(script.reader, name, 14));
    EXPECT_EQ(name, "Earth");
    ASSERT_TRUE(readBlockBegin(script.reader, name, 14));
    EXPECT_EQ(name, "Earth"); // a bare "begin" names nothing
    ASSERT_TRUE(readBlockBegin(script.reader, name, 14));
    EXPECT_EQ(name, "Mars");
    ASSERT_TRUE(readBlockBegin(script.reader, name, 14));
    EXPECT_EQ(name, "AVeryLongPlane");
    EXPECT_FALSE(readBlockBegin(script.reader));
}

TEST(ScriptReader, BlockBodyAppliesEveryMatchingKeywordUpToEnd) {
    Script script("radius 2\n"
                  "radius 3\n"
                  "color V(0.5 1 0.25)\n"
                  "lights\n"
                  "something else\n"
                  "end of block\n"
                  "radius 9\n");
    float radius = 0;
    Vec3 color{1, 1, 1};
    bool light = false;
    int colourLines = 0;
    const BlockKeyword keywords[] = {
        floatKeyword("radius", radius),
        {"col", [&](ScriptReader&) { ++colourLines; }},
        vectorKeyword("color", color),
        flagKeyword("light", light),
    };
    EXPECT_TRUE(readBlockBody(script.reader, keywords));
    EXPECT_FLOAT_EQ(radius, 3);
    EXPECT_EQ(colourLines, 1);
    EXPECT_FLOAT_EQ(color.x, 0.5f);
    EXPECT_FLOAT_EQ(color.z, 0.25f);
    EXPECT_TRUE(light);
    // The line after "end" belongs to the script again.
    ASSERT_TRUE(script.reader.nextLine());
    EXPECT_EQ(script.reader.line(), "radius 9");
}

TEST(ScriptReader, KeywordsAfterAnActionThatReadsOnTestItsLastLine) {
    Script script("material\n\tmetal\nscale 2\n"
                  "material\n\tplain\nend\n"
                  "scale 5\nend\n");
    std::optional<bool> metal;
    float scale = 1;
    const BlockKeyword keywords[] = {
        {"material",
         [&](ScriptReader& s) {
             s.nextLine();
             metal = s.lineStartsWith("\tmetal");
             s.nextLine();
         }},
        floatKeyword("scale", scale),
    };
    EXPECT_TRUE(readBlockBody(script.reader, keywords));
    EXPECT_EQ(metal, false);
    EXPECT_FLOAT_EQ(scale, 2);
    // The second material's last line was "end": the block ended there.
    ASSERT_TRUE(script.reader.nextLine());
    EXPECT_EQ(script.reader.line(), "scale 5");
}

TEST(ScriptReader, BlockCutShortByTheEndOfTheDataIsUnfinished) {
    Script script("radius 2\nradius 3");
    float radius = 0;
    const BlockKeyword keywords[] = {floatKeyword("radius", radius)};
    EXPECT_FALSE(readBlockBody(script.reader, keywords));
    EXPECT_FLOAT_EQ(radius, 3);

    Script materialAtTheEnd("material\n");
    const BlockKeyword readsOn[] = {{"material", [](ScriptReader& s) {
                                         s.nextLine();
                                         s.nextLine();
                                     }}};
    EXPECT_FALSE(readBlockBody(materialAtTheEnd.reader, readsOn));
}
