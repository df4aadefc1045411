#pragma once

#include "data/archive_member.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Where a show's files come from: a packed archive, or a folder holding the same files unpacked, so that an
// author sees a changed script without packing the show first. Both find a file by the same rule
// (memberNameMatches: case-blind, with `\`, `/` and `_` alike) and refuse the same files (larger than
// largestMemberSize, a folder where a file was wanted).
class ShowSource {
public:
    virtual ~ShowSource() = default;

    // ok when the show can be read at all; otherwise why not (the archive is missing or is no archive).
    virtual ExtractResult status() const = 0;

    // Fills `out` with the file's bytes; on failure `out` is empty and the result says why.
    virtual ExtractResult fetch(std::string_view memberName, std::vector<std::uint8_t>& out) = 0;

    // The names of all the show's files in the form a script names them ("textures\earth.jpg"). The result
    // is ok, or why the listing stopped early; the names found until then are in `names` either way.
    virtual ExtractResult listFiles(std::vector<std::string>& names) = 0;
};

// Whether `path` names a folder (and so is shown as an unpacked show) rather than an archive.
bool isShowFolder(const std::string& path);

// The source for `path`: a folder source for a folder, an archive source for anything else. Never null;
// its status() says whether it can be read.
std::unique_ptr<ShowSource> openShowSource(const std::string& path);
