#pragma once

#include "data/archive_source.h"
#include "data/show_source.h"

// A show packed into one archive on disk.
class ArchiveShowSource final : public ShowSource {
public:
    explicit ArchiveShowSource(const std::string& path) : file_(path) {}

    ExtractResult status() const override;
    ExtractResult fetch(std::string_view memberName, std::vector<std::uint8_t>& out) override;
    // Folder entries and headers too damaged to name a file are not listed.
    ExtractResult listFiles(std::vector<std::string>& names) override;

private:
    FileArchiveSource file_;
};
