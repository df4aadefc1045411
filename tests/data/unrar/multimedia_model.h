#pragma once

#include <array>
#include <cstdint>

// The multimedia mode's adaptive delta predictor, written from the format description so the stream builder
// can choose the delta that makes the decoder produce a wanted byte. One predictor per channel; the last
// delta of whichever channel ran last is shared by all of them.
class MultimediaModel {
public:
    static constexpr int maxChannels = 4;

    // The delta symbol that makes `channel` decode to `byte` next (the state is not changed).
    std::uint8_t deltaFor(int channel, std::uint8_t byte) const;

    // Decodes one delta on `channel`, advancing that channel's state, and returns the byte it gives.
    std::uint8_t decode(int channel, std::uint8_t delta);

private:
    struct Channel {
        std::array<int, 5> coefficients{}; // K1..K5
        std::array<int, 4> deltas{};       // D1..D4
        int lastDelta = 0;
        std::array<std::uint32_t, 11> errorSums{};
        std::uint32_t byteCount = 0;
        int lastByte = 0;
    };

    // D1..D4 as they are when the next byte of the channel is predicted.
    static std::array<int, 4> shiftedDeltas(const Channel& channel);
    int prediction(const Channel& channel, const std::array<int, 4>& deltas) const;

    std::array<Channel, maxChannels> channels_{};
    int channelDelta_ = 0;
};
