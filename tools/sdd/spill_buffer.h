#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>
#include <vector>

// Bytes written once and then read back in order, kept in memory up to a limit and beyond it in a
// temporary file that has no name (it goes with the process, however that ends), in $TMPDIR or /tmp as
// other tools keep theirs: a packed member is written this way before its header, which holds its size, can
// go out. A file that cannot be made or written fails the buffer, with the reason in failure().
class SpillBuffer {
public:
    explicit SpillBuffer(std::size_t memoryLimit = 1u << 20) : memoryLimit_(memoryLimit) {}

    // False when the temporary file could not take them; every later call fails too.
    bool append(std::span<const std::uint8_t> bytes);
    // Why the buffer failed ("cannot write a temporary file in /tmp: No space left on device"), or empty.
    const std::string& failure() const { return failure_; }
    std::uint64_t size() const { return size_; }

    // The next bytes from the start, filling `into`; false when there are not as many.
    bool read(std::span<std::uint8_t> into);

private:
    struct FileCloser {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };

    std::size_t memoryLimit_;
    std::vector<std::uint8_t> memory_;
    std::unique_ptr<std::FILE, FileCloser> file_; // holds every byte once made
    std::uint64_t size_ = 0;
    std::uint64_t readAt_ = 0;
    bool reading_ = false;
    bool good_ = true;
    std::string failure_;

    bool fail(const char* what);
};
