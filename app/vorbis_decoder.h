// The Vorbis decoders the music loop can use. Each is handed only pages that checkOggVorbis passed, and
// writes interleaved 16-bit stereo or mono: files with more than two channels are mixed down to stereo.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// Decodes `pages` into `samples` (min(channels, 2) per frame). False, with `error` saying why, when the
// decoder refuses the stream, or when it holds more than `sampleLimit` samples, whatever its pages claimed.
using VorbisDecoder = bool (*)(std::span<const std::uint8_t> pages, std::size_t sampleLimit,
                               std::vector<std::int16_t>& samples, std::string& error);

// libvorbisfile, maintained and fuzzed upstream: the decoder of the Linux build.
bool decodeWithLibvorbis(std::span<const std::uint8_t> pages, std::size_t sampleLimit,
                         std::vector<std::int16_t>& samples, std::string& error);

// stb_vorbis, compiled into the Windows build, which has no libvorbis. Everything it allocates comes out of
// one fixed arena, so a hostile setup header cannot make it ask the system for gigabytes.
bool decodeWithStbVorbis(std::span<const std::uint8_t> pages, std::size_t sampleLimit,
                         std::vector<std::int16_t>& samples, std::string& error);
