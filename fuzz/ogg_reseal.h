// Gives every whole Ogg page of a file the checksum it should have. A fuzzer's changed byte then reaches the
// decoder as a crafted file would, instead of stopping at the page check.
#pragma once

#include <cstdint>
#include <vector>

void resealOggPages(std::vector<std::uint8_t>& file);
