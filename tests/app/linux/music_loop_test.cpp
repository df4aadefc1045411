// The music decoded whole and served round and round: the show's own file, the join, the volume, and files
// that are not music at all.
#include "app/music_loop.h"
#include "tests/app/linux/test_music.h"

#include <gtest/gtest.h>

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

struct ReferenceDecode {
    int channels = 0;
    long rate = 0;
    std::vector<std::int16_t> samples;
};

// The same file through libvorbisfile, a decoder independent of stb_vorbis.
ReferenceDecode decodeWithVorbisfile(const std::vector<std::uint8_t>& ogg) {
    ReferenceDecode reference;
    const std::string path = temporaryPath("reference.ogg");
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(ogg.data()), ogg.size());
    OggVorbis_File file;
    if (ov_fopen(path.c_str(), &file) == 0) {
        reference.channels = ov_info(&file, -1)->channels;
        reference.rate = ov_info(&file, -1)->rate;
        char buffer[8192];
        int section = 0;
        long bytes;
        while ((bytes = ov_read(&file, buffer, sizeof buffer, 0, 2, 1, &section)) > 0) {
            const auto* first = reinterpret_cast<const std::int16_t*>(buffer);
            reference.samples.insert(reference.samples.end(), first, first + bytes / 2);
        }
        ov_clear(&file);
    }
    std::filesystem::remove(path);
    return reference;
}

std::vector<std::int16_t> fillFrom(MusicLoop& loop, std::size_t count) {
    std::vector<std::int16_t> out(count, 12345);
    loop.fill(out.data(), out.size());
    return out;
}

MusicLoop decodedTone(double seconds, float amplitude) {
    const std::vector<std::uint8_t> ogg = encodeToneLoop(seconds, amplitude);
    MusicLoop loop;
    std::string error;
    EXPECT_TRUE(loop.decode(ogg.data(), ogg.size(), error)) << error;
    return loop;
}

} // namespace

TEST(MusicLoop, DecodesTheShowsMusicAsLibvorbisfileDoes) {
    const std::vector<std::uint8_t> ogg = showMusicFile();
    ASSERT_FALSE(ogg.empty()) << "music.ogg is not in " << HELIOX_SHOW_ARCHIVE;
    MusicLoop loop;
    std::string error;
    ASSERT_TRUE(loop.decode(ogg.data(), ogg.size(), error)) << error;

    const ReferenceDecode reference = decodeWithVorbisfile(ogg);
    ASSERT_EQ(loop.channels(), 2);
    EXPECT_EQ(loop.channels(), reference.channels);
    EXPECT_EQ(loop.sampleRate(), reference.rate);
    ASSERT_EQ(loop.samples().size(), reference.samples.size()) << "a different length breaks the loop's join";
    int largestDifference = 0;
    for (std::size_t i = 0; i < reference.samples.size(); ++i)
        largestDifference = std::max(largestDifference, std::abs(loop.samples()[i] - reference.samples[i]));
    // Two float decoders round a little differently; a real decoding fault is thousands off.
    EXPECT_LE(largestDifference, 4);
    EXPECT_GE(loop.frameCount(), 20u * 44100u) << "the show's loop is at least 20 seconds long";
}

TEST(MusicLoop, RefusesWhatIsNotOggVorbisAndKeepsNothing) {
    const std::vector<std::uint8_t> ogg = encodeToneLoop(0.2, 0.5f);
    ASSERT_FALSE(ogg.empty());
    std::vector<std::uint8_t> noise(4096);
    std::srand(7);
    for (auto& byte : noise)
        byte = static_cast<std::uint8_t>(std::rand());
    // The first page alone: a valid start, with no audio after it.
    const std::vector<std::uint8_t> headerOnly(ogg.begin(), ogg.begin() + 58);
    std::vector<std::uint8_t> notVorbis(ogg);
    notVorbis[29] ^= 0xff; // inside "vorbis" of the identification header

    const std::vector<std::vector<std::uint8_t>> broken = {{}, noise, headerOnly, notVorbis};
    for (std::size_t i = 0; i < broken.size(); ++i) {
        MusicLoop loop = decodedTone(0.1, 0.5f); // something loaded before, which a failure must drop
        std::string error;
        EXPECT_FALSE(loop.decode(broken[i].data(), broken[i].size(), error)) << "case " << i;
        EXPECT_FALSE(error.empty()) << "case " << i;
        EXPECT_EQ(loop.frameCount(), 0u) << "case " << i;
        EXPECT_EQ(fillFrom(loop, 64), std::vector<std::int16_t>(64, 0)) << "case " << i;
    }
    MusicLoop loop;
    std::string error;
    EXPECT_FALSE(loop.decode(nullptr, 100, error));
}

TEST(MusicLoop, ACutFilePlaysWhatItHolds) {
    const std::vector<std::uint8_t> ogg = encodeToneLoop(4.0, 0.5f);
    MusicLoop whole;
    std::string error;
    ASSERT_TRUE(whole.decode(ogg.data(), ogg.size(), error)) << error;
    // Past the headers (a few kilobytes of codebooks), in the middle of the audio pages.
    const std::vector<std::uint8_t> cut(ogg.begin(), ogg.begin() + ogg.size() * 3 / 4);
    MusicLoop part;
    ASSERT_TRUE(part.decode(cut.data(), cut.size(), error)) << error;
    ASSERT_GT(part.frameCount(), 0u);
    ASSERT_LT(part.frameCount(), whole.frameCount());
    // The last decoded block of the cut file lacks the next block it would overlap with; all before it is
    // the music as the whole file has it.
    const std::size_t lastBlock = 2 * 2048;
    ASSERT_GT(part.samples().size(), lastBlock);
    const auto end = part.samples().end() - lastBlock;
    EXPECT_EQ(std::mismatch(part.samples().begin(), end, whole.samples().begin()).first, end);
}

TEST(MusicLoop, TheSampleAfterTheLastIsTheFirst) {
    MusicLoop loop = decodedTone(0.3, 0.5f);
    const std::vector<std::int16_t>& music = loop.samples();
    ASSERT_EQ(loop.channels(), 2);
    ASSERT_EQ(loop.frameCount(), 13230u);

    // Across the join in one call.
    fillFrom(loop, music.size() - 6);
    const std::vector<std::int16_t> join = fillFrom(loop, 12);
    const std::vector<std::int16_t> expected = {
        music.end()[-6], music.end()[-5], music.end()[-4], music.end()[-3], music.end()[-2], music.end()[-1],
        music[0],        music[1],        music[2],        music[3],        music[4],        music[5]};
    EXPECT_EQ(join, expected);
    EXPECT_EQ(loop.position(), 6u);

    // Over several turns in uneven pieces, as an audio device asks: the music again and again, nothing
    // skipped or doubled where the pieces meet the join.
    MusicLoop fresh = decodedTone(0.3, 0.5f);
    std::vector<std::int16_t> played;
    const std::size_t pieces[] = {2, 4096, 26458, 1, 1, 8000, 30000, 17};
    std::size_t piece = 0;
    while (played.size() < 3 * music.size()) {
        std::vector<std::int16_t> next = fillFrom(fresh, pieces[piece++ % std::size(pieces)] * 2);
        played.insert(played.end(), next.begin(), next.end());
    }
    for (std::size_t i = 0; i < played.size(); ++i)
        ASSERT_EQ(played[i], music[i % music.size()]) << "sample " << i;
}

TEST(MusicLoop, VolumeScalesLinearlyAndNeverAmplifies) {
    // Nearly full scale, so anything louder than the recording would overflow 16 bits.
    MusicLoop loop = decodedTone(0.2, 0.97f);
    const std::vector<std::int16_t> music = loop.samples();
    ASSERT_GT(*std::max_element(music.begin(), music.end()), 30000);

    for (unsigned volume : {0u, 1u, 37u, 50u, 99u}) {
        loop.setVolume(volume);
        const std::vector<std::int16_t> out = fillFrom(loop, music.size());
        for (std::size_t i = 0; i < music.size(); ++i)
            ASSERT_NEAR(out[i], music[i] * (volume / 100.0), 1.0) << "volume " << volume << ", sample " << i;
    }
    for (unsigned volume : {100u, 101u, 4000000000u}) {
        loop.setVolume(volume);
        EXPECT_EQ(loop.volume(), 100u);
        EXPECT_EQ(fillFrom(loop, music.size()), music) << "volume " << volume;
    }
}
