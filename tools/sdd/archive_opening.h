#pragma once

#include "data/archive_source.h"

#include <cstdint>
#include <optional>
#include <string>

// The archive a reading command (l, t, x, p) works on, opened; empty after saying why it cannot be.
std::optional<FileArchiveSource> openArchive(const std::string& archive);

// The bytes the members hold in all, for the progress of a run through them.
std::uint64_t totalSize(ArchiveSource& source);
