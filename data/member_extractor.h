#pragma once

#include "data/archive_member.h"
#include "data/archive_source.h"
#include "data/rar20_format.h"
#include "data/rar20_unpacker.h"

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

// Receives a member's bytes in order, in pieces (each valid during the call).
using ByteSink = std::function<void(std::span<const std::uint8_t>)>;

// Extracts members in archive order with one unpacker, so each solid member finds the state its predecessor
// left. A compressed member that could not be decoded leaves that state unfit to go on from, and the solid
// members after it fail too instead of decoding from a window that was never filled. A member that decoded
// whole but whose CRC is wrong fails alone: the decoder followed its stream to the end, so the state is the
// one the packer left, and only that member's bytes (or its stored CRC) are in doubt.
class MemberExtractor {
public:
    explicit MemberExtractor(ArchiveSource& source) : source_(source) {}

    // Extracts one member, handing its bytes to `sink` in pieces as they come when it is given; without it
    // a compressed member is still decoded and checked, as the solid members after it need. After a
    // failure the sink may have had part of the member. A stored member never touches the decoder's state.
    ExtractResult extract(const MemberHeader& header, const ByteSink& sink);

    // The same, collecting the member in `out`, which is empty after a failure.
    ExtractResult extract(const MemberHeader& header, std::vector<std::uint8_t>& out);

private:
    ExtractResult extractInto(const MemberHeader& header, rar::Decoder decoder, const ByteSink& sink);
    bool decode(rar::Decoder decoder, const MemberHeader& header, const ByteSink& take);
    bool copyStored(const MemberHeader& header, const ByteSink& take);

    ArchiveSource& source_;
    Rar20Unpacker unpacker_;
};
