#include "app/run_modes.h"

#include <gtest/gtest.h>

namespace {

TEST(RunMode, RunsExactlyTheChosenModeAndTestAsTheShow) {
    for (auto [mode, expected] :
         {std::pair{RunMode::Config, "config"}, std::pair{RunMode::Preview, "preview"},
          std::pair{RunMode::Saver, "saver"}, std::pair{RunMode::Test, "saver"}}) {
        std::string ran;
        RunModes modes{[&](SaverApplication&) { ran += "config"; },
                       [&](SaverApplication&) { ran += "preview"; },
                       [&](SaverApplication&) { ran += "saver"; }};
        SaverApplication app;
        app.mode = mode;
        runMode(app, modes);
        EXPECT_EQ(ran, expected);
    }
}

} // namespace
