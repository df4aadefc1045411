#include "tools/texgen/jpeg_writer.h"

#include <cstdlib>

std::vector<std::uint8_t> jpegFile(int width, int height, J_COLOR_SPACE inputSpace, J_COLOR_SPACE fileSpace,
                                   const std::vector<std::uint8_t>& topRowFirst, JpegSettings settings) {
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
    jpeg_set_quality(&info, settings.quality, TRUE);
    if (!settings.subsampleChroma)
        for (int c = 0; c < info.num_components; ++c)
            info.comp_info[c].h_samp_factor = info.comp_info[c].v_samp_factor = 1;
    info.restart_interval = static_cast<unsigned>(settings.restartInterval);
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
