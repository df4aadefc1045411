#pragma once

#include "data/archive_member.h"
#include "data/show_source.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The files of one show, opened once for as long as the show is loaded: an archive, whose headers are read
// once into an index so that no file costs a walk through the whole archive, or an unpacked folder
// (data/show_source.h). Default-constructed it holds no show, and every file is missing from it.
class ShowFiles {
public:
    ShowFiles() = default;
    explicit ShowFiles(std::string path);

    // The archive or folder as it was given ("--data PATH"), for messages.
    const std::string& path() const { return path_; }

    // ok when the show can be read at all; otherwise why not.
    ExtractResult status() const;

    // Fills `out` with the file's bytes; on failure `out` is empty and the result says why.
    ExtractResult fetch(std::string_view memberName, std::vector<std::uint8_t>& out);

    // While `log` is set, every name fetch is asked for is appended to it, found or not: a check of a show
    // learns which of its files something reads. Null stops it.
    void logFetchedNames(std::vector<std::string>* log) { log_ = log; }

private:
    std::string path_;
    std::unique_ptr<ShowSource> source_;
    std::vector<std::string>* log_ = nullptr;
};
