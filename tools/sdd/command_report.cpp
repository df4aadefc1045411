#include "tools/sdd/command_report.h"

#include "base/printable_text.h"
#include "data/rar20_format.h"
#include "tools/sdd/progress.h"

#include <cstdio>

std::string programName = "sdd";

void fail(const std::string& archive, std::string_view member, std::string_view reason) {
    clearProgressLine();
    const std::string where = printableText(archive);
    if (member.empty())
        std::fprintf(stderr, "%s: %s: %.*s\n", programName.c_str(), where.c_str(),
                     static_cast<int>(reason.size()), reason.data());
    else
        std::fprintf(stderr, "%s: %s: %s: %.*s\n", programName.c_str(), where.c_str(),
                     printableText(member).c_str(), static_cast<int>(reason.size()), reason.data());
}

std::string counted(std::uint64_t count, const char* thing) {
    return std::to_string(count) + " " + thing + (count == 1 ? "" : "s");
}

void reportTrailingBytes(const std::string& archive, std::uint64_t trailingBytes) {
    if (trailingBytes != 0)
        fail(archive, "",
             "warning: " + counted(trailingBytes, "byte") + " after the last whole member ignored");
}

bool isMainHeader(const MemberHeader& damage) {
    return damage.headerOffset == rar::markerSize;
}

void reportDamage(const std::string& archive, const MemberHeader& header, std::string_view consequence) {
    // A damaged header's name is only what its bytes say: where the walk landed inside packed data they are
    // noise, shown as a name hundreds of escapes long. A name is given only when it reads as one.
    const bool nameReadable = !header.name.empty() && printableText(header.name) == header.name;
    const std::string name = isMainHeader(header) ? "(main header)"
                             : nameReadable       ? header.name
                                                  : "(name unreadable)";
    std::string reason =
        std::string(describe(header.damage)) + " at byte " + std::to_string(header.headerOffset);
    if (header.damage == ExtractResult::packedDataPastEnd)
        reason += ", the archive ends inside this member";
    else
        reason += ", " + counted(header.damagedBytes, "byte") + " skipped";
    fail(archive, name, reason + std::string(consequence));
}
