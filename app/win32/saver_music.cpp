#include "app/win32/saver_music.h"

void SaverMusic::start(unsigned volume) {
    std::string error;
    if (!file_.open("music.ogg") || !loop_.decode(file_.data(), file_.size(), error))
        return;
    loop_.setVolume(volume);
    const unsigned channels = static_cast<unsigned>(loop_.channels());
    player_.start([this, channels](std::int16_t* samples,
                                   std::size_t frames) { loop_.fill(samples, frames * channels); },
                  channels, static_cast<unsigned>(loop_.sampleRate()));
}
