#include "overlay/clock_text.h"

#include <gtest/gtest.h>

namespace {

TEST(ClockText, TwentyFourHoursShowTheHourAsItIs) {
    EXPECT_EQ(clockText({0, 30, 0}, false), "00:30:00");
    EXPECT_EQ(clockText({12, 0, 0}, false), "12:00:00");
    EXPECT_EQ(clockText({21, 5, 7}, false), "21:05:07");
}

TEST(ClockText, TwelveHoursShowMidnightAndNoonAsTwelveAndMarkTheAfternoon) {
    EXPECT_EQ(clockText({0, 30, 0}, true), "12:30:00;");
    EXPECT_EQ(clockText({11, 59, 59}, true), "11:59:59;");
    EXPECT_EQ(clockText({12, 0, 0}, true), "12:00:00<");
    EXPECT_EQ(clockText({13, 0, 0}, true), "01:00:00<");
    EXPECT_EQ(clockText({21, 5, 7}, true), "09:05:07<");
}

TEST(ClockText, ReadsOnlyAWholeTimeOfDay) {
    const std::optional<ClockTime> time = parseClockTime("21:05:07");
    ASSERT_TRUE(time);
    EXPECT_EQ(time->hour, 21);
    EXPECT_EQ(time->minute, 5);
    EXPECT_EQ(time->second, 7);
    ASSERT_TRUE(parseClockTime("00:00:00"));
    EXPECT_EQ(parseClockTime("23:59:59")->hour, 23);

    for (const char* wrong :
         {"24:00:00", "12:60:00", "12:00:60", "-1:05:07", "1:05:07", "21-05-07", "21:05:07 ", "ab:cd:ef", ""})
        EXPECT_FALSE(parseClockTime(wrong)) << wrong;
}

} // namespace
