#include "data/texture_registry.h"

#include "data/jpeg_image.h"
#include "data/resource_file.h"
#include "data/show_budget.h"
#include "data/tga_image.h"

#include <algorithm>
#include <cctype>

TextureRegistry textureRegistry;

namespace {

// The first blank-delimited word, as a "%s" conversion reads it.
std::string_view firstWord(std::string_view line) {
    const auto isBlank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    const auto start = std::find_if_not(line.begin(), line.end(), isBlank);
    const auto end = std::find_if(start, line.end(), isBlank);
    return {start, end};
}

} // namespace

void loadTextureList(TextureRegistry& registry, std::string_view listMemberName,
                     const std::function<void()>& progress) {
    ResourceFile list;
    list.open(listMemberName); // a missing list reads as no lines at all
    char line[128];
    for (int lineNumber = 1;; ++lineNumber) {
        const bool endedWithLineFeed = list.readLine(line, sizeof line);
        const std::string_view text = line;
        if (text.starts_with("END_TEXT"))
            break;
        const std::string_view name = firstWord(text);
        if (!name.empty()) {
            const std::string what = std::string(listMemberName) + " line " + std::to_string(lineNumber) +
                                     ": " + std::string(name);
            TextureEntry entry;
            loadTexture(entry, name, [&what](int width, int height) {
                const std::uint64_t pixels = std::uint64_t(width) * std::uint64_t(height);
                return showBudget.take(BudgetNeed{}.add(BudgetItem::texturePixels, pixels), what);
            });
            registry.push_back(std::move(entry));
            if (progress)
                progress();
        }
        if (!endedWithLineFeed)
            break;
    }
}

void loadTexture(TextureEntry& entry, std::string_view name, const PictureAdmission& admit) {
    entry.path = "textures\\" + std::string(name);
    const std::string_view ending = name.size() >= 3 ? name.substr(name.size() - 3) : std::string_view{};
    if (ending == "jpg" || ending == "JPG")
        entry.texture = createJpegTexture(entry.path, admit, &entry.lit);
    else if (ending == "tga" || ending == "TGA")
        entry.texture = createTgaTexture(entry.path, admit);
}

const TextureEntry* findTexture(const TextureRegistry& registry, std::string_view path) {
    const auto found = std::find_if(registry.begin(), registry.end(),
                                    [path](const TextureEntry& entry) { return entry.path == path; });
    return found == registry.end() ? nullptr : &*found;
}
