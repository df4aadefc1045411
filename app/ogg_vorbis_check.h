// What an Ogg Vorbis file says about itself, read and checked page by page before any decoder sees a byte of
// it. Every page's checksum is verified here, so one changed byte stops at this gate, and the length and
// sample rate are known before any sample is decoded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

struct OggVorbisStream {
    int channels = 0;
    unsigned sampleRate = 0;
    // The last complete page's end position in frames: the stream's length if the file is whole. Only a
    // claim: decoding must still stop at its own limit.
    std::uint64_t frames = 0;
    // The complete pages. A file cut inside its last page ends here; the decoder is given only these bytes.
    std::size_t checkedSize = 0;
};

// Walks every page from the first byte: the capture pattern, version, one logical stream numbered without
// gaps, the page checksum, and a Vorbis identification header on the first page. Fails with `error`
// saying why in a few words ("damaged: page 3 fails its checksum"); `stream` is then meaningless.
bool checkOggVorbis(std::span<const std::uint8_t> file, OggVorbisStream& stream, std::string& error);
