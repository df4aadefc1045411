#include "data/archive_show_source.h"

ExtractResult ArchiveShowSource::status() const {
    return file_.isOpen() ? ExtractResult::ok : ExtractResult::notAnArchive;
}

ExtractResult ArchiveShowSource::fetch(std::string_view memberName, std::vector<std::uint8_t>& out) {
    out = {};
    if (!file_.isOpen())
        return ExtractResult::notAnArchive;
    return archive_.fetch(memberName, out);
}

ExtractResult ArchiveShowSource::listFiles(std::vector<std::string>& names) {
    names.clear();
    if (!file_.isOpen())
        return ExtractResult::notAnArchive;
    if (archive_.status() != ExtractResult::ok)
        return archive_.status();
    for (const MemberHeader& member : archive_.members()) {
        if (member.damage == ExtractResult::ok && !member.isFolder())
            names.push_back(member.name);
    }
    return archive_.walkResult();
}
