#include "app/stereo_mixdown.h"
#include "app/vorbis_decoder.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

// The pages in memory, read front to back. No seek callback: libvorbisfile then reads the stream once, as
// it comes, and never searches the file for other streams.
struct MemoryReader {
    std::span<const std::uint8_t> pages;
    std::size_t at = 0;
};

std::size_t readPages(void* into, std::size_t size, std::size_t count, void* source) {
    auto* reader = static_cast<MemoryReader*>(source);
    const std::size_t bytes = std::min(size * count, reader->pages.size() - reader->at);
    std::memcpy(into, reader->pages.data() + reader->at, bytes);
    reader->at += bytes;
    return size == 0 ? 0 : bytes / size;
}

struct FileCloser {
    void operator()(OggVorbis_File* file) const {
        ov_clear(file);
        delete file;
    }
};

// Frames asked of the decoder per call; it returns at most one packet's worth.
constexpr int decodeChunk = 4096;

} // namespace

bool decodeWithLibvorbis(std::span<const std::uint8_t> pages, std::size_t sampleLimit,
                         std::vector<std::int16_t>& samples, std::string& error) {
    MemoryReader reader{pages};
    const ov_callbacks callbacks{&readPages, nullptr, nullptr, nullptr};
    auto* opening = new OggVorbis_File{};
    if (const int status = ov_open_callbacks(&reader, opening, nullptr, 0, callbacks); status != 0) {
        // A file that fails to open is already cleared by libvorbisfile.
        delete opening;
        error = "not a Vorbis stream the decoder accepts (libvorbis error " + std::to_string(status) + ")";
        return false;
    }
    const std::unique_ptr<OggVorbis_File, FileCloser> file(opening);
    const int channels = ov_info(file.get(), -1)->channels;
    for (;;) {
        float** planes = nullptr;
        int section = 0;
        const long frames = ov_read_float(file.get(), &planes, decodeChunk, &section);
        if (frames == 0)
            return true;
        if (frames == OV_HOLE)
            continue; // a gap libvorbisfile skipped over; the pages are checked, so it is the stream's own
        if (frames < 0) {
            // The audio decoded so far is kept: a stream that goes bad at its end still plays what it has.
            if (!samples.empty())
                return true;
            error =
                "damaged: the decoder cannot read its audio (libvorbis error " + std::to_string(frames) + ")";
            return false;
        }
        appendMixedDown(planes, channels, static_cast<int>(frames), samples);
        if (samples.size() > sampleLimit) {
            error = "too long: it decodes to more than its pages claimed, past the limits for music";
            return false;
        }
    }
}
