// The show the build makes: data.sdd loads off-screen without a single message (every texture, mesh and
// script it names is there) and its members all pass their CRC.
#include "data/archive_reader.h"
#include "tests/render/golden_frames.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace fs = std::filesystem;

namespace {

const fs::path showArchive = HELIOX_SHOW_ARCHIVE;

TEST(Show, EveryMemberOfTheBuiltArchivePassesItsCrc) {
    FileArchiveSource source(showArchive.string());
    ASSERT_TRUE(source.isOpen()) << showArchive;
    int members = 0;
    ExtractResult walk = extractAll(
        source, [&](const MemberHeader& header, ExtractResult result, std::span<const std::uint8_t>) {
            ++members;
            EXPECT_EQ(result, ExtractResult::ok) << header.name << ": " << describe(result);
        });
    EXPECT_EQ(walk, ExtractResult::ok);
    EXPECT_GT(members, 30);
}

TEST(Show, LoadsAndDrawsWithoutAMessage) {
    const fs::path folder = fs::temp_directory_path() / "heliox-show-test";
    RenderRun run = renderShow(showArchive, folder, "--frames 3 --size 160x120 --seed 2");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output.find("Error"), std::string::npos) << run.output;
    EXPECT_EQ(run.frames.size(), 3u);
    fs::remove_all(folder);
}

// Ten seconds of the whole show with the run-time check on: after every object's draw and the overlay, the
// GL state is what every draw expects.
TEST(Show, EveryDrawOfTheShowLeavesTheStateAsItFoundIt) {
    const fs::path folder = fs::temp_directory_path() / "heliox-show-check-gl";
    setenv("HELIOX_CHECK_GL", "1", 1);
    RenderRun run = renderShow(showArchive, folder, "--frames 200 --dt 0.05 --size 160x120 --seed 5");
    unsetenv("HELIOX_CHECK_GL");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output.find("GL state"), std::string::npos) << run.output;
    EXPECT_EQ(run.frames.size(), 200u);
    fs::remove_all(folder);
}

// Two moments of the show from two seeds: the camera's path, the Sun's glare and the planets as they should
// look. When the show's content changes on purpose, write these anew and look at them.
TEST(Show, GoldenFramesAtTwoSeeds) {
    for (auto [seed, name] : {std::pair{7, "show_seed7"}, std::pair{23, "show_seed23"}}) {
        const fs::path folder = fs::temp_directory_path() / ("heliox-show-golden-" + std::to_string(seed));
        RenderRun run = renderShow(showArchive, folder,
                                   "--frames 30 --dt 0.1 --size 320x240 --seed " + std::to_string(seed));
        ASSERT_EQ(run.exitCode, 0) << run.output;
        ASSERT_EQ(run.frames.size(), 30u);
        EXPECT_EQ(compareWithGolden(run.frames.back(), name), "");
        fs::remove_all(folder);
    }
}

} // namespace
