#include "app/win32/music_player.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>

namespace {

// The machine may or may not have a sound device; either way starting and stopping must return promptly and
// leave nothing playing, and with a device the player asks for tenth-second buffers of whole frames.
TEST(MusicPlayer, StartsAndStopsWithOrWithoutADevice) {
    std::atomic<int> calls{0};
    std::atomic<std::size_t> lastFrames{0};
    MusicPlayer player;
    player.start(
        [&](std::int16_t* samples, std::size_t frames) {
            for (std::size_t i = 0; i < frames * 2; ++i)
                samples[i] = 0;
            lastFrames = frames;
            ++calls;
        },
        2, 44100);
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!player.playing() && calls == 0 && std::chrono::steady_clock::now() < until)
        Sleep(10);
    const bool devicePlayed = player.playing();
    player.stop();
    EXPECT_FALSE(player.playing());
    if (devicePlayed) {
        EXPECT_GE(calls.load(), 1);
        EXPECT_EQ(lastFrames.load(), 4410u);
    } else {
        EXPECT_EQ(calls.load(), 0);
    }
    player.stop(); // a second stop is harmless
}

TEST(MusicPlayer, AStoppedPlayerCanStartAgain) {
    MusicPlayer player;
    for (int round = 0; round < 2; ++round) {
        player.start(
            [](std::int16_t* samples, std::size_t frames) { std::fill(samples, samples + frames, 0); }, 1,
            22050);
        player.stop();
        EXPECT_FALSE(player.playing());
    }
}

} // namespace
