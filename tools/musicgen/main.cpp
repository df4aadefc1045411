// musicgen OUTPUT.ogg [--seconds N]: synthesises the show's looping music and writes it as Ogg Vorbis.
#include "tools/musicgen/ambient_loop.h"
#include "tools/musicgen/ogg_vorbis_encoder.h"

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace {

constexpr int defaultSeconds = 90;
constexpr int minSeconds = 20;  // room for six chords with their crossfades
constexpr int maxSeconds = 600; // keeps the archive and the build small
// About 0.85 MB for the 90-second loop: the soft pads need few bits, and the bells keep their clean attack.
constexpr float vorbisQuality = 0.6f;

int usage(const char* message) {
    std::fprintf(stderr,
                 "musicgen: %s\nusage: musicgen OUTPUT.ogg [--seconds N]  (N from %d to %d, default %d)\n",
                 message, minSeconds, maxSeconds, defaultSeconds);
    return 2;
}

bool parseSeconds(std::string_view text, int& seconds) {
    auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    return status == std::errc() && end == text.data() + text.size() && seconds >= minSeconds &&
           seconds <= maxSeconds;
}

// Writes beside the target and renames, so an interrupted run never leaves half a file in its place.
bool writeFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::filesystem::path partial = path;
    partial += ".partial";
    {
        std::ofstream out(partial, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out.flush()) {
            out.close();
            std::error_code ignored;
            std::filesystem::remove(partial, ignored);
            return false;
        }
    }
    std::error_code renamed;
    std::filesystem::rename(partial, path, renamed);
    return !renamed;
}

} // namespace

int main(int argc, char** argv) {
    std::string output;
    int seconds = defaultSeconds;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "--seconds") {
            if (i + 1 == argc || !parseSeconds(argv[++i], seconds))
                return usage("--seconds needs a whole number of seconds in range");
        } else if (arg.starts_with("-") || !output.empty()) {
            return usage(("unexpected argument '" + std::string(arg) + "'").c_str());
        } else {
            output = arg;
        }
    }
    if (output.empty())
        return usage("no output file given");

    StereoSignal music = synthesizeAmbientLoop(seconds);
    std::vector<std::uint8_t> encoded;
    std::string error;
    if (!encodeOggVorbis(music, vorbisQuality, encoded, error)) {
        std::fprintf(stderr, "musicgen: %s\n", error.c_str());
        return 1;
    }
    if (!writeFile(output, encoded)) {
        std::fprintf(stderr, "musicgen: cannot write '%s'\n", output.c_str());
        return 1;
    }
    return 0;
}
