#include "app/exit_rules.h"

#include <gtest/gtest.h>

namespace {

// Moves the pointer by (dx, dy) from the centre in one frame and reports whether the run would end.
bool endsAfter(std::initializer_list<std::pair<int, int>> moves, bool mouseExit = true) {
    ExitRules rules;
    for (auto [dx, dy] : moves) {
        rules.pointerMoved(dx, dy);
        rules.takePointerMove();
    }
    return rules.shouldExit(mouseExit);
}

TEST(ExitRules, PointerTravelRightOrDownEndsTheRunPastSeven) {
    EXPECT_TRUE(endsAfter({{24, 0}}));  // 7.2
    EXPECT_FALSE(endsAfter({{23, 0}})); // 6.9
    EXPECT_TRUE(endsAfter({{12, 12}})); // 3.6 + 3.6
    EXPECT_TRUE(endsAfter({{0, 24}}));
    EXPECT_FALSE(endsAfter({{-50, 0}}));
    EXPECT_FALSE(endsAfter({{-50, 0}, {40, 0}})); // left first lowers the sum
    EXPECT_TRUE(endsAfter({{12, 0}, {12, 0}}));   // two frames add up
    EXPECT_FALSE(endsAfter({{100, 100}}, false)); // only when MouseExit asks for it
}

TEST(ExitRules, OnlyTheLatestMoveOfAFrameCountsAndTheCounterClearsTheTravel) {
    ExitRules rules;
    rules.pointerMoved(100, 0);
    rules.pointerMoved(5, 0); // the pointer came back before the frame
    EXPECT_TRUE(rules.takePointerMove());
    EXPECT_FLOAT_EQ(rules.travel(), 1.5f);
    EXPECT_FALSE(rules.takePointerMove()); // nothing new: no re-centring

    rules.pointerMoved(20, 0);
    rules.takePointerMove();
    rules.clearTravel();
    rules.pointerMoved(20, 0);
    rules.takePointerMove();
    EXPECT_FALSE(rules.shouldExit(true)); // 6.0 since the clear

    rules.keyOrButtonPressed();
    EXPECT_TRUE(rules.shouldExit(false));
}

} // namespace
