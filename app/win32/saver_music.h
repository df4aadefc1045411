#pragma once

#include "app/music_loop.h"
#include "app/win32/music_player.h"
#include "data/resource_file.h"
#include "data/show_data.h"

// The show's music: "music.ogg" from the archive, decoded whole, played round and round at a volume until
// the run ends. Music that cannot be read or decoded, or a machine with no audio device, means silence; the
// show goes on either way.
class SaverMusic {
public:
    void start(ShowData& show, unsigned volume);
    void stop() { player_.stop(); }

private:
    ResourceFile file_;
    MusicLoop loop_;
    MusicPlayer player_;
};
