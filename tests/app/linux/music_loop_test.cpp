// The music decoded whole and served round and round: the show's own file, the join, the volume, and files
// that are not music at all.
#include "app/music_loop.h"
#include "data/show_budget.h"
#include "fuzz/ogg_reseal.h"
#include "tests/app/linux/test_music.h"

#include <gtest/gtest.h>

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>

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

const char* const musicSeeds[] = {"mono-8k.ogg",          "stereo-22k.ogg",
                                  "stereo-44k.ogg",       "three-channels-96k.ogg",
                                  "six-channels-48k.ogg", "silence-1s-192k.ogg"};

struct NamedDecoder {
    const char* name;
    VorbisDecoder decode;
};
// The Linux decoder and the Windows one, which the Linux build links for this test.
const NamedDecoder decoders[] = {{"libvorbis", &decodeWithLibvorbis}, {"stb_vorbis", &decodeWithStbVorbis}};

// Where each whole page starts.
std::vector<std::size_t> pageStarts(const std::vector<std::uint8_t>& ogg) {
    std::vector<std::size_t> starts;
    for (std::size_t at = 0; at + 27 <= ogg.size();) {
        starts.push_back(at);
        std::size_t size = 27 + ogg[at + 26];
        for (std::size_t i = 0; i < ogg[at + 26]; ++i)
            size += ogg[at + 27 + i];
        at += size;
    }
    return starts;
}

void putLittleEndian(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint64_t value, int size) {
    for (int i = 0; i < size; ++i)
        bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::vector<std::int16_t> fillFrom(MusicLoop& loop, std::size_t count) {
    std::vector<std::int16_t> out(count, 12345);
    loop.fill(out.data(), out.size());
    return out;
}

MusicLoop decodedTone(double seconds, float amplitude) {
    ShowBudget budget;
    const std::vector<std::uint8_t> ogg = encodeToneLoop(seconds, amplitude);
    MusicLoop loop;
    std::string error;
    EXPECT_TRUE(loop.decode(budget, ogg.data(), ogg.size(), error)) << error;
    return loop;
}

} // namespace

TEST(MusicLoop, DecodesTheShowsMusicAsLibvorbisfileDoes) {
    ShowBudget budget;
    const std::vector<std::uint8_t> ogg = showMusicFile();
    ASSERT_FALSE(ogg.empty()) << "music.ogg is not in " << HELIOX_SHOW_ARCHIVE;
    MusicLoop loop;
    std::string error;
    ASSERT_TRUE(loop.decode(budget, ogg.data(), ogg.size(), error)) << error;

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
    ShowBudget budget;
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
        EXPECT_FALSE(loop.decode(budget, broken[i].data(), broken[i].size(), error)) << "case " << i;
        EXPECT_FALSE(error.empty()) << "case " << i;
        EXPECT_EQ(loop.frameCount(), 0u) << "case " << i;
        EXPECT_EQ(fillFrom(loop, 64), std::vector<std::int16_t>(64, 0)) << "case " << i;
    }
    MusicLoop loop;
    std::string error;
    EXPECT_FALSE(loop.decode(budget, nullptr, 100, error));
}

TEST(MusicLoop, ACutFilePlaysWhatItHolds) {
    ShowBudget budget;
    const std::vector<std::uint8_t> ogg = encodeToneLoop(4.0, 0.5f);
    MusicLoop whole;
    std::string error;
    ASSERT_TRUE(whole.decode(budget, ogg.data(), ogg.size(), error)) << error;
    // Past the headers (a few kilobytes of codebooks), in the middle of the audio pages.
    const std::vector<std::uint8_t> cut(ogg.begin(), ogg.begin() + ogg.size() * 3 / 4);
    MusicLoop part;
    ASSERT_TRUE(part.decode(budget, cut.data(), cut.size(), error)) << error;
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

TEST(MusicLoop, BothDecodersPlayEveryRateAndChannelCountAsLibvorbisfileCountsIt) {
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> files = {
        {"the show's music", showMusicFile()}};
    for (const char* seed : musicSeeds)
        files.emplace_back(seed, musicSeed(seed));
    for (const auto& [seed, ogg] : files) {
        const ReferenceDecode reference = decodeWithVorbisfile(ogg);
        ASSERT_GT(reference.channels, 0) << seed;
        for (const NamedDecoder& decoder : decoders) {
            MusicLoop loop;
            std::string error;
            ASSERT_TRUE(loop.decodeWith(decoder.decode, ogg.data(), ogg.size(), error))
                << seed << " by " << decoder.name << ": " << error;
            EXPECT_EQ(loop.channels(), std::min(reference.channels, 2)) << seed << " by " << decoder.name;
            EXPECT_EQ(loop.sampleRate(), reference.rate) << seed << " by " << decoder.name;
            EXPECT_EQ(loop.frameCount(), reference.samples.size() / reference.channels)
                << seed << " by " << decoder.name;
        }
    }
}

TEST(MusicLoop, AnyChangedByteIsRefusedAsDamagedBeforeEitherDecoderSeesIt) {
    ShowBudget budget;
    // One second of 192 kHz silence: one changed byte of it crashed the decoder the saver had before.
    const std::vector<std::uint8_t> ogg = musicSeed("silence-1s-192k.ogg");
    const std::size_t lastPage = pageStarts(ogg).back();
    MusicLoop whole;
    std::string error;
    ASSERT_TRUE(whole.decode(budget, ogg.data(), ogg.size(), error)) << error;
    for (std::size_t at = 0; at < ogg.size(); ++at) {
        std::vector<std::uint8_t> changed(ogg);
        changed[at] ^= at % 2 ? 0x01 : 0xa4;
        for (const NamedDecoder& decoder : decoders) {
            MusicLoop loop;
            error.clear();
            if (loop.decodeWith(decoder.decode, changed.data(), changed.size(), error)) {
                // A longer last page in its header reads as a file cut inside it: the pages before play.
                ASSERT_GE(at, lastPage) << "byte " << at << " by " << decoder.name;
                ASSERT_LT(loop.frameCount(), whole.frameCount()) << "byte " << at << " by " << decoder.name;
                continue;
            }
            ASSERT_EQ(loop.frameCount(), 0u);
            ASSERT_TRUE(at < 4 ? error == "not an Ogg file" : error.starts_with("damaged: page"))
                << "byte " << at << " by " << decoder.name << ": " << error;
        }
    }
}

namespace {

bool decoderCalled = false;
bool decoderThatMustNotRun(std::span<const std::uint8_t>, std::size_t, std::vector<std::int16_t>&,
                           std::string&) {
    decoderCalled = true;
    return false;
}

} // namespace

TEST(MusicLoop, CraftedHeadersAndWhatIsOverTheLimitsAreRefusedBeforeDecoding) {
    const std::vector<std::uint8_t> ogg = musicSeed("mono-8k.ogg");
    const std::size_t lastPage = pageStarts(ogg).back();
    // The identification header's rate and the last page's end position, with the checksums made right: a
    // crafted file, not a damaged one.
    const auto claiming = [&](std::uint32_t rate, std::uint64_t frames) {
        std::vector<std::uint8_t> crafted(ogg);
        putLittleEndian(crafted, 28 + 12, rate, 4);
        putLittleEndian(crafted, lastPage + 6, frames, 8);
        resealOggPages(crafted);
        return crafted;
    };
    // A vendor name longer than its packet: stb_vorbis wrote past its arena for it.
    std::vector<std::uint8_t> longComment(ogg);
    putLittleEndian(longComment, 58 + 27 + ogg[58 + 26] + 7, 0xffffffff, 4);
    resealOggPages(longComment);
    std::vector<std::uint8_t> chained(ogg);
    chained.insert(chained.end(), ogg.begin(), ogg.end());
    const struct {
        std::vector<std::uint8_t> file;
        const char* says;
    } refused[] = {
        {claiming(192000, 599ull * 192000), "too long: 599 s at 192000 Hz would take 220 MiB decoded"},
        {claiming(8000, 601ull * 8000), "too long: 601 s at 8000 Hz"},
        {claiming(384000, 8000), "unplayable: 1 channels at 384000 Hz"},
        {chained, "holds more than one stream"},
        {longComment, "damaged: its comment header does not fit in its packet"},
    };
    for (const auto& file : refused) {
        MusicLoop loop;
        std::string error;
        decoderCalled = false;
        EXPECT_FALSE(loop.decodeWith(&decoderThatMustNotRun, file.file.data(), file.file.size(), error));
        EXPECT_FALSE(decoderCalled) << file.says;
        EXPECT_TRUE(error.starts_with(file.says)) << error;
    }

    // Within the limits the same file decodes, and running out of memory while it does is a refusal too.
    // What it keeps counts against the show's memory, and music that the rest of the show's budget cannot
    // hold is refused before decoding as well.
    ShowBudget budget;
    const std::vector<std::uint8_t> ninetySeconds = claiming(192000, 90ull * 192000);
    MusicLoop loop;
    std::string error;
    EXPECT_TRUE(loop.decode(budget, ninetySeconds.data(), ninetySeconds.size(), error)) << error;
    const std::uint64_t kept = loop.samples().size() * sizeof(std::int16_t);
    EXPECT_EQ(budget.used(BudgetItem::memory), kept);
    const std::uint64_t allButTenMiB =
        ShowBudget::limits[static_cast<std::size_t>(BudgetItem::memory)] - kept - (std::uint64_t{10} << 20);
    ASSERT_TRUE(budget.take(BudgetNeed{}.add(BudgetItem::memory, allButTenMiB), "pictures"));
    EXPECT_FALSE(loop.decode(budget, ninetySeconds.data(), ninetySeconds.size(), error));
    EXPECT_TRUE(error.ends_with("the show's memory budget has 10 MiB left for it")) << error;
    EXPECT_EQ(loop.frameCount(), 0u);
    const VorbisDecoder outOfMemory = [](std::span<const std::uint8_t>, std::size_t,
                                         std::vector<std::int16_t>&,
                                         std::string&) -> bool { throw std::bad_alloc(); };
    EXPECT_FALSE(loop.decodeWith(outOfMemory, ninetySeconds.data(), ninetySeconds.size(), error));
    EXPECT_EQ(error, "not enough memory to decode it");
    EXPECT_EQ(loop.frameCount(), 0u);
}
