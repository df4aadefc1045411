#include "data/archive_show_source.h"

#include "data/archive_reader.h"

ExtractResult ArchiveShowSource::status() const {
    return file_.isOpen() ? ExtractResult::ok : ExtractResult::notAnArchive;
}

ExtractResult ArchiveShowSource::fetch(std::string_view memberName, std::vector<std::uint8_t>& out) {
    out = {};
    if (!file_.isOpen())
        return ExtractResult::notAnArchive;
    return extractMemberWithReason(memberName, file_, out);
}

ExtractResult ArchiveShowSource::listFiles(std::vector<std::string>& names) {
    names.clear();
    if (!file_.isOpen())
        return ExtractResult::notAnArchive;
    std::vector<MemberHeader> members;
    const ExtractResult result = listMembers(file_, members);
    for (const MemberHeader& member : members) {
        if (member.damage == ExtractResult::ok && !member.isFolder())
            names.push_back(member.name);
    }
    return result;
}
