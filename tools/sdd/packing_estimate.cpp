#include "tools/sdd/packing_estimate.h"

#include "data/rar20_tables.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

// The packer gives each block of a few thousand codes tables of its own, so statistics are taken as
// locally: a file whose halves differ in their bytes is weighed by each half's statistics.
constexpr std::size_t pieceSize = 16 * 1024;
// Repeats shorter than this are left to the byte statistics: they save little, and a look-up that keeps
// only the latest position for each hash finds them by chance in any data.
constexpr std::size_t shortestRepeat = 4;
constexpr std::size_t longestRepeat = 257;
// Less than any code for a repeat takes (a length symbol and a distance symbol with their extra bits).
constexpr double bitsPerRepeat = 12;
// Packing is worth it when it saves at least this part of the bytes.
constexpr std::size_t worthwhileShare = 100;
constexpr std::uint32_t none = 0xFFFFFFFF;

std::uint32_t wordAt(const std::uint8_t* p) {
    std::uint32_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

// The bits of the bytes counted in `counts` at their own statistics (their order-0 entropy).
double statisticalBits(const std::array<std::uint32_t, 256>& counts, std::size_t total) {
    double bits = 0;
    for (std::uint32_t count : counts)
        if (count != 0)
            bits += count * std::log2(static_cast<double>(total) / count);
    return bits;
}

// The repeats and byte statistics of the bytes, taken a piece at a time.
class Estimate {
public:
    explicit Estimate(std::span<const std::uint8_t> bytes)
        : bytes_(bytes),
          // About a slot for every position up to the window's size: repeats of noise lie as far back as
          // the window, and a smaller table forgets them before they come again.
          hashBits_(std::clamp(static_cast<int>(std::bit_width(bytes.size())), 8, 20)),
          latest_(std::size_t{1} << hashBits_, none) {}

    // Weighs the bytes from where the last piece ended (or a repeat carried past it) to `end` at least.
    void addPiece(std::size_t end) {
        std::array<std::uint32_t, 256> counts{};
        std::size_t literals = 0;
        const std::uint8_t* data = bytes_.data();
        const std::size_t size = bytes_.size();
        while (at_ < end) {
            if (at_ + shortestRepeat <= size) {
                const std::uint32_t word = wordAt(data + at_);
                std::uint32_t& slot = latest_[(word * 2654435761u) >> (32 - hashBits_)];
                const std::uint32_t candidate = slot;
                slot = static_cast<std::uint32_t>(at_);
                if (candidate != none && at_ - candidate < rar20WindowSize &&
                    wordAt(data + candidate) == word) {
                    const std::size_t limit = std::min(longestRepeat, size - at_);
                    std::size_t length = shortestRepeat;
                    while (length < limit && data[candidate + length] == data[at_ + length])
                        ++length;
                    bits_ += bitsPerRepeat;
                    at_ += length;
                    continue;
                }
            }
            ++counts[data[at_]];
            ++literals;
            ++at_;
        }
        bits_ += statisticalBits(counts, literals);
    }

    std::size_t weighed() const { return at_; }
    // The bits the bytes weighed so far would save at most.
    double savedBits() const { return 8.0 * static_cast<double>(at_) - bits_; }

private:
    std::span<const std::uint8_t> bytes_;
    int hashBits_;
    std::vector<std::uint32_t> latest_; // per hash of four bytes: the latest position with them
    std::size_t at_ = 0;
    double bits_ = 0;
};

} // namespace

bool packingSavesLittle(std::span<const std::uint8_t> bytes) {
    const double worthwhileBits = 8.0 * static_cast<double>(bytes.size()) / worthwhileShare;
    Estimate estimate(bytes);
    while (estimate.weighed() < bytes.size()) {
        estimate.addPiece(std::min(bytes.size(), estimate.weighed() + pieceSize));
        // The bytes not yet weighed cannot cost more than they are, so once those weighed save enough, the
        // whole does.
        if (estimate.savedBits() >= worthwhileBits)
            return false;
    }
    return true;
}
