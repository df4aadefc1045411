#include "app/headless/png_image.h"

#include <gtest/gtest.h>

#include <filesystem>

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

} // namespace
