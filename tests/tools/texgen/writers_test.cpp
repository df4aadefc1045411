#include "data/tga_image.h"
#include "tools/texgen/noise.h"
#include "tools/texgen/tga_writer.h"

#include <gtest/gtest.h>

TEST(TgaWriter, StoresRowsBottomUpAndDecodesBackToTheSamePixels) {
    // 2 × 2: top row red (opaque), green (alpha 100); bottom row blue (alpha 0), white (alpha 200).
    const std::vector<std::uint8_t> topRowFirst = {255, 0, 0,   255, 0,   255, 0,   100,
                                                   0,   0, 255, 0,   255, 255, 255, 200};
    TgaHeader image;
    ASSERT_TRUE(decodeTga(tgaFile(2, 2, topRowFirst), image));
    EXPECT_EQ(image.width, 2);
    EXPECT_EQ(image.height, 2);
    EXPECT_EQ(image.pixelDepth, 32);
    // The decoder keeps file order, which is bottom row first.
    const std::vector<std::uint8_t> bottomRowFirst = {0,   0, 255, 0,   255, 255, 255, 200,
                                                      255, 0, 0,   255, 0,   255, 0,   100};
    EXPECT_EQ(image.pixels, bottomRowFirst);
}

TEST(Noise, StaysInRangeAndVariesSmoothly) {
    float lowest = 1;
    float highest = 0;
    for (int i = 0; i < 2000; ++i) {
        const Vec3 p{static_cast<float>(i) * 0.173f, static_cast<float>(i % 37) * 0.41f, -1.3f};
        const float value = fractalNoise(p, 5, 3);
        lowest = std::min(lowest, value);
        highest = std::max(highest, value);
        // A tiny step moves the value only a little: no seams inside or between lattice cells.
        EXPECT_NEAR(valueNoise(p, 3), valueNoise({p.x + 0.001f, p.y, p.z}, 3), 0.01f);
    }
    EXPECT_GE(lowest, 0.0f);
    EXPECT_LE(highest, 1.0f);
    EXPECT_GT(highest - lowest, 0.3f); // not a constant
    EXPECT_NE(valueNoise({0.5f, 0.5f, 0.5f}, 1), valueNoise({0.5f, 0.5f, 0.5f}, 2));
}
