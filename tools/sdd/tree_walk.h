#pragma once

#include <filesystem>
#include <functional>
#include <string>

// Why a path in the tree is not stored: it could not be read (a folder that cannot be listed), or it is left
// out on purpose (a symbolic link may lead anywhere, or round in a circle; reading a pipe or a device could
// wait for ever).
enum class LeftOut { unreadable, link, special };

// Walks `folder` and everything below it, each folder in name order, and goes on past whatever it cannot
// read, so that one unreadable folder costs only itself. Each file, and each folder with nothing stored below
// it (stored as a folder entry so that it comes back), is passed to `found` with where it lies and its path
// below `folder`, as it is met: a tree of tens of thousands of files is never held here, and the caller keeps
// only what it needs of each. Every path not passed on goes to `leftOut`, with what the system said where it
// could not be read. Files are passed whether or not they can be read: that shows only when they are.
void walkTree(
    const std::filesystem::path& folder,
    const std::function<void(const std::filesystem::path& path, const std::filesystem::path& relative,
                             bool emptyFolder)>& found,
    const std::function<void(const std::filesystem::path&, LeftOut, const std::string& why)>& leftOut);
