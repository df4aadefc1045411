// Music for the music tests: a short loop encoded here, and the show's own file from the built archive.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// An Ogg Vorbis file of `seconds` of two sines (441 Hz left, 882 Hz right) at `amplitude` (0 to 1). Both
// repeat a whole number of times in any multiple of 0.01 s, so the file loops without a seam.
std::vector<std::uint8_t> encodeToneLoop(double seconds, float amplitude);

// One of the small files the music fuzzer starts from (fuzz/seeds/music): several rates and channel counts.
std::vector<std::uint8_t> musicSeed(const std::string& name);

// "music.ogg" out of the data.sdd the build made; empty when it cannot be read.
std::vector<std::uint8_t> showMusicFile();

// A fresh path in the temporary folder, unique to this process and `name`.
std::string temporaryPath(const std::string& name);
