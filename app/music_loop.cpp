#include "app/music_loop.h"

#include "app/ogg_vorbis_check.h"
#include "app/stereo_mixdown.h"
#include "data/show_budget.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

namespace {

#ifdef _WIN32
constexpr VorbisDecoder platformDecoder = &decodeWithStbVorbis;
#else
constexpr VorbisDecoder platformDecoder = &decodeWithLibvorbis;
#endif

std::string megabytes(std::uint64_t bytes) {
    return std::to_string((bytes + (1 << 20) - 1) >> 20) + " MiB";
}

// The most samples the stream may decode to within `largestBytes`, or 0 with `error` when what its header and
// last page claim is already over the limits.
std::size_t sampleLimit(const OggVorbisStream& stream, std::size_t largestBytes, std::string& error) {
    if (stream.channels < 1 || stream.sampleRate < 1 || stream.sampleRate > highestMusicSampleRate) {
        error = "unplayable: " + std::to_string(stream.channels) + " channels at " +
                std::to_string(stream.sampleRate) + " Hz";
        return 0;
    }
    const auto channels = static_cast<std::uint64_t>(keptChannels(stream.channels));
    const std::uint64_t frames =
        std::min<std::uint64_t>(std::uint64_t{longestMusicSeconds} * stream.sampleRate,
                                largestBytes / sizeof(std::int16_t) / channels);
    if (stream.frames > frames) {
        const std::uint64_t seconds = stream.frames / stream.sampleRate;
        const std::uint64_t bytes =
            std::min<std::uint64_t>(stream.frames, std::uint64_t{1} << 60) * channels * 2;
        error = "too long: " + std::to_string(seconds) + " s at " + std::to_string(stream.sampleRate) +
                " Hz would take " + megabytes(bytes) + " decoded; music may last " +
                std::to_string(longestMusicSeconds / 60) + " minutes and take " +
                megabytes(largestMusicBytes);
        if (largestBytes < largestMusicBytes)
            error += ", and the show's memory budget has " + megabytes(largestBytes) + " left for it";
        return 0;
    }
    return static_cast<std::size_t>(frames * channels);
}

} // namespace

bool MusicLoop::decode(ShowBudget& budget, const std::uint8_t* data, std::size_t size, std::string& error) {
    constexpr auto memory = static_cast<std::size_t>(BudgetItem::memory);
    const std::uint64_t room = ShowBudget::limits[memory] - budget.used(BudgetItem::memory);
    if (!decodeWith(platformDecoder, data, size, error,
                    static_cast<std::size_t>(std::min<std::uint64_t>(room, largestMusicBytes))))
        return false;
    // Always fits: the decoder was held to what the budget had left.
    budget.take(BudgetNeed{}.add(BudgetItem::memory, samples_.size() * sizeof(std::int16_t)), "music.ogg");
    return true;
}

bool MusicLoop::decodeWith(VorbisDecoder decoder, const std::uint8_t* data, std::size_t size,
                           std::string& error, std::size_t largestBytes) {
    *this = MusicLoop{};
    if (!data || size == 0) {
        error = "the file is empty";
        return false;
    }
    OggVorbisStream stream;
    if (!checkOggVorbis({data, size}, stream, error))
        return false;
    const std::size_t limit = sampleLimit(stream, largestBytes, error);
    if (limit == 0)
        return false;
    std::vector<std::int16_t> samples;
    try {
        // The claimed length is only a hint for the reservation; decoding runs to the real end.
        samples.reserve(std::min<std::uint64_t>(stream.frames * keptChannels(stream.channels), limit));
        if (!decoder({data, stream.checkedSize}, limit, samples, error))
            return false;
    } catch (const std::bad_alloc&) {
        error = "not enough memory to decode it";
        return false;
    }
    if (samples.empty()) {
        error = "the stream decodes to no sound";
        return false;
    }
    samples_ = std::move(samples);
    channels_ = keptChannels(stream.channels);
    sampleRate_ = static_cast<int>(stream.sampleRate);
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
