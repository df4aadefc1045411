#include "tests/data/unrar/crosscheck_fixture.h"

#include <cmath>

namespace {

// Interleaved sound-like samples: a different slow wave per channel with a little noise, the kind of data the
// predictor is made for, so its coefficients move away from zero.
std::vector<std::uint8_t> interleavedWaves(int channels, std::size_t framesPerChannel, unsigned seed) {
    const std::vector<std::uint8_t> noise = pseudoRandomBytes(framesPerChannel * channels, seed);
    std::vector<std::uint8_t> samples;
    for (std::size_t frame = 0; frame < framesPerChannel; ++frame) {
        for (int channel = 0; channel < channels; ++channel) {
            const double wave = 100.0 * std::sin(static_cast<double>(frame) * (0.02 + 0.03 * channel));
            const int jitter = noise[samples.size()] % 7 - 3;
            samples.push_back(static_cast<std::uint8_t>(128 + static_cast<int>(wave) + jitter));
        }
    }
    return samples;
}

std::vector<MultimediaTable> multimediaTables(int channels, unsigned seed) {
    std::vector<MultimediaTable> tables;
    for (int channel = 0; channel < channels; ++channel)
        tables.push_back(everySymbolMultimediaTable(seed + static_cast<unsigned>(channel)));
    return tables;
}

TEST_F(CrossCheck, MultimediaWithOneToFourChannels) {
    ArchiveWriter archive;
    for (int channels = 1; channels <= 4; ++channels) {
        Rar20StreamBuilder builder;
        builder.multimediaTables(multimediaTables(channels, 100 * channels));
        // 40 times 32 bytes per channel: the coefficients adapt 40 times.
        builder.samples(interleavedWaves(channels, 32 * 40, channels));
        // A table read in multimedia mode, with lengths kept, in the middle of a frame.
        builder.sample(7);
        builder.tableSwitch();
        builder.multimediaTables(multimediaTables(channels, 100 * channels + 50), true);
        builder.samples(interleavedWaves(channels, 32 * 10, channels + 10));
        addPacked(archive, "sound\\" + std::to_string(channels) + "-channels.raw", builder);
    }
    expectEveryUnpackerAgrees(archive);
}

TEST_F(CrossCheck, SwitchesBetweenLzAndMultimediaInOneMember) {
    ArchiveWriter archive;
    Rar20StreamBuilder builder;
    builder.lzTables(everySymbolLzTables(200));
    builder.literals(pseudoRandomBytes(500, 201));
    builder.match(100, 499);

    builder.tableSwitch();
    builder.multimediaTables(multimediaTables(2, 210));
    builder.samples(interleavedWaves(2, 32 * 8, 211));
    builder.sample(1); // ends on channel 1 of 2

    // Lengths kept from the multimedia table; the matches copy the sample bytes.
    builder.tableSwitch();
    builder.lzTables(everySymbolLzTables(220), true);
    builder.match(200, 300);
    builder.repeatMatch(2, 10);
    builder.literals(pseudoRandomBytes(100, 221));

    // The channel index carries over a switch: three channels now, starting on channel 1.
    builder.tableSwitch();
    builder.multimediaTables(multimediaTables(3, 230));
    builder.samples(interleavedWaves(3, 32 * 6, 231));

    // Back to two channels while channel 2 is next: the index falls back to 0.
    builder.sample(200);
    builder.tableSwitch();
    builder.multimediaTables(multimediaTables(2, 240), true);
    builder.samples(interleavedWaves(2, 32 * 4, 241));

    builder.tableSwitch();
    builder.lzTables(everySymbolLzTables(250));
    builder.match(64, 1000);
    builder.lastMatch();

    addPacked(archive, "mixed.bin", builder);
    expectEveryUnpackerAgrees(archive);
}

} // namespace
