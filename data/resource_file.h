#pragma once

#include "data/archive_member.h"
#include "data/show_files.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One archive member in memory with a read position: read line by line by the script loaders, byte by
// byte by the binary ones, or whole through data() and size().
class ResourceFile {
public:
    ResourceFile() = default;
    virtual ~ResourceFile() = default;

    // Extracts the member from the show's files (or from the archive or show folder at `showPath`, opened
    // for this one member). False, with nothing loaded, when the show or the member cannot be read. The
    // position starts at 0.
    bool open(std::string_view memberName, ShowFiles& files);
    bool open(std::string_view memberName, const std::string& showPath);

    // Why the last open failed (ok after one that did not): a loader's message about the member says it.
    ExtractResult openResult() const { return openResult_; }

    // Copies the next n bytes and advances past them. Past the end of the data the destination is filled
    // with zeros and the stream is at its end. Returns the number of bytes that came from the data.
    std::size_t read(void* destination, std::size_t n);

    // The next text line, leading spaces skipped and carriage returns dropped, cut to capacity - 1
    // characters (the rest of the line is consumed) and zero-terminated. True when the line ended with a
    // line feed, false when the data ran out first.
    bool readLine(char* buffer, std::size_t capacity);

    // True once a read or a line's look-ahead has gone past the last byte (or a seek has).
    bool atEnd() const { return exhausted_; }

    // origin 0: from the start; 1: from the current position; 2: back from the end. The position stays
    // within the data.
    void seek(long offset, int origin);

    void close();

    const std::string& name() const { return name_; }
    // Null when nothing is loaded.
    const std::uint8_t* data() const { return loaded_ ? bytes_.data() : nullptr; }
    std::uint32_t size() const { return static_cast<std::uint32_t>(bytes_.size()); }
    std::uint32_t position() const { return position_; }

private:
    // The next byte, or 0 with the stream marked exhausted when there is none.
    char takeByte();

    std::string name_;
    std::vector<std::uint8_t> bytes_;
    bool loaded_ = false;
    ExtractResult openResult_ = ExtractResult::ok;
    std::uint32_t position_ = 0;
    bool exhausted_ = true;
};
