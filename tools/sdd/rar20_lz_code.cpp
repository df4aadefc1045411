#include "tools/sdd/rar20_lz_code.h"

std::vector<std::uint32_t> lzSymbolWeights(std::span<const Rar20LzCode> codes) {
    std::vector<std::uint32_t> weights(rar20LzLengths, 0);
    for (const Rar20LzCode& code : codes) {
        ++weights[code.mainSymbol];
        if (code.second == Rar20LzCode::Second::distance)
            ++weights[rar20DistanceLengthsAt + code.secondSymbol];
        else if (code.second == Rar20LzCode::Second::repeatLength)
            ++weights[rar20RepeatLengthLengthsAt + code.secondSymbol];
    }
    return weights;
}

bool Rar20LzState::canCode(std::uint32_t length, std::uint32_t distance) const {
    if (distance == 0 || distance > maxDistance || length < 2 || length > maxLength)
        return false;
    if (length == 2 && distance <= 256)
        return true;
    if (ringAge(distance) != 0 && length >= minRepeatLengthAt(distance))
        return true;
    return length >= minLengthAt(distance);
}

Rar20LzCode Rar20LzState::codeFor(std::uint32_t length, std::uint32_t distance) const {
    Rar20LzCode code;
    const int age = ringAge(distance);
    if (age == 1 && length == lastLength_) {
        code.mainSymbol = rar20LastMatchSymbol;
    } else if (age != 0 && length >= minRepeatLengthAt(distance)) {
        const std::uint32_t value = length - minRepeatLengthAt(distance);
        const std::size_t slot = rar20LengthSlots.slotOf(value);
        code.mainSymbol = static_cast<std::uint16_t>(rar20FirstRepeatSymbol + age - 1);
        code.second = Rar20LzCode::Second::repeatLength;
        code.secondSymbol = static_cast<std::uint8_t>(slot);
        code.secondExtraBits = rar20LengthSlots.bits[slot];
        code.secondExtra = value - rar20LengthSlots.base[slot];
    } else if (length == 2) {
        const std::size_t slot = rar20ShortDistanceSlots.slotOf(distance - 1);
        code.mainSymbol = static_cast<std::uint16_t>(rar20FirstShortSymbol + slot);
        code.mainExtraBits = rar20ShortDistanceSlots.bits[slot];
        code.mainExtra = distance - 1 - rar20ShortDistanceSlots.base[slot];
    } else {
        const std::uint32_t value = length - minLengthAt(distance);
        const std::size_t slot = rar20LengthSlots.slotOf(value);
        code.mainSymbol = static_cast<std::uint16_t>(rar20FirstMatchSymbol + slot);
        code.mainExtraBits = rar20LengthSlots.bits[slot];
        code.mainExtra = value - rar20LengthSlots.base[slot];
        const std::size_t distanceSlot = rar20DistanceSlots.slotOf(distance - 1);
        code.second = Rar20LzCode::Second::distance;
        code.secondSymbol = static_cast<std::uint8_t>(distanceSlot);
        code.secondExtraBits = rar20DistanceSlots.bits[distanceSlot];
        code.secondExtra = distance - 1 - rar20DistanceSlots.base[distanceSlot];
    }
    return code;
}

Rar20LzCode Rar20LzState::code(std::uint32_t length, std::uint32_t distance) {
    const Rar20LzCode code = codeFor(length, distance);
    remember(length, distance);
    return code;
}
