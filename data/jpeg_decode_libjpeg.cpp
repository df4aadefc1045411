// decodeJpeg through libjpeg (API 62), the decoder of every build that finds the library.
#include "data/jpeg_image.h"

#include "base/load_stop.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio> // jpeglib.h uses FILE without including it

#include <jpeglib.h>

static_assert(JPEG_LIB_VERSION == 62, "the decoder is written against the libjpeg 6b interface");

namespace {

// Decoder messages are never shown. A fatal error leaves the library with a longjmp back to decodeJpeg,
// which then fails: the library's own handler would end the process.
struct SilentErrorManager {
    jpeg_error_mgr manager;
    std::jmp_buf exit;
};

void discardMessage(j_common_ptr) {}

[[noreturn]] void leaveDecoder(j_common_ptr info) {
    std::longjmp(reinterpret_cast<SilentErrorManager*>(info->err)->exit, 1);
}

// The member's bytes as the library's input, read in place.
struct MemorySource {
    jpeg_source_mgr manager;
    std::span<const std::uint8_t> bytes;
};

void startAtFirstByte(j_decompress_ptr info) {
    const auto* source = reinterpret_cast<MemorySource*>(info->src);
    info->src->next_input_byte = source->bytes.data();
    info->src->bytes_in_buffer = source->bytes.size();
}

// Past the end comes an end-of-image marker, as often as asked: a cut-off picture then ends, its missing
// part grey, instead of waiting for data that never comes.
boolean supplyEndOfImage(j_decompress_ptr info) {
    static const JOCTET endOfImage[] = {0xFF, JPEG_EOI};
    info->src->next_input_byte = endOfImage;
    info->src->bytes_in_buffer = sizeof endOfImage;
    return TRUE;
}

void skipBytes(j_decompress_ptr info, long count) {
    if (count <= 0)
        return;
    const std::size_t skipped = std::min(static_cast<std::size_t>(count), info->src->bytes_in_buffer);
    info->src->next_input_byte += skipped;
    info->src->bytes_in_buffer -= skipped;
}

// A lost restart marker is not searched for: the library then stops delivering rows, and the picture
// fails.
boolean refuseResync(j_decompress_ptr, int) {
    return FALSE;
}

void doNothing(j_decompress_ptr) {}

// The library reports progress through every pass over the picture: the place to count a progressive
// picture's scans and to give up a decode the user no longer waits for.
void watchProgress(j_common_ptr common) {
    const auto* info = reinterpret_cast<j_decompress_ptr>(common);
    if (info->input_scan_number > maxJpegScans || loadStopRequested())
        leaveDecoder(common);
}

// The decoder's own working memory (a progressive picture keeps every coefficient of the whole picture)
// beside the output: enough for the largest picture taken, and a hard stop for whatever a header makes it
// ask for; the library fails rather than go past it.
constexpr long maxDecoderMemory = 160l << 20;

// Reads the header and every row into `image`. Runs between setjmp and the library's fatal errors, so it
// must not own anything with a destructor.
bool readPicture(jpeg_decompress_struct& info, DecodedImage& image) {
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK)
        return false;
    // Greyscale is widened to red, green, blue so that every JPEG texture has the same layout; four-channel
    // pictures have no sensible meaning as a texture.
    if (info.jpeg_color_space != JCS_YCbCr && info.jpeg_color_space != JCS_RGB &&
        info.jpeg_color_space != JCS_GRAYSCALE)
        return false;
    info.out_color_space = JCS_RGB;
    if (static_cast<unsigned long>(info.image_width) * info.image_height > maxJpegPixels)
        return false;
    if (!jpeg_start_decompress(&info) || info.output_components != 3)
        return false;

    image.width = static_cast<int>(info.output_width);
    image.height = static_cast<int>(info.output_height);
    image.rowBytes = image.width * 3;
    image.pixels.assign(static_cast<std::size_t>(image.rowBytes) * image.height, 0);
    while (info.output_scanline < info.output_height) {
        // Scanlines come top first; the buffer is bottom-up.
        const std::size_t row = info.output_height - 1 - info.output_scanline;
        JSAMPROW destination = &image.pixels[row * image.rowBytes];
        if (jpeg_read_scanlines(&info, &destination, 1) != 1)
            return false;
    }
    return true;
}

} // namespace

bool decodeJpeg(std::span<const std::uint8_t> file, DecodedImage& image) {
    image = {};
    jpeg_decompress_struct info{};
    SilentErrorManager errors{};
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = leaveDecoder;
    errors.manager.output_message = discardMessage;
    MemorySource source{};
    source.bytes = file;
    source.manager.init_source = startAtFirstByte;
    source.manager.fill_input_buffer = supplyEndOfImage;
    source.manager.skip_input_data = skipBytes;
    source.manager.resync_to_restart = refuseResync;
    source.manager.term_source = doNothing;

    jpeg_progress_mgr progress{};
    progress.progress_monitor = watchProgress;

    if (setjmp(errors.exit) != 0) {
        jpeg_destroy_decompress(&info);
        image = {};
        return false;
    }
    jpeg_CreateDecompress(&info, JPEG_LIB_VERSION, sizeof info);
    info.src = &source.manager;
    info.progress = &progress;
    info.mem->max_memory_to_use = maxDecoderMemory;
    bool decoded = false;
    try {
        decoded = readPicture(info, image);
    } catch (...) { // the output's allocation failed: the library's memory goes all the same
        jpeg_destroy_decompress(&info);
        throw;
    }
    // The whole picture is in memory and nothing follows it, so there is no jpeg_finish_decompress.
    jpeg_destroy_decompress(&info);
    if (!decoded)
        image = {};
    return decoded;
}
