#include "data/jpeg_header.h"

#include "data/jpeg_image.h"

#include "tests/data/jpeg_test_files.h"

#include <gtest/gtest.h>

TEST(JpegHeader, ReadsSizeComponentsAndRestartsOfWholeFiles) {
    struct Case {
        const char* file;
        int width, height, components;
        bool restartMarkers;
    };
    for (const Case c : {Case{"quadrants_2x2.jpg", 2, 2, 3, false}, Case{"grey_2x1.jpg", 2, 1, 1, false},
                         Case{"cmyk_4x4.jpg", 4, 4, 4, false}, Case{"restarts_32x32.jpg", 32, 32, 3, true},
                         Case{"mars_q75_subsampled.jpg", 128, 64, 3, false}}) {
        SCOPED_TRACE(c.file);
        JpegHeader header;
        ASSERT_TRUE(readJpegHeader(jpegTestFile(c.file), header));
        EXPECT_EQ(header.width, c.width);
        EXPECT_EQ(header.height, c.height);
        EXPECT_EQ(header.components, c.components);
        EXPECT_EQ(header.restartMarkers, c.restartMarkers);
        EXPECT_TRUE(header.ended);
    }
}

TEST(JpegHeader, TellsACutOffScanFromAWholeOne) {
    // Cut inside the scan: the header is whole, the end marker is gone.
    Bytes file = jpegTestFile("white_64x64.jpg");
    const auto scan = findMarker(file, 0xDA);
    ASSERT_NE(scan, file.end());
    file.erase(scan + 40, file.end());
    JpegHeader header;
    ASSERT_TRUE(readJpegHeader(file, header));
    EXPECT_EQ(header.width, 64);
    EXPECT_FALSE(header.ended);

    // Fill bytes and stray bytes before a marker are passed over, as libjpeg passes over them.
    Bytes filled = jpegTestFile("quadrants_2x2.jpg");
    filled.insert(filled.begin() + 2, {0x00, 0x17, 0xFF, 0xFF});
    ASSERT_TRUE(readJpegHeader(filled, header));
    EXPECT_EQ(header.width, 2);
    EXPECT_TRUE(header.ended);
    DecodedImage image;
    EXPECT_TRUE(decodeJpeg(filled, image));
}

TEST(JpegHeader, FailsOnFilesItCannotWalkToTheFirstScan) {
    const Bytes whole = jpegTestFile("quadrants_2x2.jpg");
    JpegHeader header;
    EXPECT_FALSE(readJpegHeader(Bytes{}, header));
    EXPECT_FALSE(readJpegHeader(Bytes{'G', 'I', 'F', '8', '9', 'a'}, header));
    // Every cut before the scan starts leaves a segment running past the end, or no scan at all.
    Bytes cut = whole;
    const auto scan = findMarker(cut, 0xDA);
    ASSERT_NE(scan, cut.end());
    for (std::size_t size = 0; size < static_cast<std::size_t>(scan - cut.begin()) + 4; ++size)
        EXPECT_FALSE(readJpegHeader(std::span(whole).first(size), header)) << "cut at " << size;

    // A segment length that points past the end of the file.
    Bytes overlong = whole;
    overlong[4] = 0xFF;
    overlong[5] = 0xFF;
    EXPECT_FALSE(readJpegHeader(overlong, header));

    // A scan with no frame header before it.
    Bytes frameless = whole;
    const auto frame = findMarker(frameless, 0xC0);
    ASSERT_NE(frame, frameless.end());
    frame[1] = 0xE5; // an application segment of the same length
    EXPECT_FALSE(readJpegHeader(frameless, header));
}
