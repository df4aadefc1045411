#include "app/show_archive.h"

#include "base/printable_text.h"
#include "data/archive_reader.h"
#include "data/resource_file.h"
#include "data/show_source.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#ifndef HELIOX_INSTALLED_DATA
#define HELIOX_INSTALLED_DATA "data.sdd"
#endif

std::string showArchivePath(const RunOptions& options) {
    return options.dataPath.empty() ? HELIOX_INSTALLED_DATA : options.dataPath;
}

namespace {

// An unpacked show: usable when its folder can be walked; a missing file shows up as that file's message.
bool useShowFolder(const std::string& path, std::ostream& errors) {
    const std::unique_ptr<ShowSource> source = openShowSource(path);
    std::vector<std::string> names;
    const ExtractResult result =
        source->status() == ExtractResult::ok ? source->listFiles(names) : source->status();
    if (result != ExtractResult::ok) {
        errors << "heliox: " << printableText(path) << ": cannot read the show's folder: " << describe(result)
               << "\n";
        return false;
    }
    return true;
}

} // namespace

bool showArchiveReadable(const std::string& path, std::ostream& errors) {
    if (isShowFolder(path))
        return useShowFolder(path, errors);
    FileArchiveSource source(path);
    if (!source.isOpen()) {
        // The system's reason (no such file, permission denied...) and, where there is a command line to give
        // another, where the show was expected.
        errno = 0;
        if (std::FILE* file = std::fopen(path.c_str(), "rb"))
            std::fclose(file);
        const int reason = errno;
        errors << "heliox: " << printableText(path) << ": cannot open the show's archive";
        if (reason != 0)
            errors << ": " << std::strerror(reason);
#ifndef _WIN32
        errors << " (the installed show is " << HELIOX_INSTALLED_DATA << "; --data FILE shows another)";
#endif
        errors << "\n";
        return false;
    }
    std::vector<MemberHeader> members;
    ExtractResult walk = listMembers(source, members);
    if (walk != ExtractResult::ok) {
        errors << "heliox: " << printableText(path) << ": " << describe(walk) << "\n";
        return false;
    }
    return true;
}

void reportNoWorld(const std::string& path, std::ostream& errors) {
    // Members of a damaged archive fail one by one as the walk through its headers cannot tell: the list of
    // worlds says which it is.
    ResourceFile worlds;
    errors << "heliox: " << printableText(path) << ": no world to show";
    if (worlds.open("worlds.txt", path))
        errors << " (\"worlds.txt\" names none that could be loaded)\n";
    else if (worlds.openResult() == ExtractResult::notFound)
        errors << " (\"worlds.txt\" is missing)\n";
    else if (isShowFolder(path))
        errors << " (\"worlds.txt\": " << describe(worlds.openResult()) << ")\n";
    else
        errors << ": the archive is damaged (\"worlds.txt\": " << describe(worlds.openResult()) << ")\n";
}
