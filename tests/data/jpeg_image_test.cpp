#include "data/jpeg_image.h"

#include "base/load_stop.h"
#include "tests/data/jpeg_test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// Quality 100 without subsampling still rounds a little on the way through YCbCr and the DCT.
constexpr int tolerance = 6;

void expectPixelNear(const DecodedImage& image, int row, int column, std::initializer_list<int> rgb) {
    const std::uint8_t* pixel = &image.pixels[static_cast<std::size_t>(row * image.rowBytes + column * 3)];
    int c = 0;
    for (const int expected : rgb) {
        EXPECT_NEAR(pixel[c], expected, tolerance)
            << "row " << row << " column " << column << " channel " << c;
        ++c;
    }
}

} // namespace

TEST(JpegImage, DecodesRowsBottomUp) {
    // Picture order: red, green on top; blue, white below.
    const Bytes file = jpegTestFile("quadrants_2x2.jpg");
    DecodedImage image;
    ASSERT_TRUE(decodeJpeg(file, image));
    EXPECT_EQ(image.width, 2);
    EXPECT_EQ(image.height, 2);
    EXPECT_EQ(image.rowBytes, 6);
    ASSERT_EQ(image.pixels.size(), 12u);
    expectPixelNear(image, 1, 0, {255, 0, 0}); // the top-left pixel is in the second row
    expectPixelNear(image, 1, 1, {0, 255, 0});
    expectPixelNear(image, 0, 0, {0, 0, 255});
    expectPixelNear(image, 0, 1, {255, 255, 255});
}

TEST(JpegImage, WidensGreyscaleToRgb) {
    const Bytes file = jpegTestFile("grey_2x1.jpg"); // 30, 220
    DecodedImage image;
    ASSERT_TRUE(decodeJpeg(file, image));
    EXPECT_EQ(image.rowBytes, 6);
    ASSERT_EQ(image.pixels.size(), 6u);
    expectPixelNear(image, 0, 0, {30, 30, 30});
    expectPixelNear(image, 0, 1, {220, 220, 220});
    EXPECT_EQ(image.pixels[0], image.pixels[1]);
    EXPECT_EQ(image.pixels[0], image.pixels[2]);
}

TEST(JpegImage, RefusesFourChannelPictures) {
    DecodedImage image;
    EXPECT_FALSE(decodeJpeg(jpegTestFile("cmyk_4x4.jpg"), image));
    EXPECT_FALSE(decodeJpeg(jpegTestFile("ycck_4x4.jpg"), image));
    EXPECT_TRUE(image.pixels.empty());
}

TEST(JpegImage, FailsSilentlyOnWhatTheDecoderCannotRead) {
    const Bytes good = jpegTestFile("quadrants_2x2.jpg");
    const Bytes notAJpeg = {'G', 'I', 'F', '8', '9', 'a', 0, 0};
    Bytes headerCut(good.begin(), good.begin() + 30);
    testing::internal::CaptureStderr();
    DecodedImage image;
    EXPECT_FALSE(decodeJpeg(notAJpeg, image));
    EXPECT_FALSE(decodeJpeg(headerCut, image));
    EXPECT_FALSE(decodeJpeg({}, image));
    EXPECT_TRUE(image.pixels.empty());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(JpegImage, EndsACutOffPictureAtItsEndWithTheRestGrey) {
    Bytes file = jpegTestFile("white_64x64.jpg");
    // Keep the headers and a little of the scan; drop the rest, end-of-image marker included.
    const auto scan = findMarker(file, 0xDA);
    ASSERT_NE(scan, file.end());
    file.erase(scan + 40, file.end());
    DecodedImage image;
    ASSERT_TRUE(decodeJpeg(file, image));
    expectPixelNear(image, 63, 0, {255, 255, 255}); // top-left survived
    expectPixelNear(image, 0, 63, {128, 128, 128}); // the missing bottom-right is grey
}

TEST(JpegImage, FailsRatherThanWaitingWhenARestartMarkerIsMissing) {
    // A restart marker after every block; the data stops a few markers into the scan.
    Bytes file = jpegTestFile("restarts_32x32.jpg");
    const auto scan = findMarker(file, 0xDA);
    ASSERT_NE(scan, file.end());
    file.erase(scan + 40, file.end());
    DecodedImage image;
    EXPECT_FALSE(decodeJpeg(file, image));
}

TEST(JpegImage, RefusesAHeaderPromisingAHugePicture) {
    Bytes file = jpegTestFile("white_64x64.jpg");
    // Baseline frame header: FF C0, length (2), precision (1), height (2), width (2).
    const auto frame = findMarker(file, 0xC0);
    ASSERT_NE(frame, file.end());
    frame[5] = frame[6] = frame[7] = frame[8] = 0xF0;
    DecodedImage image;
    EXPECT_FALSE(decodeJpeg(file, image));
}

// A progressive picture's work grows with its scans, and a few hundred bytes can repeat one thousands of
// times; a load the user ends is not finished first. progressive_64x64.jpg is a progressive libjpeg file
// (ten scans); scans_100_64x64.jpg the same with its smallest scan repeated 100 times more.
TEST(JpegImage, GivesUpAPictureOfTooManyScansOrALoadAskedToStop) {
    DecodedImage image;
    EXPECT_TRUE(decodeJpeg(jpegTestFile("progressive_64x64.jpg"), image));
    EXPECT_EQ(image.width, 64);
    EXPECT_FALSE(decodeJpeg(jpegTestFile("scans_100_64x64.jpg"), image));
    EXPECT_TRUE(image.pixels.empty());

    setLoadStopCheck([] { return true; });
    EXPECT_FALSE(decodeJpeg(jpegTestFile("progressive_64x64.jpg"), image));
    EXPECT_FALSE(decodeJpeg(jpegTestFile("white_64x64.jpg"), image));
    setLoadStopCheck({});
    EXPECT_TRUE(decodeJpeg(jpegTestFile("white_64x64.jpg"), image));
}

TEST(JpegImage, DecodesPaintedTexturesAsLibjpegDoes) {
    // Beside each file lies what libjpeg decodes from it. Decoders may differ a little in their inverse DCT,
    // and more where they widen halved chroma: the Windows Imaging Component under Wine gives the show's own
    // files exactly, and is up to 14 levels off at sharp colour edges in the halved one (0.9 on average). A
    // flipped, shifted or colour-swapped picture is tens of levels off on average.
    struct Case {
        std::string name;
        int largestAllowed;
        double meanAllowed;
    };
    for (const auto& [name, largestAllowed, meanAllowed] :
         {Case{"mars_q90", 4, 0.5}, Case{"mars_q75_subsampled", 24, 1.5}}) {
        SCOPED_TRACE(name);
        const Bytes reference = jpegTestFile(name + ".rgb");
        DecodedImage image;
        ASSERT_TRUE(decodeJpeg(jpegTestFile(name + ".jpg"), image));
        EXPECT_EQ(image.width, 128);
        EXPECT_EQ(image.height, 64);
        ASSERT_EQ(image.pixels.size(), reference.size());
        int largest = 0;
        long long total = 0;
        for (std::size_t i = 0; i < reference.size(); ++i) {
            const int difference = std::abs(image.pixels[i] - reference[i]);
            largest = std::max(largest, difference);
            total += difference;
        }
        const double mean = static_cast<double>(total) / static_cast<double>(reference.size());
        RecordProperty(name + "_largest_difference", largest);
        std::printf("%s: largest difference from libjpeg %d, mean %.4f\n", name.c_str(), largest, mean);
        EXPECT_LE(largest, largestAllowed);
        EXPECT_LE(mean, meanAllowed);
    }
}
