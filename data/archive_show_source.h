#pragma once

#include "data/archive_source.h"
#include "data/indexed_archive.h"
#include "data/show_source.h"

// A show packed into one archive on disk, kept open: its headers are walked once, and each file is then
// found in that index (data/indexed_archive.h).
class ArchiveShowSource final : public ShowSource {
public:
    explicit ArchiveShowSource(const std::string& path) : file_(path), archive_(file_) {}

    ExtractResult status() const override;
    ExtractResult fetch(std::string_view memberName, std::vector<std::uint8_t>& out) override;
    // Folder entries and headers too damaged to name a file are not listed.
    ExtractResult listFiles(std::vector<std::string>& names) override;

private:
    FileArchiveSource file_;
    IndexedArchive archive_; // reads file_, so it comes after it
};
