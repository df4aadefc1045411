#include "tests/app/linux/test_music.h"

#include "data/archive_reader.h"
#include "tools/musicgen/ogg_vorbis_encoder.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numbers>

#include <unistd.h>

std::vector<std::uint8_t> encodeToneLoop(double seconds, float amplitude) {
    const auto frames = static_cast<std::size_t>(std::lround(seconds * musicSampleRate));
    StereoSignal signal;
    for (std::size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / musicSampleRate;
        signal.left.push_back(amplitude * static_cast<float>(std::sin(2 * std::numbers::pi * 441 * t)));
        signal.right.push_back(amplitude * static_cast<float>(std::sin(2 * std::numbers::pi * 882 * t)));
    }
    std::vector<std::uint8_t> encoded;
    std::string error;
    if (!encodeOggVorbis(signal, 0.4f, encoded, error))
        return {};
    return encoded;
}

std::vector<std::uint8_t> musicSeed(const std::string& name) {
    std::ifstream in(std::string(HELIOX_SOURCE_DIR) + "/fuzz/seeds/music/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<std::uint8_t> showMusicFile() {
    std::vector<std::uint8_t> bytes;
    ExtractMember("music.ogg", HELIOX_SHOW_ARCHIVE, bytes);
    return bytes;
}

std::string temporaryPath(const std::string& name) {
    return (std::filesystem::temp_directory_path() /
            ("heliox-music-" + std::to_string(getpid()) + "-" + name))
        .string();
}
