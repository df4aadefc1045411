#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>

// Random access to an archive's bytes, on disk or already in memory. The reader reads block headers and the
// packed data of the members it decodes and nothing else, so opening one member of a large archive on disk
// costs little more than that member.
class ArchiveSource {
public:
    virtual ~ArchiveSource() = default;
    virtual std::uint64_t size() const = 0;
    // Fills `into` with the bytes at `offset`; false when they are not all there or cannot be read.
    virtual bool read(std::uint64_t offset, std::span<std::uint8_t> into) = 0;
};

class MemoryArchiveSource final : public ArchiveSource {
public:
    explicit MemoryArchiveSource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::uint64_t size() const override { return bytes_.size(); }
    bool read(std::uint64_t offset, std::span<std::uint8_t> into) override;

private:
    std::span<const std::uint8_t> bytes_;
};

class FileArchiveSource final : public ArchiveSource {
public:
    // Opens the file for reading; isOpen() tells whether that worked.
    explicit FileArchiveSource(const std::string& path);
    bool isOpen() const { return file_ != nullptr; }
    std::uint64_t size() const override { return size_; }
    bool read(std::uint64_t offset, std::span<std::uint8_t> into) override;

private:
    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, Closer> file_;
    std::uint64_t size_ = 0;
};
