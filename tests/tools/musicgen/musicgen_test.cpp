// The music as the saver will play it: the file musicgen writes, decoded by libvorbisfile and looped.
#include <gtest/gtest.h>

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int defaultSeconds = 90;

int musicgen(const std::string& arguments) {
    std::string command = std::string(MUSICGEN_PATH) + " " + arguments + " 2>/dev/null";
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

struct DecodedMusic {
    long rate = 0;
    int channels = 0;
    std::vector<float> left, right;
};

DecodedMusic decode(const fs::path& path) {
    DecodedMusic music;
    OggVorbis_File file;
    if (ov_fopen(path.c_str(), &file) != 0)
        return music;
    vorbis_info* info = ov_info(&file, -1);
    music.rate = info->rate;
    music.channels = info->channels;
    for (;;) {
        float** pcm;
        int section;
        long frames = ov_read_float(&file, &pcm, 4096, &section);
        if (frames <= 0)
            break;
        music.left.insert(music.left.end(), pcm[0], pcm[0] + frames);
        music.right.insert(music.right.end(), pcm[music.channels - 1], pcm[music.channels - 1] + frames);
    }
    ov_clear(&file);
    return music;
}

std::vector<std::uint8_t> readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

float percentile(std::vector<float> values, double fraction) {
    auto at = values.begin() + static_cast<std::ptrdiff_t>(fraction * (values.size() - 1));
    std::nth_element(values.begin(), at, values.end());
    return *at;
}

double decibels(double level) {
    return 20 * std::log10(level);
}

class Musicgen : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder = fs::temp_directory_path() / ("musicgen_test_" + std::to_string(getpid()));
        fs::create_directories(folder);
        ASSERT_EQ(musicgen("'" + (folder / "music.ogg").string() + "'"), 0);
        music = decode(folder / "music.ogg");
    }
    static void TearDownTestSuite() { fs::remove_all(folder); }

    static inline fs::path folder;
    static inline DecodedMusic music;
};

TEST_F(Musicgen, DecodesAsStereoAtCdRateForTheWholeLoop) {
    EXPECT_EQ(music.rate, 44100);
    EXPECT_EQ(music.channels, 2);
    // Vorbis must add no silence at either end, or the loop would stutter: within a few milliseconds.
    EXPECT_NEAR(static_cast<double>(music.left.size()), defaultSeconds * 44100.0, 0.003 * 44100);
}

TEST_F(Musicgen, EndJoinsStartWithoutAClick) {
    ASSERT_FALSE(music.left.empty());
    for (const auto* channel : {&music.left, &music.right}) {
        const std::vector<float>& x = *channel;
        std::vector<float> steps(x.size() - 1);
        for (std::size_t i = 0; i + 1 < x.size(); ++i)
            steps[i] = std::abs(x[i + 1] - x[i]);
        // The codec's rounding at the stream's two edges adds a little to the join; a click is many times
        // the largest steps of the music itself.
        EXPECT_LE(std::abs(x.front() - x.back()), percentile(steps, 0.999));
        // Nor does the level jump over a few milliseconds on either side.
        float headLevel = 0, tailLevel = 0;
        for (std::size_t i = 0; i < 128; ++i) {
            headLevel = std::max(headLevel, std::abs(x[i]));
            tailLevel = std::max(tailLevel, std::abs(x[x.size() - 1 - i]));
        }
        EXPECT_NEAR(headLevel, tailLevel, 0.5f * std::max(headLevel, tailLevel) + 0.01f);
    }
}

TEST_F(Musicgen, LevelIsAudibleSoftAndUnclipped) {
    ASSERT_FALSE(music.left.empty());
    float peak = 0;
    double squares = 0, stepSquares = 0;
    for (const auto* channel : {&music.left, &music.right})
        for (std::size_t i = 0; i < channel->size(); ++i) {
            float x = (*channel)[i];
            peak = std::max(peak, std::abs(x));
            squares += double(x) * x;
            float step = (*channel)[(i + 1) % channel->size()] - x;
            stepSquares += double(step) * step;
        }
    double rms = std::sqrt(squares / (2.0 * music.left.size()));
    EXPECT_GT(decibels(peak), -4.5);
    EXPECT_LT(decibels(peak), -1.5);
    EXPECT_GT(decibels(rms), -30.0);
    // The first difference grows with frequency (2 sin(pi f / rate) per unit of a tone), so its level next
    // to the signal's tells where the energy lies: below a few hundred hertz on average, nothing harsh.
    EXPECT_LT(std::sqrt(stepSquares / squares), 0.1);
}

TEST_F(Musicgen, SameArgumentsGiveTheSameFileAndLengthFollowsSeconds) {
    fs::path first = folder / "first.ogg", second = folder / "second.ogg";
    ASSERT_EQ(musicgen("--seconds 60 '" + first.string() + "'"), 0);
    ASSERT_EQ(musicgen("'" + second.string() + "' --seconds 60"), 0);
    EXPECT_EQ(readBytes(first), readBytes(second));
    EXPECT_NEAR(static_cast<double>(decode(first).left.size()), 60 * 44100.0, 0.003 * 44100);
}

TEST_F(Musicgen, RefusesBadArgumentsAndUnwritablePaths) {
    fs::path target = folder / "bad.ogg";
    EXPECT_NE(musicgen(""), 0);
    EXPECT_NE(musicgen("--seconds 5 '" + target.string() + "'"), 0);
    EXPECT_NE(musicgen("--seconds 90x '" + target.string() + "'"), 0);
    EXPECT_NE(musicgen("'" + target.string() + "' --seconds"), 0);
    EXPECT_NE(musicgen("'" + target.string() + "' extra.ogg"), 0);
    EXPECT_FALSE(fs::exists(target));
    EXPECT_NE(musicgen("--seconds 20 '" + (folder / "no" / "such" / "folder.ogg").string() + "'"), 0);
}

} // namespace
