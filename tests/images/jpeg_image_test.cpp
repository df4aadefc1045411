#include "data/jpeg_image.h"

#include "tests/images/picture_files.h"

#include <gtest/gtest.h>

#include <algorithm>

using Bytes = std::vector<std::uint8_t>;

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

// The first marker with this code (FF code) in the file.
Bytes::iterator findMarker(Bytes& file, std::uint8_t code) {
    const std::uint8_t marker[] = {0xFF, code};
    return std::search(file.begin(), file.end(), std::begin(marker), std::end(marker));
}

} // namespace

TEST(JpegImage, DecodesRowsBottomUp) {
    // Picture order: red, green on top; blue, white below.
    const Bytes file = rgbJpeg(2, 2, {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255});
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
    const Bytes file = jpegFile(2, 1, JCS_GRAYSCALE, JCS_GRAYSCALE, {30, 220});
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
    const Bytes cmykPixels(4 * 4 * 4, 100);
    DecodedImage image;
    EXPECT_FALSE(decodeJpeg(jpegFile(4, 4, JCS_CMYK, JCS_CMYK, cmykPixels), image));
    EXPECT_FALSE(decodeJpeg(jpegFile(4, 4, JCS_CMYK, JCS_YCCK, cmykPixels), image));
    EXPECT_TRUE(image.pixels.empty());
}

TEST(JpegImage, FailsSilentlyOnWhatTheDecoderCannotRead) {
    const Bytes good = rgbJpeg(2, 2, Bytes(12, 200));
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
    Bytes rows;
    for (int i = 0; i < 64 * 64; ++i)
        rows.insert(rows.end(), {255, 255, 255});
    Bytes file = rgbJpeg(64, 64, rows);
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
    Bytes file = jpegFile(32, 32, JCS_RGB, JCS_YCbCr, Bytes(32 * 32 * 3, 90), {.restartInterval = 1});
    const auto scan = findMarker(file, 0xDA);
    ASSERT_NE(scan, file.end());
    file.erase(scan + 40, file.end());
    DecodedImage image;
    EXPECT_FALSE(decodeJpeg(file, image));
}

TEST(JpegImage, RefusesAHeaderPromisingAHugePicture) {
    Bytes file = rgbJpeg(8, 8, Bytes(8 * 8 * 3, 50));
    // Baseline frame header: FF C0, length (2), precision (1), height (2), width (2).
    const auto frame = findMarker(file, 0xC0);
    ASSERT_NE(frame, file.end());
    frame[5] = frame[6] = frame[7] = frame[8] = 0xF0;
    DecodedImage image;
    EXPECT_FALSE(decodeJpeg(file, image));
}
