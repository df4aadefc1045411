// Any bytes as a TGA member: the decoder gives a picture whose pixels fill exactly its stated size, or
// fails, never reading outside the input.
#include "base/user_message.h"
#include "data/tga_image.h"

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setUserMessageHandler([](const char*, const std::string&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TgaHeader image;
    if (!decodeTga({data, size}, image)) {
        if (!image.pixels.empty())
            std::abort();
        return 0;
    }
    const std::size_t pixelCount = std::size_t{image.width} * image.height;
    if (image.pixelDepth != 8 && image.pixelDepth != 24 && image.pixelDepth != 32)
        std::abort();
    if (image.pixels.size() != pixelCount * (image.pixelDepth / 8))
        std::abort();
    if (tgaPixelsAsRgba(image).size() != pixelCount * 4)
        std::abort();
    return 0;
}
