#include "tools/sdd/archive_packer.h"

#include "data/archive_member.h"
#include "data/crc32.h"

#include <algorithm>

Rar20LzEffort effortForLevel(int level) {
    switch (std::clamp(level, 1, 5)) {
    case 1:
        return {8, false, 16};
    case 2:
        return {16, true, 32};
    case 3:
        return {48, true, 64};
    case 4:
        return {32, true, 32, 2};
    default:
        return {64, true, 64, 3};
    }
}

ArchivePacker::ArchivePacker(const PackOptions& options) : options_(options), writer_(options.solid) {
    if (options.solid && options.level > 0)
        solidEncoder_ = std::make_unique<Rar20Encoder>(effortForLevel(options.level), options.multimedia);
}

bool ArchivePacker::add(std::string_view name, std::span<const std::uint8_t> bytes, std::uint32_t time) {
    if (bytes.size() > largestMemberSize)
        return false;
    if (solidEncoder_ && bytes.empty()) {
        if (!ArchiveWriter::acceptsName(name))
            return false;
        heldBackEmptyMembers_.emplace_back(name, time);
        return true;
    }
    if (options_.level == 0 || bytes.empty())
        return writer_.addStored(name, bytes, time);

    const auto method = static_cast<std::uint8_t>(methodStored + options_.level);
    if (solidEncoder_) {
        // Check the name before packing: the encoder's state moves on with every member it packs.
        if (!ArchiveWriter::acceptsName(name))
            return false;
        const std::vector<std::uint8_t> packed = solidEncoder_->encode(bytes);
        return writer_.addPacked(name, packed, static_cast<std::uint32_t>(bytes.size()), crc32(bytes), method,
                                 time);
    }
    Rar20Encoder encoder(effortForLevel(options_.level), options_.multimedia);
    const std::vector<std::uint8_t> packed = encoder.encode(bytes);
    if (packed.size() >= bytes.size())
        return writer_.addStored(name, bytes, time);
    return writer_.addPacked(name, packed, static_cast<std::uint32_t>(bytes.size()), crc32(bytes), method,
                             time);
}

const ArchiveWriter& ArchivePacker::finish() {
    for (const auto& [name, time] : heldBackEmptyMembers_)
        writer_.addStored(name, {}, time);
    heldBackEmptyMembers_.clear();
    return writer_;
}
