#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

// A file, or a folder with nothing stored below it, found in a folder given to `sdd a`.
struct TreeEntry {
    std::filesystem::path path;     // where it lies
    std::filesystem::path relative; // below the folder walked
    bool folder = false;            // an empty folder, stored as a folder entry so that it comes back
};

// Why a path in the tree is not stored: it could not be read (a folder that cannot be listed), or it is left
// out on purpose (a symbolic link may lead anywhere, or round in a circle; reading a pipe or a device could
// wait for ever).
enum class LeftOut { unreadable, link, special };

// Walks `folder` and everything below it, each folder in name order, and goes on past whatever it cannot
// read, so that one unreadable folder costs only itself. Every path it does not return is passed to
// `leftOut`, with what the system said where it could not be read. Files are returned whether or not they
// can be read: that shows only when they are.
std::vector<TreeEntry>
walkTree(const std::filesystem::path& folder,
         const std::function<void(const std::filesystem::path&, LeftOut, const std::string& why)>& leftOut);
