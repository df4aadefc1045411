// The show's music on Linux: the decoded loop played through SDL2's audio subsystem (no SDL video).
#pragma once

#include "app/music_loop.h"
#include "data/show_data.h"

#include <memory>

#include <SDL.h>

// Plays one MusicLoop on the default audio device until destroyed. SDL's audio thread only copies samples out
// of the decoded loop, so nothing here ever waits on the frame loop or makes it wait.
class MusicPlayer {
public:
    MusicPlayer(const MusicPlayer&) = delete;
    MusicPlayer& operator=(const MusicPlayer&) = delete;
    // Stops the sound and closes the device and SDL's audio subsystem.
    ~MusicPlayer();

    // Opens the default device in the loop's own format (SDL converts if the device differs) and starts
    // playing from the loop's first sample. nullptr, with one line on standard error, when there is no
    // device to play on.
    static std::unique_ptr<MusicPlayer> start(MusicLoop loop);

private:
    explicit MusicPlayer(MusicLoop loop) : loop_(std::move(loop)) {}
    static void SDLCALL feed(void* player, Uint8* stream, int bytes);

    MusicLoop loop_;
    SDL_AudioDeviceID device_ = 0;
};

// The saver run's music, started after loading: "music.ogg" from the show's files, decoded whole and
// looped at `volume` (1 to 100, as the settings hold it; 0 is silence, above 100 counts as 100). No
// "music.ogg", a file that does not decode, or no sound device: one line on standard error and nullptr; the
// show goes on in silence.
std::unique_ptr<MusicPlayer> startShowMusic(ShowData& show, unsigned volume);
