#include "app/stereo_mixdown.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// How much of a speaker goes to the left and to the right.
struct Pan {
    float left;
    float right;
};
constexpr Pan leftSide{1, 0}, rightSide{0, 1}, centre{0.7071f, 0.7071f}, lowFrequency{0, 0};

// The speakers of 3 to 8 channels in the order Vorbis stores them. Beyond eight the order is the
// application's own, and every channel goes to both sides.
constexpr std::array<std::array<Pan, 8>, 6> speakerPans = {{
    {leftSide, centre, rightSide},
    {leftSide, rightSide, leftSide, rightSide},
    {leftSide, centre, rightSide, leftSide, rightSide},
    {leftSide, centre, rightSide, leftSide, rightSide, lowFrequency},
    {leftSide, centre, rightSide, leftSide, rightSide, centre, lowFrequency},
    {leftSide, centre, rightSide, leftSide, rightSide, leftSide, rightSide, lowFrequency},
}};

std::int16_t toPcm16(float sample) {
    return static_cast<std::int16_t>(std::lrint(std::clamp(sample * 32768.0f, -32768.0f, 32767.0f)));
}

} // namespace

int keptChannels(int channels) {
    return std::min(channels, 2);
}

void appendMixedDown(const float* const* planes, int channels, int frames, std::vector<std::int16_t>& out) {
    const int kept = keptChannels(channels);
    out.reserve(out.size() + static_cast<std::size_t>(frames) * kept);
    if (channels <= 2) {
        for (int frame = 0; frame < frames; ++frame)
            for (int channel = 0; channel < channels; ++channel)
                out.push_back(toPcm16(planes[channel][frame]));
        return;
    }
    // Each side is scaled by the sum of what goes to it, so full-scale speakers never clip.
    std::vector<Pan> pans(static_cast<std::size_t>(channels), centre);
    if (channels <= 8)
        std::copy_n(speakerPans[static_cast<std::size_t>(channels - 3)].begin(), channels, pans.begin());
    float leftSum = 0, rightSum = 0;
    for (const Pan& pan : pans) {
        leftSum += pan.left;
        rightSum += pan.right;
    }
    for (int frame = 0; frame < frames; ++frame) {
        float left = 0, right = 0;
        for (int channel = 0; channel < channels; ++channel) {
            left += planes[channel][frame] * pans[static_cast<std::size_t>(channel)].left;
            right += planes[channel][frame] * pans[static_cast<std::size_t>(channel)].right;
        }
        out.push_back(toPcm16(left / leftSum));
        out.push_back(toPcm16(right / rightSum));
    }
}
