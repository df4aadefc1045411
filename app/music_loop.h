// The show's music, decoded once and played round and round: the part of music playback that every platform
// shares. The platform's audio output (SDL2 on Linux, waveOut on Windows) only asks it for the next samples.
#pragma once

#include "app/vorbis_decoder.h"
#include "data/show_budget.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The whole loop is held in memory as 16-bit samples, so a small damaged or hostile file must not make the
// saver allocate gigabytes: music longer than ten minutes, faster than 192 kHz, or larger than 128 MiB
// decoded (ten minutes of 48 kHz stereo is 110 MiB) is refused before any of it is decoded.
constexpr unsigned longestMusicSeconds = 600;
constexpr unsigned highestMusicSampleRate = 192000;
constexpr std::size_t largestMusicBytes = std::size_t{128} << 20;

class MusicLoop {
public:
    // Decodes a whole Ogg Vorbis file held in memory into interleaved 16-bit samples with the platform's
    // decoder. Files with more than two channels are mixed down to stereo. False, with `error` saying why in
    // a few words and nothing loaded, when the data is not Ogg Vorbis, is damaged (any page failing its
    // checksum), is over the limits above, decodes to nothing, or runs out of memory. The samples are kept
    // with the show's pictures and meshes, so they count against the show's memory `budget`: music is also
    // refused when it would take more than the budget has left.
    bool decode(ShowBudget& budget, const std::uint8_t* data, std::size_t size, std::string& error);
    // The same with a decoder named and no budget but `largestBytes` of samples: the fuzzing build drives the
    // Windows decoder on Linux.
    bool decodeWith(VorbisDecoder decoder, const std::uint8_t* data, std::size_t size, std::string& error,
                    std::size_t largestBytes = largestMusicBytes);

    // 0 is silence, 100 the music as recorded; larger values count as 100 (the loudest the file allows).
    // The scale is linear in amplitude. Set it before playback starts: it is not guarded for a change while
    // another thread is inside fill.
    void setVolume(unsigned volume);
    unsigned volume() const { return volume_; }

    // Writes the next `count` interleaved samples at the volume into `out`, going on from the first sample
    // after the last one, and advances the play position. `count` should be a whole number of frames
    // (a multiple of channels()). With nothing decoded it writes silence.
    void fill(std::int16_t* out, std::size_t count);

    int channels() const { return channels_; }
    int sampleRate() const { return sampleRate_; }
    std::size_t frameCount() const { return channels_ > 0 ? samples_.size() / channels_ : 0; }
    // The music as decoded, before the volume.
    const std::vector<std::int16_t>& samples() const { return samples_; }
    // The next sample fill will write, as an index into samples().
    std::size_t position() const { return position_; }

private:
    std::vector<std::int16_t> samples_;
    int channels_ = 0;
    int sampleRate_ = 0;
    unsigned volume_ = 100;
    std::size_t position_ = 0;
};
