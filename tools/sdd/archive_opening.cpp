#include "tools/sdd/archive_opening.h"

#include "data/archive_reader.h"
#include "tools/sdd/command_report.h"

#include <cerrno>
#include <cstring>
#include <numeric>
#include <vector>

#include <sys/stat.h>

std::optional<FileArchiveSource> openArchive(const std::string& archive) {
    // An archive is read by seeking about in it, and opening a named pipe would wait for a writer for ever.
    struct stat status {};
    if (::stat(archive.c_str(), &status) == 0 && !S_ISREG(status.st_mode)) {
        fail(archive, "",
             "cannot read: not a regular file (a pipe, a device, a folder?); save it to a file first");
        return std::nullopt;
    }
    std::optional<FileArchiveSource> source(std::in_place, archive);
    if (!source->isOpen()) {
        fail(archive, "", std::string("cannot open: ") + std::strerror(errno));
        return std::nullopt;
    }
    return source;
}

std::uint64_t totalSize(ArchiveSource& source) {
    std::vector<MemberHeader> members;
    listMembers(source, members);
    return std::accumulate(members.begin(), members.end(), std::uint64_t{0},
                           [](std::uint64_t total, const MemberHeader& m) { return total + m.unpSize; });
}
