#pragma once

#include "data/archive_source.h"

#include <cstdint>
#include <optional>

// Where the next whole, sound file header starts at or after `from`: the place to go on from after a
// damaged header, whose own sizes cannot be trusted to say where the next block is. A candidate must pass
// every check a header gets (its type, sizes within the archive, name size, HEAD_CRC) and carry a version
// this format knows, so a chance match inside packed data is rare; one that slips through still has to
// pass its member's CRC-32 before any byte of it comes out.
std::optional<std::uint64_t> findSoundFileHeader(ArchiveSource& source, std::uint64_t from);

// Whether a whole, sound file header starts exactly at `position`.
bool soundFileHeaderAt(ArchiveSource& source, std::uint64_t position);
