#include "tools/sdd/member_selection.h"

#include "tools/sdd/command_report.h"
#include "tools/sdd/member_name.h"

bool MemberSelection::selects(std::string_view name) {
    bool any = patterns_.empty();
    for (std::size_t i = 0; i < patterns_.size(); ++i)
        if (patternSelects(patterns_[i], name))
            any = used_[i] = true;
    return any;
}

int MemberSelection::reportUnused(const std::string& archive) const {
    int unused = 0;
    for (std::size_t i = 0; i < patterns_.size(); ++i)
        if (!used_[i]) {
            ++unused;
            fail(archive, patterns_[i], "no member of that name");
        }
    return unused;
}
