#pragma once

#include "data/archive_source.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// A member's packed bytes read as a stream of bits, most significant bit first, with 16 bits of look-ahead.
// Archivers end a member inside its last byte, but the look-ahead for its last codes reaches a little past
// it: bits past the end read as zero, and nothing is ever read outside the bytes.
//
// The bits wait in a 64-bit buffer, refilled with as many whole bytes as fit whenever fewer than 16 are
// left, so most codes cost a shift rather than three byte loads; the bounds are checked once per refill.
// The bytes come either from memory, whole, or from an archive in chunks of chunkSize, so a member of any
// size costs one chunk of memory; a chunk that cannot be read ends the stream as if cut there.
class Rar20BitReader {
public:
    static constexpr std::size_t chunkSize = 64 * 1024;

    explicit Rar20BitReader(std::span<const std::uint8_t> bytes)
        : bytes_(bytes.data()), available_(bytes.size()), size_(bytes.size()) {}

    // The `size` bytes at `offset` in the archive.
    Rar20BitReader(ArchiveSource& source, std::uint64_t offset, std::size_t size)
        : source_(&source), sourceOffset_(offset), size_(size) {}

    // The next 16 bits, not consumed.
    std::uint32_t peek16() {
        if (bufferedBits_ < 16)
            refill();
        return static_cast<std::uint32_t>(buffer_ >> 48);
    }

    // Consumes `count` bits (0 to 16) after a peek16() that saw them.
    void skip(unsigned count) {
        buffer_ <<= count;
        bufferedBits_ -= count;
    }

    // Consumes `count` bits (0 to 16) and returns them as a number.
    std::uint32_t read(unsigned count) {
        const std::uint32_t value = peek16() >> (16 - count);
        skip(count);
        return value;
    }

    // True once more bits have been consumed than the bytes hold (the data was cut short or is corrupt), or
    // once the archive could not give the bytes.
    bool overrun() const { return readFailed_ || bitPosition() > size_ * 8; }

    // Bytes not yet (or not wholly) consumed; the byte holding the current bit counts as unread.
    std::size_t unreadBytes() const {
        const std::size_t at = bitPosition() >> 3;
        return at < size_ ? size_ - at : 0;
    }

private:
    // Bits consumed so far. Zero bytes taken in past the end count as loaded, so this keeps counting there.
    std::size_t bitPosition() const { return loadedBytes_ * 8 - bufferedBits_; }

    void refill() {
        // Whole bytes that fit below the buffered bits: 6 or 7 of them, as fewer than 16 are buffered.
        const unsigned room = (63 - bufferedBits_) >> 3;
        if (loadedBytes_ + 8 > bytesStart_ + available_ && bytesStart_ + available_ < size_)
            fetch();
        std::uint64_t incoming = 0;
        const std::size_t at = loadedBytes_ - bytesStart_;
        if (loadedBytes_ + 8 <= bytesStart_ + available_) {
            for (unsigned i = 0; i < 8; ++i)
                incoming = incoming << 8 | bytes_[at + i];
            // Only `room` of the eight bytes are taken; the rest are loaded again next time.
            incoming &= ~std::uint64_t{0} << (64 - 8 * room);
        } else {
            for (unsigned i = 0; i < room; ++i)
                incoming = incoming << 8 | (at + i < available_ ? bytes_[at + i] : 0u);
            incoming <<= 64 - 8 * room;
        }
        buffer_ |= incoming >> bufferedBits_;
        bufferedBits_ += 8 * room;
        loadedBytes_ += room;
    }

    // Moves the chunk on so that it starts at the first byte not yet loaded.
    void fetch();

    ArchiveSource* source_ = nullptr;
    std::uint64_t sourceOffset_ = 0;
    std::vector<std::uint8_t> chunk_;
    bool readFailed_ = false;

    const std::uint8_t* bytes_ = nullptr; // the bytes in hand: all of them, or the current chunk
    std::size_t bytesStart_ = 0;          // where bytes_[0] lies among the member's bytes
    std::size_t available_ = 0;           // how many bytes_ holds
    std::size_t size_ = 0;                // the member's packed size

    std::uint64_t buffer_ = 0; // the next bits, from the top; the bits below bufferedBits_ are zero
    unsigned bufferedBits_ = 0;
    std::size_t loadedBytes_ = 0; // bytes taken into the buffer, zero bytes past the end included
};
