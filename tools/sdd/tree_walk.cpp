#include "tools/sdd/tree_walk.h"

#include <algorithm>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using FoundReport = std::function<void(const fs::path&, const fs::path&, bool)>;
using LeftOutReport = std::function<void(const fs::path&, LeftOut, const std::string&)>;

enum class Kind { file, folder, link, other };

// What a folder holds, by name alone: a directory_entry keeps its whole path, folder by folder, which in a
// folder of thousands of files costs many times the names.
struct Child {
    std::string name;
    Kind kind;
};

Kind kindOf(const fs::directory_entry& entry) {
    std::error_code ignored;
    if (entry.is_symlink(ignored))
        return Kind::link;
    if (entry.is_directory(ignored))
        return Kind::folder;
    return entry.is_regular_file(ignored) ? Kind::file : Kind::other;
}

// Whether anything below `folder` was passed on.
bool walkFolder(const fs::path& folder, const fs::path& relative, const FoundReport& found,
                const LeftOutReport& leftOut) {
    std::error_code ec;
    std::vector<Child> children;
    for (fs::directory_iterator it(folder, ec); !ec && it != fs::directory_iterator(); it.increment(ec))
        children.push_back({it->path().filename().native(), kindOf(*it)});
    if (ec) {
        // What was listed before the error is still stored; the folder is named, since some of it is not.
        leftOut(folder, LeftOut::unreadable, ec.message());
        if (children.empty())
            return false;
    }
    std::ranges::sort(children, {}, &Child::name);
    bool any = false;
    for (const Child& child : children) {
        const fs::path path = folder / child.name;
        switch (child.kind) {
        case Kind::link:
            leftOut(path, LeftOut::link, {});
            break;
        case Kind::folder:
            any = walkFolder(path, relative / child.name, found, leftOut) || any;
            break;
        case Kind::file:
            found(path, relative / child.name, false);
            any = true;
            break;
        case Kind::other:
            leftOut(path, LeftOut::special, {});
            break;
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
