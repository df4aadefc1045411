#pragma once

#include "tools/sdd/archive_packer.h"

#include <cstdint>
#include <span>
#include <string>

// What `sdd a` does with an archive that was damaged: a copy of `archive` (written with `options`) gets a
// flipped bit or is cut short, at places `seed` chooses (half of them in headers), several times over. Each
// time `a` must either refuse to rewrite it, or keep every member the archive still holds (all of them
// after a flip, those before a cut), byte for byte, in the archive it writes; and the undamaged archive
// must be kept whole. Empty when that holds, else what went wrong.
std::string damagedArchiveCheck(std::span<const std::uint8_t> archive, const PackOptions& options,
                                std::uint32_t seed);
