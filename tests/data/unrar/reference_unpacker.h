#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

// What an independent unpacker made of an archive: every member by name ('/' between folders), or an error.
struct ReferenceExtraction {
    std::string error; // empty when every member was extracted
    std::map<std::string, std::vector<std::uint8_t>> members;
};

// Extracts with node-unrar-js (the reference unpacker compiled to WebAssembly) through
// tests/tools/unrar-extract.js. Node.js and the npm packages from scripts/install-deps must be there;
// their absence is an error, since without them nothing is cross-checked.
ReferenceExtraction extractWithNodeUnrar(const std::filesystem::path& archive,
                                         const std::filesystem::path& folder);

// Extracts with `unar` (Debian package unar).
ReferenceExtraction extractWithUnar(const std::filesystem::path& archive,
                                    const std::filesystem::path& folder);
