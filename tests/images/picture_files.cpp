#include "tests/images/picture_files.h"

#include <cstdlib>

namespace {

void put16(std::vector<std::uint8_t>& out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

} // namespace

std::vector<std::uint8_t> TgaFile::bytes() const {
    const unsigned entryBytes = (colourMapEntrySize + 7u) / 8u;
    std::vector<std::uint8_t> out;
    out.push_back(static_cast<std::uint8_t>(id.size()));
    out.push_back(colourMap.empty() ? 0 : 1);
    out.push_back(type);
    put16(out, 0);
    put16(out, static_cast<unsigned>(colourMap.size() / entryBytes));
    out.push_back(colourMap.empty() ? 0 : colourMapEntrySize);
    put16(out, 0);
    put16(out, 0);
    put16(out, width);
    put16(out, height);
    out.push_back(depth);
    out.push_back(0);
    out.insert(out.end(), id.begin(), id.end());
    out.insert(out.end(), colourMap.begin(), colourMap.end());
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

std::vector<std::uint8_t> jpegFile(int width, int height, J_COLOR_SPACE inputSpace, J_COLOR_SPACE fileSpace,
                                   const std::vector<std::uint8_t>& topRowFirst, int restartInterval) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.in_color_space = inputSpace;
    info.input_components = inputSpace == JCS_GRAYSCALE ? 1 : (inputSpace == JCS_CMYK ? 4 : 3);
    jpeg_set_defaults(&info);
    jpeg_set_colorspace(&info, fileSpace);
    jpeg_set_quality(&info, 100, TRUE);
    for (int c = 0; c < info.num_components; ++c)
        info.comp_info[c].h_samp_factor = info.comp_info[c].v_samp_factor = 1;
    info.restart_interval = static_cast<unsigned>(restartInterval);
    jpeg_start_compress(&info, TRUE);
    const auto rowBytes = static_cast<std::size_t>(width * info.input_components);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(&topRowFirst[info.next_scanline * rowBytes]);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<std::uint8_t> file(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return file;
}

std::vector<std::uint8_t> quadrantsTopRowFirst(int componentsPerPixel) {
    const std::uint8_t colours[4][4] = {
        {255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 255, 255}};
    std::vector<std::uint8_t> pixels;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            const std::uint8_t* colour = colours[(y / 2) * 2 + x / 2];
            pixels.insert(pixels.end(), colour, colour + componentsPerPixel);
        }
    return pixels;
}
