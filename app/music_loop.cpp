#include "app/music_loop.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>

// The decoder is the compiled library, not this file: only the declarations are wanted here.
#define STB_VORBIS_HEADER_ONLY
#include <stb_vorbis.h>

namespace {

struct DecoderCloser {
    void operator()(stb_vorbis* decoder) const { stb_vorbis_close(decoder); }
};
using Decoder = std::unique_ptr<stb_vorbis, DecoderCloser>;

// Samples asked of the decoder per call; it returns whole frames up to this many samples.
constexpr int decodeChunk = 8192;

// The sample rates audio hardware plays; beyond them the header is damaged, and the length limit computed
// from the rate would mean nothing.
constexpr unsigned highestSampleRate = 192000;

} // namespace

bool MusicLoop::decode(const std::uint8_t* data, std::size_t size, std::string& error) {
    *this = MusicLoop{};
    if (!data || size == 0) {
        error = "the file is empty";
        return false;
    }
    if (size > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
        error = "the file is too large";
        return false;
    }
    int stbError = 0;
    Decoder decoder(stb_vorbis_open_memory(data, static_cast<int>(size), &stbError, nullptr));
    if (!decoder) {
        error = "not an Ogg Vorbis file (decoder error " + std::to_string(stbError) + ")";
        return false;
    }
    const stb_vorbis_info info = stb_vorbis_get_info(decoder.get());
    if (info.channels < 1 || info.sample_rate < 1 || info.sample_rate > highestSampleRate) {
        error = "unplayable stream: " + std::to_string(info.channels) + " channels at " +
                std::to_string(info.sample_rate) + " Hz";
        return false;
    }
    const int channels = std::min(info.channels, 2);
    const std::size_t sampleLimit =
        static_cast<std::size_t>(longestMusicSeconds * info.sample_rate) * static_cast<std::size_t>(channels);

    // The length from the last page is only a hint for the reservation; decoding runs to the real end.
    const std::size_t expected =
        static_cast<std::size_t>(stb_vorbis_stream_length_in_samples(decoder.get())) * channels;
    std::vector<std::int16_t> samples;
    samples.reserve(std::min(expected, sampleLimit) + decodeChunk);
    for (;;) {
        const std::size_t done = samples.size();
        samples.resize(done + decodeChunk);
        const int frames = stb_vorbis_get_samples_short_interleaved(decoder.get(), channels,
                                                                    samples.data() + done, decodeChunk);
        samples.resize(done + static_cast<std::size_t>(std::max(frames, 0)) * channels);
        if (frames <= 0)
            break;
        if (samples.size() > sampleLimit) {
            error = "longer than " + std::to_string(static_cast<int>(longestMusicSeconds / 60)) +
                    " minutes, too long to keep in memory";
            return false;
        }
    }
    if (samples.empty()) {
        error = "the stream decodes to no sound";
        return false;
    }
    samples_ = std::move(samples);
    channels_ = channels;
    sampleRate_ = info.sample_rate;
    return true;
}

void MusicLoop::setVolume(unsigned volume) {
    volume_ = std::min(volume, 100u);
}

void MusicLoop::fill(std::int16_t* out, std::size_t count) {
    if (samples_.empty()) {
        std::memset(out, 0, count * sizeof *out);
        return;
    }
    while (count > 0) {
        const std::size_t run = std::min(count, samples_.size() - position_);
        const std::int16_t* from = samples_.data() + position_;
        if (volume_ == 100) {
            std::memcpy(out, from, run * sizeof *out);
        } else {
            // Never louder than the recording, so the product always fits 16 bits.
            for (std::size_t i = 0; i < run; ++i)
                out[i] = static_cast<std::int16_t>(from[i] * static_cast<int>(volume_) / 100);
        }
        out += run;
        count -= run;
        position_ = (position_ + run) % samples_.size();
    }
}
