// The Linux music player through SDL2: what reaches the device (SDL's disk driver writes it to a file), and
// the ways it declines to play, each with one line on standard error and the show going on.
#include "app/linux/music_player.h"
#include "data/resource_file.h"
#include "tests/app/linux/test_music.h"
#include "tools/sdd/archive_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

namespace fs = std::filesystem;

namespace {

std::size_t fileSize(const std::string& path) {
    std::error_code error;
    const auto size = fs::file_size(path, error);
    return error ? 0 : static_cast<std::size_t>(size);
}

// The samples the file held when it was looked at: a device still playing goes on writing, faster than a
// reader that waited for the end could keep up with.
std::vector<std::int16_t> readSamples(const std::string& path) {
    std::vector<std::int16_t> samples(fileSize(path) / 2);
    std::ifstream in(path, std::ios::binary);
    in.read(reinterpret_cast<char*>(samples.data()), static_cast<std::streamsize>(samples.size() * 2));
    samples.resize(static_cast<std::size_t>(in.gcount()) / 2);
    return samples;
}

std::size_t countLines(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

class MusicPlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        // SDL's disk driver writes what it is given to a file, as fast as it can with no delay.
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
        setenv("SDL_DISKAUDIODELAY", "0", 1);
    }
    void TearDown() override {
        fs::remove(output);
        fs::remove(archive);
    }

    // Plays until `enough` holds for what the device was given, then stops.
    bool playUntil(std::unique_ptr<MusicPlayer>& player, const std::function<bool()>& enough) {
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!enough()) {
            if (std::chrono::steady_clock::now() > giveUp)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        player.reset();
        return true;
    }
    // Plays until the device has been given `samples` samples, then stops.
    bool playUntil(std::unique_ptr<MusicPlayer>& player, std::size_t samples) {
        return playUntil(player, [&] { return fileSize(output) >= samples * 2; });
    }

    void writeArchive(const std::string& member, const std::vector<std::uint8_t>& bytes) {
        ArchiveWriter writer;
        ASSERT_TRUE(writer.addStored(member, bytes));
        ASSERT_TRUE(writer.save(archive));
        show = ShowData(archive);
    }

    // The show the music comes from: the project's own, unless a test writes another.
    ShowData show{HELIOX_SHOW_ARCHIVE};
    const std::string output = temporaryPath("device.raw");
    const std::string archive = temporaryPath("data.sdd");
};

// Where `music` starts in `written`: the device plays silence while it is still paused at the start.
std::size_t startOf(const std::vector<std::int16_t>& written, const std::vector<std::int16_t>& music,
                    double volume) {
    const std::size_t window = 4096;
    for (std::size_t at = 0; at + window <= written.size(); ++at) {
        bool matches = true;
        for (std::size_t i = 0; i < window && matches; ++i)
            matches = std::abs(written[at + i] - music[i] * volume) <= 1.0;
        if (matches)
            return at;
    }
    return written.size();
}

} // namespace

TEST_F(MusicPlayerTest, TheDeviceGetsTheShowsMusicAtTheVolumeAndItLoops) {
    MusicLoop reference;
    std::string error;
    const std::vector<std::uint8_t> ogg = showMusicFile();
    ASSERT_TRUE(reference.decode(show.budget, ogg.data(), ogg.size(), error)) << error;
    const std::vector<std::int16_t>& music = reference.samples();

    testing::internal::CaptureStderr();
    std::unique_ptr<MusicPlayer> player = startShowMusic(show, 63);
    const std::string messages = testing::internal::GetCapturedStderr();
    ASSERT_NE(player, nullptr) << messages;
    // SDL itself warns that the disk driver is in use; the player has nothing to say.
    EXPECT_EQ(messages.find("heliox:"), std::string::npos) << messages;
    // The whole music and a second of it again after the join. The device plays silence for as long as it is
    // paused at the start, which is as long as the machine's load keeps the player from starting it (the disk
    // driver writes far faster than real time): so the music is looked for wherever it begins, once, and then
    // only the file's size is watched.
    const std::size_t second = 44100 * 2;
    std::size_t start = 0;
    bool begun = false;
    ASSERT_TRUE(playUntil(player, [&] {
        if (!begun) {
            if (fileSize(output) < (music.size() + 4 * second) * 2)
                return false;
            const std::vector<std::int16_t> beginning = readSamples(output);
            start = startOf(beginning, music, 0.63);
            begun = start < beginning.size();
        }
        return begun && fileSize(output) >= (start + music.size() + second) * 2;
    })) << "the music never began";
    const std::vector<std::int16_t> written = readSamples(output);
    ASSERT_EQ(start % 2, 0u) << "left and right swapped";
    EXPECT_TRUE(std::all_of(written.begin(), written.begin() + start, [](std::int16_t s) { return s == 0; }));
    const std::size_t checked = music.size() + second;
    for (std::size_t i = 0; i < checked; ++i)
        ASSERT_NEAR(written[start + i], music[i % music.size()] * 0.63, 1.0) << "sample " << i;
}

TEST_F(MusicPlayerTest, StopsWhenDestroyedAndCanStartAgain) {
    std::unique_ptr<MusicPlayer> player = startShowMusic(show, 100);
    ASSERT_NE(player, nullptr);
    ASSERT_TRUE(playUntil(player, 44100 * 2));
    const std::size_t stoppedAt = fileSize(output);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(fileSize(output), stoppedAt) << "the device still plays after the player is gone";

    // The audio subsystem was closed, not left half open: a second run's music starts as the first did.
    fs::remove(output);
    player = startShowMusic(show, 100);
    ASSERT_NE(player, nullptr);
    EXPECT_TRUE(playUntil(player, 44100 * 2));
}

TEST_F(MusicPlayerTest, NoSoundDeviceIsOneLineAndNoPlayer) {
    setenv("SDL_AUDIODRIVER", "nonexistent", 1);
    testing::internal::CaptureStderr();
    std::unique_ptr<MusicPlayer> player = startShowMusic(show, 100);
    const std::string messages = testing::internal::GetCapturedStderr();
    EXPECT_EQ(player, nullptr);
    EXPECT_EQ(countLines(messages), 1u) << messages;
    EXPECT_NE(messages.find("sound device"), std::string::npos) << messages;
}

TEST_F(MusicPlayerTest, MissingOrBrokenMusicIsOneLineAndNoPlayer) {
    // The dummy driver would play anything it got, so a null result can only come from the file.
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    const auto expectRefusal = [this](const std::string& why, const std::string& says = "music.ogg") {
        testing::internal::CaptureStderr();
        std::unique_ptr<MusicPlayer> player = startShowMusic(show, 100);
        const std::string messages = testing::internal::GetCapturedStderr();
        EXPECT_EQ(player, nullptr) << why;
        EXPECT_EQ(countLines(messages), 1u) << why << ": " << messages;
        EXPECT_TRUE(messages.starts_with("heliox: no music: \"music.ogg\"")) << why << ": " << messages;
        EXPECT_NE(messages.find(says), std::string::npos) << why << ": " << messages;
    };

    show = ShowData(temporaryPath("no-such-archive.sdd"));
    expectRefusal("no archive");
    writeArchive("texture.txt", {'E', 'N', 'D', '_', 'T', 'E', 'X', 'T', '\n'});
    expectRefusal("no music.ogg in the archive");
    writeArchive("music.ogg", std::vector<std::uint8_t>(5000, 0x4f));
    expectRefusal("music.ogg is not Ogg Vorbis");
    // One changed byte of one second of 192 kHz silence used to crash the decoder inside the show.
    std::vector<std::uint8_t> damaged = musicSeed("silence-1s-192k.ogg");
    damaged[167] ^= 0x20;
    writeArchive("music.ogg", damaged);
    expectRefusal("one changed byte", "damaged: page 2 fails its checksum");

    // And the same archive with real music in it plays, so the refusals above were about the file.
    writeArchive("music.ogg", encodeToneLoop(0.5, 0.5f));
    EXPECT_NE(startShowMusic(show, 100), nullptr);
}
