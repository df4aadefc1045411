// Any bytes as a JPEG member: the decoder gives bottom-up RGB rows of the stated size, or fails; it never
// reads outside the input, never ends the process and never waits for data that does not come. The header
// walk that checks a file before the Windows decoder sees it never reads outside the input either.
#include "data/jpeg_header.h"
#include "data/jpeg_image.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    JpegHeader header;
    readJpegHeader({data, size}, header);
    DecodedImage image;
    if (!decodeJpeg({data, size}, image)) {
        if (!image.pixels.empty())
            std::abort();
        return 0;
    }
    if (image.width <= 0 || image.height <= 0 || image.rowBytes != image.width * 3)
        std::abort();
    if (image.pixels.size() != static_cast<std::size_t>(image.rowBytes) * image.height)
        std::abort();
    return 0;
}
