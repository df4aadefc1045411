#pragma once

#include "data/rar20_audio_channel.h"
#include "data/rar20_tables.h"

#include <array>
#include <cstdint>

// The decoder's multimedia side as the packer follows it: the predictor of each channel (the decoder's own
// code, so both always predict alike), the delta shared between channels and the channel whose turn it is.
// A copy is a trial run that leaves the original as it was.
class Rar20MultimediaCoder {
public:
    // A table read that sets up `channelCount` channels: a channel index beyond them starts over at 0.
    void setChannelCount(int channelCount);

    int channelCount() const { return channelCount_; }
    int currentChannel() const { return currentChannel_; }

    // The delta that makes the current channel decode to `byte`; that channel takes the byte and the turn
    // passes to the next.
    std::uint8_t code(std::uint8_t byte);

private:
    std::array<Rar20AudioChannel, rar20MaxChannels> channels_{};
    int channelDelta_ = 0;
    int channelCount_ = 1;
    int currentChannel_ = 0;
};
