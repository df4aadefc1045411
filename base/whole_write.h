#pragma once

#include <cstdint>
#include <span>

// Writes every byte to the descriptor. One write may take only part of a buffer (a signal arrived, a pipe
// or a file-size limit filled), so the rest is written in turn until all of it is out or the system refuses.
// 0 when all is written, else the errno value that stopped it (ENOSPC when the system took nothing and
// named no reason).
int writeWhole(int fd, std::span<const std::uint8_t> bytes);
