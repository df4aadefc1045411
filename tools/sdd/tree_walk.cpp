#include "tools/sdd/tree_walk.h"

#include <algorithm>

namespace fs = std::filesystem;

namespace {

using LeftOutReport = std::function<void(const fs::path&, LeftOut, const std::string&)>;

void walkFolder(const fs::path& folder, const fs::path& relative, std::vector<TreeEntry>& found,
                const LeftOutReport& leftOut) {
    std::error_code ec;
    std::vector<fs::directory_entry> entries;
    for (fs::directory_iterator it(folder, ec); !ec && it != fs::directory_iterator(); it.increment(ec))
        entries.push_back(*it);
    if (ec) {
        // What was listed before the error is still stored; the folder is named, since some of it is not.
        leftOut(folder, LeftOut::unreadable, ec.message());
        if (entries.empty())
            return;
    }
    std::ranges::sort(entries, {}, [](const fs::directory_entry& e) { return e.path().filename(); });
    const std::size_t before = found.size();
    for (const fs::directory_entry& entry : entries) {
        std::error_code ignored;
        const fs::path below = relative / entry.path().filename();
        if (entry.is_symlink(ignored))
            leftOut(entry.path(), LeftOut::link, {});
        else if (entry.is_directory(ignored))
            walkFolder(entry.path(), below, found, leftOut);
        else if (entry.is_regular_file(ignored))
            found.push_back({entry.path(), below, false});
        else
            leftOut(entry.path(), LeftOut::special, {});
    }
    if (found.size() == before && !ec)
        found.push_back({folder, relative, true});
}

} // namespace

std::vector<TreeEntry> walkTree(const fs::path& folder, const LeftOutReport& leftOut) {
    std::vector<TreeEntry> found;
    walkFolder(folder, {}, found, leftOut);
    return found;
}
