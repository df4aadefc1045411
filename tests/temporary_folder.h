#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <string_view>

// Makes a new, empty folder "PREFIX-<16 hex digits>" in the system's temporary folder and returns its path;
// an empty path when none can be made. The tests' stand-in for mkdtemp, which Windows does not have:
// creating the folder is the atomic step, so two test processes never share one.
inline std::filesystem::path makeTemporaryFolder(std::string_view prefix) {
    std::error_code error;
    const std::filesystem::path base = std::filesystem::temp_directory_path(error);
    if (error)
        return {};
    std::random_device entropy;
    std::mt19937_64 random(
        entropy() ^ static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[17];
        std::snprintf(suffix, sizeof suffix, "%016llx", static_cast<unsigned long long>(random()));
        const std::filesystem::path folder = base / (std::string(prefix) + "-" + suffix);
        if (std::filesystem::create_directory(folder, error))
            return folder;
        if (error)
            return {};
    }
    return {};
}
