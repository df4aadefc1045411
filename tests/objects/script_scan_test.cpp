#include "objects/script_scan.h"

#include <gtest/gtest.h>

TEST(ScanLine, ReadsNumbersVectorsAndWordsAsTheScriptsWriteThem) {
    float radius = 0;
    EXPECT_EQ(scanLine("radius 2.5", "radius %f", radius), 1);
    EXPECT_FLOAT_EQ(radius, 2.5f);
    // The blank of the pattern also matches no blank at all, and signs and exponents are numbers.
    EXPECT_EQ(scanLine("radius+7", "radius %f", radius), 1);
    EXPECT_FLOAT_EQ(radius, 7);

    float x = 0, y = 0, z = 0;
    EXPECT_EQ(scanLine("position V(1 -2.5   3e2) trailing", "position V(%f %f %f)", x, y, z), 3);
    EXPECT_FLOAT_EQ(x, 1);
    EXPECT_FLOAT_EQ(y, -2.5f);
    EXPECT_FLOAT_EQ(z, 300);

    std::string word;
    EXPECT_EQ(scanLine("envelope", "env %s", ScanWord{word, 19}), 1);
    EXPECT_EQ(word, "elope");
    EXPECT_EQ(scanLine("\tmap1   earth.jpg more", "\tmap1 %s", ScanWord{word, 19}), 1);
    EXPECT_EQ(word, "earth.jpg");
}

TEST(ScanLine, StopsAtTheFirstMismatchKeepingWhatWasRead) {
    float x = 9, y = 9, z = 9;
    EXPECT_EQ(scanLine("position V(1 2)", "position V(%f %f %f)", x, y, z), 2);
    EXPECT_FLOAT_EQ(x, 1);
    EXPECT_FLOAT_EQ(y, 2);
    EXPECT_FLOAT_EQ(z, 9);

    x = y = z = 9;
    EXPECT_EQ(scanLine("position W(1 2 3)", "position V(%f %f %f)", x, y, z), 0);
    EXPECT_EQ(scanLine("radius big", "radius %f", x), 0);
    EXPECT_EQ(scanLine("radius +-1", "radius %f", x), 0);
    EXPECT_FLOAT_EQ(x, 9);

    std::string word = "previous";
    EXPECT_EQ(scanLine("texture", "texture %s", ScanWord{word, 19}), 0);
    EXPECT_EQ(scanLine("texture   ", "texture %s", ScanWord{word, 19}), 0);
    EXPECT_EQ(word, "previous");
}

TEST(ScanLine, CutsLongWordsToTheirFieldAndReadsOnAfterThem) {
    std::string name;
    float x = 0, y = 0, z = 0;
    const std::string line = "parent " + std::string(200, 'N') + " V(1 2 3)";
    EXPECT_EQ(scanLine(line, "parent %s V(%f %f %f)", ScanWord{name, 14}, x, y, z), 4);
    EXPECT_EQ(name, std::string(14, 'N'));
    EXPECT_FLOAT_EQ(z, 3);
}

TEST(ScanLine, AFieldOfTheWrongTypeEndsTheScan) {
    float value = 5;
    std::string word = "kept";
    EXPECT_EQ(scanLine("scale 2 x", "scale %s %f", value, ScanWord{word, 8}), 0);
    EXPECT_FLOAT_EQ(value, 5);
    EXPECT_EQ(word, "kept");
}
