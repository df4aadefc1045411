#include "app/vorbis_decoder.h"

#include <algorithm>
#include <climits>
#include <memory>

// The decoder is compiled beside this file (stb_vorbis_build.cpp): only the declarations are wanted here.
#define STB_VORBIS_HEADER_ONLY
#include <stb_vorbis.h>

namespace {

struct DecoderCloser {
    void operator()(stb_vorbis* decoder) const { stb_vorbis_close(decoder); }
};

// Everything stb_vorbis allocates, for the codebooks and its working buffers. The show's music needs 210 KB
// and six channels at 48 kHz 440 KB; a setup header that wants more than this is refused as out of memory
// before anything is decoded.
constexpr int arenaBytes = 4 << 20;

// Samples asked of the decoder per call; it returns whole frames up to this many samples.
constexpr int decodeChunk = 8192;

} // namespace

bool decodeWithStbVorbis(std::span<const std::uint8_t> pages, std::size_t sampleLimit,
                         std::vector<std::int16_t>& samples, std::string& error) {
    if (pages.size() > static_cast<std::size_t>(INT_MAX)) {
        error = "too large";
        return false;
    }
    std::vector<char> arena(arenaBytes);
    const stb_vorbis_alloc allocation{arena.data(), arenaBytes};
    int stbError = 0;
    const std::unique_ptr<stb_vorbis, DecoderCloser> decoder(
        stb_vorbis_open_memory(pages.data(), static_cast<int>(pages.size()), &stbError, &allocation));
    if (!decoder) {
        error = stbError == VORBIS_outofmem ? "its codebooks need more memory than music is given"
                                            : "not a Vorbis stream the decoder accepts (stb_vorbis error " +
                                                  std::to_string(stbError) + ")";
        return false;
    }
    // Asked for two channels, stb_vorbis mixes more down to stereo itself.
    const int channels = std::min(stb_vorbis_get_info(decoder.get()).channels, 2);
    for (;;) {
        const std::size_t done = samples.size();
        samples.resize(done + decodeChunk);
        const int frames = stb_vorbis_get_samples_short_interleaved(decoder.get(), channels,
                                                                    samples.data() + done, decodeChunk);
        samples.resize(done + static_cast<std::size_t>(std::max(frames, 0)) * channels);
        if (frames <= 0)
            return true;
        if (samples.size() > sampleLimit) {
            error = "too long: it decodes to more than its pages claimed, past the limits for music";
            return false;
        }
    }
}
