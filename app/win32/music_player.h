#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>

// Plays an endless stream of 16-bit interleaved samples through waveOut. A thread of its own keeps a few
// short buffers queued and refills each as the device hands it back, so the frame loop never waits on the
// sound. With no audio device the thread ends at once and the show is silent.
class MusicPlayer {
public:
    // Fills `frames` frames (each `channels` samples) of the stream's next stretch.
    using Source = std::function<void(std::int16_t* samples, std::size_t frames)>;

    MusicPlayer() = default;
    ~MusicPlayer() { stop(); }
    MusicPlayer(const MusicPlayer&) = delete;
    MusicPlayer& operator=(const MusicPlayer&) = delete;

    void start(Source source, unsigned channels, unsigned sampleRate);
    // Silences the device and waits for the thread; safe to call when nothing plays.
    void stop();

    // Whether a device took the stream (for tests and diagnostics; false until the thread has opened it).
    bool playing() const { return playing_; }

private:
    void play(Source source, unsigned channels, unsigned sampleRate);

    std::thread thread_;
    HANDLE wake_ = nullptr; // signalled by the device when a buffer is done, and by stop
    std::atomic<bool> stopping_{false};
    std::atomic<bool> playing_{false};
};
