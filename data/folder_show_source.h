#pragma once

#include "data/show_source.h"

#include <filesystem>

// A show unpacked into a folder. Only what lies inside the folder is read: a name cannot climb out with
// "..", since it is matched against the files found inside rather than joined to the folder's path, and a
// symbolic link whose target lies outside the folder is refused (outsideFolder). Links to folders are not
// followed at all. The walk stops after `maxEntries` entries and `maxDepth` levels, so a huge or looping
// tree cannot hang a load.
class FolderShowSource final : public ShowSource {
public:
    static constexpr std::size_t maxEntries = 10'000;
    static constexpr int maxDepth = 8;

    explicit FolderShowSource(const std::string& path);

    ExtractResult status() const override;
    ExtractResult fetch(std::string_view memberName, std::vector<std::uint8_t>& out) override;
    ExtractResult listFiles(std::vector<std::string>& names) override;

private:
    struct Entry {
        std::string name; // relative to the folder, with `\` between the parts, as an archive stores it
        std::filesystem::path path;
        ExtractResult use = ExtractResult::ok; // notAFile for a folder, outsideFolder for a link leading out
    };
    // Every entry of the folder sorted by name, so that the first match does not depend on the order the
    // system lists a folder in. False when the walk stopped early (too many entries, an unreadable folder).
    bool walk(std::vector<Entry>& entries) const;
    bool insideRoot(const std::filesystem::path& path) const;

    std::filesystem::path root_; // canonical; empty when the folder cannot be used
};
