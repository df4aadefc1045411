#include "app/win32/frame_capture.h"

#include <gtest/gtest.h>

namespace {

std::uint32_t read32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

// Rows of three pixels need padding to four bytes; BMP keeps blue first and the bottom row first, as GL does.
TEST(FrameCapture, BitmapRowsArePaddedBlueFirstBottomUp) {
    const std::vector<std::uint8_t> rgb = {
        10, 20, 30, 40, 50, 60, 70, 80, 90, // bottom row
        11, 21, 31, 41, 51, 61, 71, 81, 91, // top row
    };
    const std::vector<std::uint8_t> file = bitmapFile(3, 2, rgb);
    ASSERT_EQ(file.size(), 54u + 2 * 12);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(read32(file, 2), file.size());
    EXPECT_EQ(read32(file, 10), 54u);
    EXPECT_EQ(read32(file, 18), 3u);
    EXPECT_EQ(read32(file, 22), 2u);
    EXPECT_EQ(file[28], 24);
    const std::vector<std::uint8_t> bottom(file.begin() + 54, file.begin() + 66);
    EXPECT_EQ(bottom, (std::vector<std::uint8_t>{30, 20, 10, 60, 50, 40, 90, 80, 70, 0, 0, 0}));
    EXPECT_EQ(file[66], 31);
}

} // namespace
