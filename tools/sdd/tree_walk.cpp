#include "tools/sdd/tree_walk.h"

#include <algorithm>
#include <vector>

namespace fs = std::filesystem;

namespace {

using FoundReport = std::function<void(const fs::path&, const fs::path&, bool)>;
using LeftOutReport = std::function<void(const fs::path&, LeftOut, const std::string&)>;

// Whether anything below `folder` was passed on.
bool walkFolder(const fs::path& folder, const fs::path& relative, const FoundReport& found,
                const LeftOutReport& leftOut) {
    std::error_code ec;
    std::vector<fs::directory_entry> entries;
    for (fs::directory_iterator it(folder, ec); !ec && it != fs::directory_iterator(); it.increment(ec))
        entries.push_back(*it);
    if (ec) {
        // What was listed before the error is still stored; the folder is named, since some of it is not.
        leftOut(folder, LeftOut::unreadable, ec.message());
        if (entries.empty())
            return false;
    }
    std::ranges::sort(entries, {}, [](const fs::directory_entry& e) { return e.path().filename(); });
    bool any = false;
    for (const fs::directory_entry& entry : entries) {
        std::error_code ignored;
        const fs::path below = relative / entry.path().filename();
        if (entry.is_symlink(ignored)) {
            leftOut(entry.path(), LeftOut::link, {});
        } else if (entry.is_directory(ignored)) {
            any = walkFolder(entry.path(), below, found, leftOut) || any;
        } else if (entry.is_regular_file(ignored)) {
            found(entry.path(), below, false);
            any = true;
        } else {
            leftOut(entry.path(), LeftOut::special, {});
        }
    }
    if (!any && !ec) {
        found(folder, relative, true);
        any = true;
    }
    return any;
}

} // namespace

void walkTree(const fs::path& folder, const FoundReport& found, const LeftOutReport& leftOut) {
    walkFolder(folder, {}, found, leftOut);
}
