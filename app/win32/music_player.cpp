#include "app/win32/music_player.h"

#include <mmsystem.h>

#include <array>
#include <vector>

namespace {

// Four buffers of a tenth of a second: enough to ride out a slow frame, short enough to stop promptly.
constexpr int bufferCount = 4;
constexpr unsigned buffersPerSecond = 10;

} // namespace

void MusicPlayer::start(Source source, unsigned channels, unsigned sampleRate) {
    stop();
    wake_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (!wake_)
        return;
    stopping_ = false;
    thread_ = std::thread(&MusicPlayer::play, this, std::move(source), channels, sampleRate);
}

void MusicPlayer::stop() {
    if (thread_.joinable()) {
        stopping_ = true;
        SetEvent(wake_);
        thread_.join();
    }
    if (wake_) {
        CloseHandle(wake_);
        wake_ = nullptr;
    }
    playing_ = false;
}

void MusicPlayer::play(Source source, unsigned channels, unsigned sampleRate) {
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = static_cast<WORD>(channels);
    format.nSamplesPerSec = sampleRate;
    format.wBitsPerSample = 16;
    format.nBlockAlign = static_cast<WORD>(channels * 2);
    format.nAvgBytesPerSec = sampleRate * format.nBlockAlign;
    HWAVEOUT device = nullptr;
    if (waveOutOpen(&device, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(wake_), 0, CALLBACK_EVENT) !=
        MMSYSERR_NOERROR)
        return; // no device: silence
    playing_ = true;

    const std::size_t framesPerBuffer = sampleRate / buffersPerSecond;
    std::array<std::vector<std::int16_t>, bufferCount> samples;
    std::array<WAVEHDR, bufferCount> headers{};
    for (int i = 0; i < bufferCount; ++i) {
        samples[i].resize(framesPerBuffer * channels);
        headers[i].lpData = reinterpret_cast<LPSTR>(samples[i].data());
        headers[i].dwBufferLength = static_cast<DWORD>(samples[i].size() * sizeof(std::int16_t));
        waveOutPrepareHeader(device, &headers[i], sizeof(WAVEHDR));
        headers[i].dwFlags |= WHDR_DONE; // empty: filled on the first pass below
    }
    while (!stopping_) {
        for (WAVEHDR& header : headers)
            if ((header.dwFlags & WHDR_DONE) && !stopping_) {
                header.dwFlags &= ~WHDR_DONE;
                source(reinterpret_cast<std::int16_t*>(header.lpData), framesPerBuffer);
                waveOutWrite(device, &header, sizeof(WAVEHDR));
            }
        WaitForSingleObject(wake_, INFINITE);
    }
    waveOutReset(device); // hands every queued buffer back at once
    for (WAVEHDR& header : headers)
        waveOutUnprepareHeader(device, &header, sizeof(WAVEHDR));
    waveOutClose(device);
    playing_ = false;
}
