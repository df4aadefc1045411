#include "app/win32/saver_music.h"

#include <cstdio>
#include <new>

void SaverMusic::start(ShowData& show, unsigned volume) {
    std::string error;
    try {
        if (!file_.open("music.ogg", show.files))
            error = "cannot be read from the show's archive";
        else
            loop_.decode(show.budget, file_.data(), file_.size(), error);
    } catch (const std::bad_alloc&) {
        error = "not enough memory to load it";
    }
    if (loop_.frameCount() == 0) {
        // The show goes on in silence; the line says why for whoever runs it from a console.
        std::fprintf(stderr, "heliox: no music: \"music.ogg\": %s\n", error.c_str());
        return;
    }
    loop_.setVolume(volume);
    const unsigned channels = static_cast<unsigned>(loop_.channels());
    player_.start([this, channels](std::int16_t* samples,
                                   std::size_t frames) { loop_.fill(samples, frames * channels); },
                  channels, static_cast<unsigned>(loop_.sampleRate()));
}
