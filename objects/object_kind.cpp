#include "objects/object_kind.h"

#include <array>
#include <utility>

namespace {

// The order matters only where prefixes could overlap; it is kept as the scripts were written against.
constexpr std::array<std::pair<std::string_view, ObjectKind>, 9> prefixes{{
    {"sphere", ObjectKind::sphere},
    {"billboard", ObjectKind::billboard},
    {"flare", ObjectKind::flare},
    {"mesh", ObjectKind::mesh},
    {"flame", ObjectKind::flame},
    {"ps", ObjectKind::particleSystem},
    {"ENDWORLD", ObjectKind::endOfScript},
    {"geometry", ObjectKind::geometry},
    {"dir", ObjectKind::dir},
}};

} // namespace

ObjectKind objectKindOf(std::string_view line) {
    for (const auto& [prefix, kind] : prefixes) {
        if (line.starts_with(prefix))
            return kind;
    }
    return ObjectKind::none;
}

std::vector<std::string_view> objectLineKeywords() {
    std::vector<std::string_view> keywords;
    for (const auto& [prefix, kind] : prefixes)
        keywords.push_back(prefix);
    return keywords;
}

std::string_view keywordOf(ObjectKind kind) {
    for (const auto& [prefix, k] : prefixes)
        if (k == kind)
            return prefix;
    return {};
}
