#pragma once

#include <array>
#include <cstdint>

// One channel of RAR 2.0 multimedia compression: the stream codes the difference between each byte and a
// linear prediction from the channel's recent deltas, and the predictor adapts its five coefficients every
// 32 bytes towards whichever of them would have made the smallest errors.
class Rar20AudioChannel {
public:
    // Turns a coded delta (0 to 255) into the channel's next byte. `channelDelta` is the delta of the last
    // byte decoded on any channel; it is read for the prediction and then replaced.
    std::uint8_t decode(std::uint32_t codedDelta, int& channelDelta);

private:
    std::array<int, 5> coefficient_{};
    std::array<int, 4> delta_{};
    int lastDelta_ = 0;
    std::array<std::uint32_t, 11> error_{};
    std::uint32_t byteCount_ = 0;
    int lastByte_ = 0;
};
