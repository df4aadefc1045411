#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// Files like those the show packs into data.sdd, made here so the packing benchmark needs no content build:
// meshes in the .dat format, object scripts, TGA textures, 16-bit stereo PCM sound, 8-bit grey images, and
// a text corpus read from the repository's sources and the system's licence texts.
struct CorpusFile {
    std::string name;
    std::vector<std::uint8_t> bytes;
};

struct CorpusClass {
    std::string name;
    std::vector<CorpusFile> files;
};

std::vector<CorpusFile> meshFiles();
std::vector<CorpusFile> scriptFiles();
std::vector<CorpusFile> tgaFiles();
// Synthesised music: chords with envelopes and a little noise, 44.1 kHz, as a WAV file.
CorpusFile pcmSound(double seconds);
// Raw 8-bit grey pictures: a terrain-like height field and a soft cloud layer.
std::vector<CorpusFile> greyImages();
std::vector<CorpusFile> textCorpus(const std::filesystem::path& sourceFolder);
