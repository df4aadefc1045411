// Any bytes as the show's music: both decoders (libvorbisfile, the Linux one, and stb_vorbis, the Windows
// one) behind the page check either give a playable loop within the limits or refuse with a reason and keep
// nothing; neither ever ends the process. The same bytes with every page's checksum made right again reach
// the Linux decoder as a crafted file would.
#include "app/music_loop.h"
#include "fuzz/ogg_reseal.h"

#include <cstdlib>

namespace {

void checkDecode(VorbisDecoder decoder, const std::uint8_t* data, std::size_t size) {
    MusicLoop loop;
    std::string error;
    if (!loop.decodeWith(decoder, data, size, error)) {
        if (error.empty() || loop.frameCount() != 0 || loop.channels() != 0)
            std::abort();
        return;
    }
    if (loop.channels() < 1 || loop.channels() > 2 || loop.sampleRate() < 1 ||
        loop.sampleRate() > static_cast<int>(highestMusicSampleRate) || loop.frameCount() == 0 ||
        loop.samples().size() * sizeof(std::int16_t) > largestMusicBytes ||
        loop.frameCount() > std::size_t{longestMusicSeconds} * static_cast<std::size_t>(loop.sampleRate()))
        std::abort();
    std::int16_t out[64];
    loop.fill(out, 64);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    checkDecode(&decodeWithLibvorbis, data, size);
    checkDecode(&decodeWithStbVorbis, data, size);
    std::vector<std::uint8_t> resealed(data, data + size);
    resealOggPages(resealed);
    checkDecode(&decodeWithLibvorbis, resealed.data(), resealed.size());
    return 0;
}
