#include "tools/sdd/member_path.h"

#include <vector>

namespace {

// The non-empty components of a name, split at both separators; "." components are dropped.
std::vector<std::string_view> components(std::string_view name) {
    std::vector<std::string_view> parts;
    while (!name.empty()) {
        std::size_t end = name.find_first_of("\\/");
        std::string_view part = name.substr(0, end);
        if (!part.empty() && part != ".")
            parts.push_back(part);
        name = end == std::string_view::npos ? std::string_view{} : name.substr(end + 1);
    }
    return parts;
}

bool climbsOut(const std::vector<std::string_view>& parts) {
    for (std::string_view part : parts)
        if (part == "..")
            return true;
    return false;
}

} // namespace

bool holdsControlCharacter(std::string_view name) {
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto byte = static_cast<unsigned char>(name[i]);
        const bool c1 = byte == 0xC2 && i + 1 < name.size() &&
                        static_cast<unsigned char>(name[i + 1]) >= 0x80 &&
                        static_cast<unsigned char>(name[i + 1]) < 0xA0;
        if (byte < 0x20 || byte == 0x7F || c1)
            return true;
    }
    return false;
}

std::optional<std::filesystem::path> outputPathFor(std::string_view memberName, std::string& reason) {
    memberName = memberName.substr(0, memberName.find('\0'));
    if (!memberName.empty() && (memberName[0] == '\\' || memberName[0] == '/')) {
        reason = "absolute name";
        return std::nullopt;
    }
    if (memberName.size() >= 2 && memberName[1] == ':') {
        reason = "name with a drive";
        return std::nullopt;
    }
    std::vector<std::string_view> parts = components(memberName);
    if (climbsOut(parts)) {
        reason = "name with a \"..\" component";
        return std::nullopt;
    }
    if (parts.empty()) {
        reason = "empty name";
        return std::nullopt;
    }
    std::filesystem::path path;
    for (std::string_view part : parts)
        path /= std::filesystem::path(std::string(part));
    return path;
}

std::optional<std::string> memberNameFor(std::string_view filePath, std::string& reason) {
    std::vector<std::string_view> parts = components(filePath);
    if (climbsOut(parts)) {
        reason = "a path with \"..\" cannot be stored; run sdd from a folder above the file";
        return std::nullopt;
    }
    if (parts.empty()) {
        reason = "no file name";
        return std::nullopt;
    }
    std::string name;
    for (std::string_view part : parts) {
        if (!name.empty())
            name += '\\';
        name += part;
    }
    // What extraction would refuse is refused here, while a better name can still be given.
    std::string refusal = "name with control characters";
    if (!holdsControlCharacter(name) && outputPathFor(name, refusal))
        return name;
    reason = "sdd x would refuse a " + refusal + "; store it under another name with NAME=FILE";
    return std::nullopt;
}
