#include "app/headless/png_image.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

TEST(PngImage, WritesAndReadsBottomRowFirst) {
    const std::string path = (std::filesystem::temp_directory_path() / "heliox-png-test.png").string();
    // 2 × 2: bottom row red, green; top row blue, half-transparent white.
    std::vector<std::uint8_t> pixels = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 128};
    std::string error;
    ASSERT_TRUE(writePng(path, 2, 2, pixels, error)) << error;

    int width = 0, height = 0;
    std::vector<std::uint8_t> back;
    ASSERT_TRUE(readPng(path, width, height, back, error)) << error;
    EXPECT_EQ(width, 2);
    EXPECT_EQ(height, 2);
    EXPECT_EQ(back, pixels);
    std::filesystem::remove(path);

    EXPECT_FALSE(writePng(path, 3, 2, pixels, error));
    EXPECT_FALSE(readPng("/nonexistent/x.png", width, height, back, error));
    EXPECT_FALSE(error.empty());
}

// A frame's path may hold anything a user (or anyone who can write to the folder) left there: a symbolic link
// is replaced by the frame, and the file it named keeps what it held.
TEST(PngImage, AFrameReplacesALinkAtItsPathAndNeverWritesThroughIt) {
    const auto folder = std::filesystem::temp_directory_path() / "heliox-png-link-test";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const auto precious = folder / "precious.txt";
    std::ofstream(precious) << "keep me";
    std::filesystem::create_symlink(precious, folder / "frame-00000.png");

    const std::vector<std::uint8_t> pixel = {1, 2, 3, 255};
    std::string error;
    ASSERT_TRUE(writePng((folder / "frame-00000.png").string(), 1, 1, pixel, error)) << error;
    EXPECT_FALSE(std::filesystem::is_symlink(folder / "frame-00000.png"));
    std::stringstream kept;
    kept << std::ifstream(precious).rdbuf();
    EXPECT_EQ(kept.str(), "keep me");
    int width = 0, height = 0;
    std::vector<std::uint8_t> back;
    ASSERT_TRUE(readPng((folder / "frame-00000.png").string(), width, height, back, error)) << error;
    EXPECT_EQ(back, pixel);
    std::filesystem::remove_all(folder);
}

} // namespace
