#pragma once

#include <cstdint>
#include <span>
#include <string>

// The packer's differential check on arbitrary bytes: the first bytes choose the level, solid and
// multimedia, how many members there are and whether they are tiled large enough to span several of the
// encoder's stretches; the rest is cut into the members. They are packed, then extracted by our reader;
// then the archive is damaged, and adding to it must lose no member the reader can still extract (see
// damagedArchiveCheck). Empty when every member comes back byte for byte and nothing is lost, else what
// went wrong.
std::string packerRoundTrip(std::span<const std::uint8_t> input);
