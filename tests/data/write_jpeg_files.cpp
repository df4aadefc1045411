// Writes the JPEG files the decoder tests read (tests/data/jpeg), with the show's JPEG writer, and beside
// each painted picture the pixels libjpeg decodes from it (NAME.rgb: red, green, blue, bottom row first).
// The files are kept in the repository because a Windows build has no JPEG writer: every decoder, libjpeg
// or the Windows Imaging Component, is tested on the same bytes. Run it only to change what the files hold:
//
//     write_jpeg_files tests/data/jpeg
#include "data/jpeg_image.h"
#include "tools/texgen/jpeg_writer.h"
#include "tools/texgen/rocky_textures.h"

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

bool writeFile(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "write_jpeg_files: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

// A painted texture as the show stores it, plus the reference decode the other decoders are measured by.
bool writePaintedFile(const std::string& folder, const std::string& name, const JpegSettings& settings) {
    const Picture picture = paintMars(128, 64);
    const Bytes file =
        jpegFile(picture.width, picture.height, JCS_RGB, JCS_YCbCr, picture.rgbBytes(), settings);
    DecodedImage decoded;
    if (!decodeJpeg(file, decoded)) {
        std::fprintf(stderr, "write_jpeg_files: libjpeg cannot decode %s\n", name.c_str());
        return false;
    }
    return writeFile(folder + "/" + name + ".jpg", file) &&
           writeFile(folder + "/" + name + ".rgb", decoded.pixels);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: write_jpeg_files FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    Bytes white64(64 * 64 * 3, 255);
    // Picture order: red, green on top; blue, white below.
    const Bytes quadrants = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
    const Bytes cmyk(4 * 4 * 4, 100);
    const bool written =
        writeFile(folder + "/quadrants_2x2.jpg", jpegFile(2, 2, JCS_RGB, JCS_YCbCr, quadrants)) &&
        writeFile(folder + "/grey_2x1.jpg", jpegFile(2, 1, JCS_GRAYSCALE, JCS_GRAYSCALE, {30, 220})) &&
        writeFile(folder + "/cmyk_4x4.jpg", jpegFile(4, 4, JCS_CMYK, JCS_CMYK, cmyk)) &&
        writeFile(folder + "/ycck_4x4.jpg", jpegFile(4, 4, JCS_CMYK, JCS_YCCK, cmyk)) &&
        writeFile(folder + "/white_64x64.jpg", jpegFile(64, 64, JCS_RGB, JCS_YCbCr, white64)) &&
        // A restart marker after every block.
        writeFile(folder + "/restarts_32x32.jpg",
                  jpegFile(32, 32, JCS_RGB, JCS_YCbCr, Bytes(32 * 32 * 3, 90), {.restartInterval = 1})) &&
        // The show's own settings, and the smaller files most other JPEGs are: quality 75, chroma halved.
        writePaintedFile(folder, "mars_q90", {.quality = 90}) &&
        writePaintedFile(folder, "mars_q75_subsampled", {.quality = 75, .subsampleChroma = true});
    return written ? 0 : 1;
}
