#include "tests/data/picture_files.h"

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
