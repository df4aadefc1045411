// Decoded Vorbis channels as the interleaved 16-bit samples the music loop keeps: mono and stereo as they
// are, more channels mixed down to stereo by where the Vorbis channel order puts each speaker.
#pragma once

#include <cstdint>
#include <vector>

// The channels a file of `channels` channels is kept with: itself up to two, else two.
int keptChannels(int channels);

// Appends `frames` frames of `channels` planar float channels (full scale ±1) to `out`, converted and
// clipped to 16 bits, mixed down to keptChannels(channels) channels.
void appendMixedDown(const float* const* planes, int channels, int frames, std::vector<std::int16_t>& out);
