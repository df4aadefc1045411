#include "app/linux/music_player.h"

#include "data/resource_file.h"

#include <alsa/asoundlib.h>

#include <iostream>
#include <new>
#include <string>

namespace {

// The ALSA library reports every card it fails to find on standard error, eight lines or more on a machine
// with no sound device, before SDL even says there is none. The one line below says it for the user.
void ignoreAlsaMessage(const char*, int, const char*, int, const char*, ...) {}

// About 46 ms at 44.1 kHz: short enough that the music stops at once when the run ends, long enough that a
// busy machine does not starve the device.
constexpr Uint16 deviceBufferFrames = 2048;

} // namespace

std::unique_ptr<MusicPlayer> MusicPlayer::start(MusicLoop loop) {
    snd_lib_error_set_handler(&ignoreAlsaMessage);
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        std::cerr << "heliox: no music: no sound device (" << SDL_GetError() << ")\n";
        return nullptr;
    }
    // From here on the destructor owns the subsystem: every way out below goes through it.
    std::unique_ptr<MusicPlayer> player(new MusicPlayer(std::move(loop)));
    SDL_AudioSpec wanted{};
    wanted.freq = player->loop_.sampleRate();
    wanted.format = AUDIO_S16SYS;
    wanted.channels = static_cast<Uint8>(player->loop_.channels());
    wanted.samples = deviceBufferFrames;
    wanted.callback = &MusicPlayer::feed;
    wanted.userdata = player.get();
    // No allowed changes: SDL converts to whatever the device plays, so the callback's format is fixed.
    player->device_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
    if (player->device_ == 0) {
        std::cerr << "heliox: no music: the sound device cannot be opened (" << SDL_GetError() << ")\n";
        return nullptr;
    }
    SDL_PauseAudioDevice(player->device_, 0);
    return player;
}

MusicPlayer::~MusicPlayer() {
    // Closing waits for SDL's audio thread, so the loop is no longer read once this returns.
    if (device_ != 0)
        SDL_CloseAudioDevice(device_);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SDLCALL MusicPlayer::feed(void* player, Uint8* stream, int bytes) {
    auto* self = static_cast<MusicPlayer*>(player);
    self->loop_.fill(reinterpret_cast<std::int16_t*>(stream),
                     static_cast<std::size_t>(bytes) / sizeof(std::int16_t));
}

namespace {

// "music.ogg" from the resource archive, decoded whole. False, with one line on standard error, when it
// cannot be read, is refused, or the memory for it cannot be had.
bool decodeShowMusic(ShowData& show, MusicLoop& loop) {
    try {
        ResourceFile music;
        if (!music.open("music.ogg", show.files)) {
            std::cerr << "heliox: no music: \"music.ogg\" cannot be read from " << show.files.path() << "\n";
            return false;
        }
        std::string error;
        if (!loop.decode(show.budget, music.data(), music.size(), error)) {
            std::cerr << "heliox: no music: \"music.ogg\": " << error << "\n";
            return false;
        }
        return true;
    } catch (const std::bad_alloc&) {
        std::cerr << "heliox: no music: \"music.ogg\": not enough memory to load it\n";
        return false;
    }
}

} // namespace

std::unique_ptr<MusicPlayer> startShowMusic(ShowData& show, unsigned volume) {
    // Decoded whole up front: a 90-second stereo loop is about 16 MB of samples and decodes in well under a
    // second, after which the audio thread only copies. The compressed file is let go once decoded.
    MusicLoop loop;
    if (!decodeShowMusic(show, loop))
        return nullptr;
    loop.setVolume(volume);
    return MusicPlayer::start(std::move(loop));
}
