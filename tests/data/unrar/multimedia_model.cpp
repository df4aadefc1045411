#include "tests/data/unrar/multimedia_model.h"

#include <algorithm>
#include <cstdlib>

namespace {

int signedByte(int value) {
    return static_cast<std::int8_t>(static_cast<std::uint8_t>(value));
}

std::uint32_t magnitude(int value) {
    return static_cast<std::uint32_t>(std::abs(value));
}

} // namespace

std::array<int, 4> MultimediaModel::shiftedDeltas(const Channel& channel) {
    const std::array<int, 4>& d = channel.deltas;
    return {channel.lastDelta, channel.lastDelta - d[0], d[1], d[2]};
}

int MultimediaModel::prediction(const Channel& channel, const std::array<int, 4>& deltas) const {
    const std::array<int, 5>& k = channel.coefficients;
    const int sum = 8 * channel.lastByte + k[0] * deltas[0] + k[1] * deltas[1] + k[2] * deltas[2] +
                    k[3] * deltas[3] + k[4] * channelDelta_;
    return (sum >> 3) & 0xFF;
}

std::uint8_t MultimediaModel::deltaFor(int channel, std::uint8_t byte) const {
    const Channel& state = channels_[static_cast<std::size_t>(channel)];
    return static_cast<std::uint8_t>(prediction(state, shiftedDeltas(state)) - byte);
}

std::uint8_t MultimediaModel::decode(int channel, std::uint8_t delta) {
    Channel& state = channels_[static_cast<std::size_t>(channel)];
    ++state.byteCount;
    state.deltas = shiftedDeltas(state);
    const auto byte = static_cast<std::uint8_t>(prediction(state, state.deltas) - delta);

    const int d = signedByte(delta) * 8;
    const std::array<int, 4>& D = state.deltas;
    const int candidates[11] = {d,        d - D[0], d + D[0], d - D[1],          d + D[1],         d - D[2],
                                d + D[2], d - D[3], d + D[3], d - channelDelta_, d + channelDelta_};
    for (int i = 0; i < 11; ++i)
        state.errorSums[static_cast<std::size_t>(i)] += magnitude(candidates[i]);

    state.lastDelta = channelDelta_ = signedByte(byte - state.lastByte);
    state.lastByte = byte;

    if (state.byteCount % 32 == 0) {
        // The smallest error sum says which coefficient would have predicted better; ties go to the first.
        const auto smallest = std::min_element(state.errorSums.begin(), state.errorSums.end());
        const auto index = static_cast<int>(smallest - state.errorSums.begin());
        state.errorSums.fill(0);
        if (index > 0) {
            int& k = state.coefficients[static_cast<std::size_t>((index - 1) / 2)];
            if (index % 2 == 1 && k >= -16)
                --k;
            else if (index % 2 == 0 && k < 16)
                ++k;
        }
    }
    return byte;
}
