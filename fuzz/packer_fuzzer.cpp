// The packer, differentially: whatever members, level and modes the input chooses, our reader must give
// every member back byte for byte.
#include "fuzz/packer_round_trip.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string problem = packerRoundTrip({data, size});
    if (!problem.empty()) {
        std::fprintf(stderr, "packer round trip: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
