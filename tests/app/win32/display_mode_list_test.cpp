#include "app/win32/display_mode_list.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<std::string> listed(const std::vector<DisplayMode>& enumerated) {
    DisplayModeFilter filter;
    std::vector<std::string> items;
    for (const DisplayMode& mode : enumerated)
        if (filter.offer(mode))
            items.push_back(formatDisplayMode(mode));
    return items;
}

TEST(DisplayModeList, AModeAtSeveralRefreshRatesInARowIsListedOnceAndApartEachTime) {
    const DisplayMode xga{1024, 768, 32};
    const DisplayMode svga{800, 600, 32};
    EXPECT_EQ(listed({xga, xga, xga}), std::vector<std::string>{"1024 x 768 32 bits"});
    EXPECT_EQ(listed({xga, svga, xga, svga, xga}).size(), 5u);
}

TEST(DisplayModeList, ModesBelow640x480Or16BitsAreLeftOutAndDoNotSeparateRepeats) {
    const DisplayMode xga{1024, 768, 32};
    EXPECT_EQ(listed({{640, 480, 16}, {639, 480, 32}, {640, 479, 32}, {800, 600, 8}}),
              std::vector<std::string>{"640 x 480 16 bits"});
    EXPECT_EQ(listed({xga, {320, 200, 8}, xga}).size(), 1u);
}

TEST(DisplayModeList, TheListsTextReadsBackAndOtherTextDoesNot) {
    const DisplayMode mode{1920, 1080, 24};
    EXPECT_EQ(parseDisplayMode(formatDisplayMode(mode)), mode);
    EXPECT_EQ(parseDisplayMode(""), std::nullopt);
    EXPECT_EQ(parseDisplayMode("1920 x 1080"), std::nullopt);
    EXPECT_EQ(parseDisplayMode("wide"), std::nullopt);
}

} // namespace
