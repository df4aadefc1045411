#pragma once

#include <cstdint>
#include <span>

// Whether packing the bytes would save less than a hundredth of them, judged at a small part of the cost
// of packing: long repeats are found by one look-up per position, the rest is weighed at its byte
// statistics piece by piece. The judgement leans towards packing (a repeat is priced below any code for
// it, tables at nothing), so what it calls not worth it is what the packer would store anyway or shrink by
// less than a hundredth: compressed files, mostly, which would otherwise be packed whole for nothing. It
// stops as soon as the bytes seen have saved enough, so compressible data costs it only their start.
// The delta coding of multimedia data is not foreseen.
bool packingSavesLittle(std::span<const std::uint8_t> bytes);
