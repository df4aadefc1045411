#include "tools/sdd/name_clash.h"

#include <map>

std::string sameFileKey(std::string_view name) {
    std::string key(name);
    for (char& c : key)
        if (c == '/')
            c = '\\';
    return key;
}

std::vector<std::pair<std::size_t, std::size_t>> caseOnlyClashes(const std::vector<std::string>& names) {
    // ASCII letters only: how other scripts fold differs between those systems, and this is a warning.
    std::map<std::string, std::size_t> firstByFoldedName;
    std::vector<std::pair<std::size_t, std::size_t>> clashes;
    for (std::size_t i = 0; i < names.size(); ++i) {
        std::string folded = sameFileKey(names[i]);
        for (char& c : folded)
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
        const auto [first, isNew] = firstByFoldedName.emplace(std::move(folded), i);
        if (!isNew && sameFileKey(names[first->second]) != sameFileKey(names[i]))
            clashes.emplace_back(i, first->second);
    }
    return clashes;
}
