#include "data/rar20_unpacker.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

bool Rar20Unpacker::unpack(std::span<const std::uint8_t> packed, std::uint32_t unpackedSize,
                           bool solidContinuation, const Sink& sink) {
    Rar20BitReader bits(packed);
    return unpack(bits, unpackedSize, solidContinuation, sink);
}

bool Rar20Unpacker::unpack(ArchiveSource& archive, std::uint64_t offset, std::uint32_t packedSize,
                           std::uint32_t unpackedSize, bool solidContinuation, const Sink& sink) {
    Rar20BitReader bits(archive, offset, packedSize);
    return unpack(bits, unpackedSize, solidContinuation, sink);
}

bool Rar20Unpacker::unpack(Rar20BitReader& bits, std::uint32_t unpackedSize, bool solidContinuation,
                           const Sink& sink) {
    // Archivers store empty files (and folders) with no packed data at all: nothing to decode, nothing
    // for a solid successor to go on from.
    if (unpackedSize == 0 && bits.unreadBytes() == 0)
        return true;
    if (solidContinuation && state_ == State::broken)
        return false;
    const bool fromScratch = !solidContinuation || state_ == State::fresh;
    state_ = State::broken;

    if (fromScratch) {
        if (!startAfresh() || !readTables(bits))
            return false;
    }

    const std::size_t start = writePosition_;
    // Signed, since the last match may run past the member's end.
    std::int64_t toProduce = unpackedSize;
    const bool decoded = decode(bits, toProduce, sink);
    const std::uint64_t reached = start + static_cast<std::uint64_t>(unpackedSize - toProduce);
    windowUsed_ = reached >= windowSize ? windowSize : std::max<std::size_t>(windowUsed_, reached);
    if (!decoded)
        return false;
    readTablesAhead(bits);
    return true;
}

bool Rar20Unpacker::decode(Rar20BitReader& bits, std::int64_t& toProduce, const Sink& sink) {
    std::uint32_t outputLeft = static_cast<std::uint32_t>(toProduce);
    while (toProduce > 0) {
        if (bits.overrun())
            return false;
        if (flushDue())
            flush(sink, outputLeft);

        if (audioMode_) {
            const std::uint32_t symbol = audioTables_[currentChannel_].decode(bits);
            if (symbol == rar20MultimediaTableSwitchSymbol) {
                if (!readTables(bits))
                    return false;
                continue;
            }
            putByte(channels_[currentChannel_].decode(symbol, channelDelta_));
            if (++currentChannel_ == channelCount_)
                currentChannel_ = 0;
            --toProduce;
            continue;
        }

        const std::uint32_t symbol = mainTable_.decode(bits);
        if (symbol < 256) {
            putByte(static_cast<std::uint8_t>(symbol));
            --toProduce;
        } else if (symbol == rar20LzTableSwitchSymbol) {
            if (!readTables(bits))
                return false;
        } else {
            decodeLzSymbol(symbol, bits, toProduce);
        }
    }
    if (bits.overrun())
        return false;
    flush(sink, outputLeft);
    return true;
}

bool Rar20Unpacker::startAfresh() {
    // A fresh window from calloc is zero already and costs no more pages than a small member touches;
    // a used one is cleared as far as it was written.
    if (!window_)
        window_.reset(static_cast<std::uint8_t*>(std::calloc(windowSize, 1)));
    else
        std::memset(window_.get(), 0, windowUsed_);
    if (!window_)
        return false;
    windowUsed_ = 0;
    writePosition_ = 0;
    flushPosition_ = 0;
    savedLengths_.fill(0);
    distanceRing_.fill(0);
    ringIndex_ = 0;
    lastDistance_ = 0;
    lastLength_ = 0;
    channels_.fill(Rar20AudioChannel{});
    currentChannel_ = 0;
    channelDelta_ = 0;
    return true;
}

bool Rar20Unpacker::readTables(Rar20BitReader& bits) {
    const std::uint32_t head = bits.peek16();
    audioMode_ = (head & 0x8000) != 0;
    if ((head & 0x4000) == 0)
        savedLengths_.fill(0);
    bits.skip(2);

    std::size_t count = mainSymbols + distanceSymbols + repeatLengthSymbols;
    if (audioMode_) {
        channelCount_ = bits.read(2) + 1;
        if (currentChannel_ >= channelCount_)
            currentChannel_ = 0;
        count = audioSymbols * channelCount_;
    }

    std::array<std::uint8_t, 19> bitLengths{};
    for (std::uint8_t& length : bitLengths)
        length = static_cast<std::uint8_t>(bits.read(4));
    Rar20HuffmanTable lengthCode;
    lengthCode.build(bitLengths);

    // Lengths past `count` keep their saved values, so a later read that adds to them finds them.
    std::array<std::uint8_t, maxChannels* audioSymbols> lengths = savedLengths_;
    for (std::size_t i = 0; i < count;) {
        const std::uint32_t code = lengthCode.decode(bits);
        if (code < 16) {
            lengths[i] = static_cast<std::uint8_t>((code + savedLengths_[i]) & 15);
            ++i;
        } else if (code == 16) {
            if (i == 0)
                return false;
            for (std::uint32_t n = 3 + bits.read(2); n > 0 && i < count; --n, ++i)
                lengths[i] = lengths[i - 1];
        } else {
            for (std::uint32_t n = code == 17 ? 3 + bits.read(3) : 11 + bits.read(7); n > 0 && i < count;
                 --n, ++i)
                lengths[i] = 0;
        }
    }
    if (bits.overrun())
        return false;

    const std::span<const std::uint8_t> all(lengths);
    if (audioMode_) {
        for (std::size_t channel = 0; channel < channelCount_; ++channel)
            audioTables_[channel].build(all.subspan(channel * audioSymbols, audioSymbols));
    } else {
        mainTable_.build(all.first(mainSymbols));
        distanceTable_.build(all.subspan(mainSymbols, distanceSymbols));
        repeatLengthTable_.build(all.subspan(mainSymbols + distanceSymbols, repeatLengthSymbols));
    }
    savedLengths_ = lengths;
    return true;
}

// After a member's last byte the packer may already have written the table switch of the next solid
// member, which starts with those tables. The switch is only looked for while at least 5 packed bytes
// remain, as it needs more than the padding of a member's last byte.
void Rar20Unpacker::readTablesAhead(Rar20BitReader& bits) {
    if (bits.unreadBytes() >= 5) {
        const bool tableSwitch =
            audioMode_ ? audioTables_[currentChannel_].decode(bits) == rar20MultimediaTableSwitchSymbol
                       : mainTable_.decode(bits) == rar20LzTableSwitchSymbol;
        if (tableSwitch && !readTables(bits))
            return;
    }
    state_ = State::intact;
}

void Rar20Unpacker::decodeLzSymbol(std::uint32_t symbol, Rar20BitReader& bits, std::int64_t& toProduce) {
    std::uint32_t length;
    std::uint32_t distance;
    if (symbol >= rar20FirstMatchSymbol) {
        const std::size_t slot = symbol - rar20FirstMatchSymbol;
        length = rar20LengthSlots.base[slot] + 3 + bits.read(rar20LengthSlots.bits[slot]);
        const std::size_t distanceSlot = distanceTable_.decode(bits);
        distance =
            rar20DistanceSlots.base[distanceSlot] + 1 + bits.read(rar20DistanceSlots.bits[distanceSlot]);
        length += (distance >= 0x2000) + (distance >= 0x40000);
    } else if (symbol == rar20LastMatchSymbol) {
        length = lastLength_;
        distance = lastDistance_;
    } else if (symbol < rar20FirstShortSymbol) {
        distance = distanceRing_[(ringIndex_ - (symbol - rar20LastMatchSymbol)) & 3];
        const std::size_t slot = repeatLengthTable_.decode(bits);
        length = rar20LengthSlots.base[slot] + 2 + bits.read(rar20LengthSlots.bits[slot]);
        length += (distance >= 0x101) + (distance >= 0x2000) + (distance >= 0x40000);
    } else {
        const std::size_t slot = symbol - rar20FirstShortSymbol;
        distance = rar20ShortDistanceSlots.base[slot] + 1 + bits.read(rar20ShortDistanceSlots.bits[slot]);
        length = 2;
    }
    copyMatch(length, distance);
    toProduce -= length;
}

void Rar20Unpacker::copyMatch(std::uint32_t length, std::uint32_t distance) {
    distanceRing_[ringIndex_++ & 3] = distance;
    lastDistance_ = distance;
    lastLength_ = length;

    std::uint8_t* window = window_.get();
    const std::size_t from = (writePosition_ - distance) & windowMask;
    if (from + length <= windowSize && writePosition_ + length <= windowSize) {
        // Eight bytes at a time where each piece comes from bytes already in place, then byte by byte, so a
        // distance shorter than the length repeats the bytes just written.
        std::uint8_t* to = window + writePosition_;
        const std::uint8_t* source = window + from;
        std::size_t i = 0;
        if (distance >= 8)
            for (; i + 8 <= length; i += 8)
                std::memcpy(to + i, source + i, 8);
        for (; i < length; ++i)
            to[i] = source[i];
    } else {
        for (std::size_t i = 0; i < length; ++i)
            window[(writePosition_ + i) & windowMask] = window[(from + i) & windowMask];
    }
    writePosition_ = (writePosition_ + length) & windowMask;
}

// Hands the bytes written since the last flush to the sink, at most `outputLeft` of them: the last match of
// a member may run past its end, and those bytes belong to no one.
void Rar20Unpacker::flush(const Sink& sink, std::uint32_t& outputLeft) {
    const auto give = [&](std::size_t from, std::size_t to) {
        const std::size_t count = std::min<std::size_t>(to - from, outputLeft);
        if (count > 0) {
            sink(std::span<const std::uint8_t>(window_.get() + from, count));
            outputLeft -= static_cast<std::uint32_t>(count);
        }
    };
    if (writePosition_ < flushPosition_) {
        give(flushPosition_, windowSize);
        give(0, writePosition_);
    } else {
        give(flushPosition_, writePosition_);
    }
    flushPosition_ = writePosition_;
}
