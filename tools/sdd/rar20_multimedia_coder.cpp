#include "tools/sdd/rar20_multimedia_coder.h"

void Rar20MultimediaCoder::setChannelCount(int channelCount) {
    channelCount_ = channelCount;
    if (currentChannel_ >= channelCount)
        currentChannel_ = 0;
}

std::uint8_t Rar20MultimediaCoder::code(std::uint8_t byte) {
    Rar20AudioChannel& channel = channels_[static_cast<std::size_t>(currentChannel_)];
    // The decoder outputs the prediction minus the delta, so decoding a delta of 0 on a copy yields the
    // prediction itself.
    Rar20AudioChannel probe = channel;
    int probeDelta = channelDelta_;
    const std::uint8_t prediction = probe.decode(0, probeDelta);
    const auto delta = static_cast<std::uint8_t>(prediction - byte);
    channel.decode(delta, channelDelta_);
    if (++currentChannel_ == channelCount_)
        currentChannel_ = 0;
    return delta;
}
