#include "data/rar20_audio_channel.h"

#include <cstdlib>

std::uint8_t Rar20AudioChannel::decode(std::uint32_t codedDelta, int& channelDelta) {
    ++byteCount_;
    delta_[3] = delta_[2];
    delta_[2] = delta_[1];
    delta_[1] = lastDelta_ - delta_[0];
    delta_[0] = lastDelta_;

    int weighted = 8 * lastByte_ + coefficient_[4] * channelDelta;
    for (int i = 0; i < 4; ++i)
        weighted += coefficient_[i] * delta_[i];
    const int prediction = (weighted >> 3) & 0xFF;
    const int byte = (prediction - static_cast<int>(codedDelta)) & 0xFF;

    // The error each coefficient nudge would have made: index 2i+1 for coefficient i one lower, 2i+2 for
    // one higher; index 0 for leaving them all.
    const int scaled = static_cast<std::int8_t>(codedDelta) * 8;
    const auto add = [&](std::size_t index, int error) {
        error_[index] += static_cast<std::uint32_t>(std::abs(error));
    };
    add(0, scaled);
    add(1, scaled - delta_[0]);
    add(2, scaled + delta_[0]);
    add(3, scaled - delta_[1]);
    add(4, scaled + delta_[1]);
    add(5, scaled - delta_[2]);
    add(6, scaled + delta_[2]);
    add(7, scaled - delta_[3]);
    add(8, scaled + delta_[3]);
    add(9, scaled - channelDelta);
    add(10, scaled + channelDelta);

    lastDelta_ = channelDelta = static_cast<std::int8_t>(byte - lastByte_);
    lastByte_ = byte;

    if (byteCount_ % 32 == 0) {
        std::size_t best = 0;
        for (std::size_t i = 1; i < error_.size(); ++i)
            if (error_[i] < error_[best])
                best = i;
        error_.fill(0);
        if (best != 0) {
            int& k = coefficient_[(best - 1) / 2];
            if (best % 2 == 1 && k >= -16)
                --k;
            else if (best % 2 == 0 && k < 16)
                ++k;
        }
    }
    return static_cast<std::uint8_t>(byte);
}
