// Ogg Vorbis encoding through libvorbisenc, for the music in the data archive.
#pragma once

#include "tools/musicgen/ambient_loop.h"

#include <cstdint>
#include <string>
#include <vector>

// Encodes the signal at musicSampleRate with variable bit rate `quality` (-0.1 to 1). The stream decodes to
// exactly as many frames as the signal has: Vorbis adds no padding at either end, so a loop stays a loop.
// The stream's serial number is fixed, so the same signal always gives the same bytes. Returns false and
// sets `error` when the encoder refuses the settings.
bool encodeOggVorbis(const StereoSignal& signal, float quality, std::vector<std::uint8_t>& encoded,
                     std::string& error);
