#include "data/texture_registry.h"

#include "base/load_stop.h"
#include "data/jpeg_image.h"
#include "data/resource_file.h"
#include "data/show_budget.h"
#include "data/show_data.h"
#include "data/tga_image.h"

#include <algorithm>
#include <cctype>
#include <new>

namespace {

// The first blank-delimited word, as a "%s" conversion reads it.
std::string_view firstWord(std::string_view line) {
    const auto isBlank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    const auto start = std::find_if_not(line.begin(), line.end(), isBlank);
    const auto end = std::find_if(start, line.end(), isBlank);
    return {start, end};
}

// Loads one picture of the list, within the show's budget: a read of the archive first, then its texture's
// memory, asked with the size from the picture's header before it is decoded. A picture left out for any
// other reason is named in the budget's messages with the reason.
void loadListedTexture(ShowData& show, TextureEntry& entry, std::string_view name, const std::string& what) {
    entry.path = "textures\\" + std::string(name);
    const std::string_view ending = name.size() >= 3 ? name.substr(name.size() - 3) : std::string_view{};
    const bool jpeg = ending == "jpg" || ending == "JPG";
    if (!jpeg && ending != "tga" && ending != "TGA") {
        show.budget.leaveOut(entry.path, "not a picture (a name ending in .jpg or .tga)");
        return;
    }
    if (!show.budget.take(BudgetNeed{}.add(BudgetItem::memberReads, 1), what))
        return;
    ResourceFile file;
    if (!file.open(entry.path, show.files)) {
        // The message a missing JPEG picture has always had; many of them make one line.
        if (jpeg && file.openResult() == ExtractResult::notFound)
            show.budget.leaveOut("ARCH:Can't load JPG file: " + entry.path, {});
        else
            show.budget.leaveOut(entry.path, describe(file.openResult()));
        return;
    }
    const PictureAdmission admit = [&show, &what](int width, int height) {
        return show.budget.take(BudgetNeed{}.add(BudgetItem::memory, textureBytes(width, height)), what);
    };
    std::string why;
    try {
        const std::span<const std::uint8_t> bytes{file.data(), file.size()};
        entry.texture =
            jpeg ? jpegTextureOf(bytes, admit, &entry.lit, &why) : tgaTextureOf(bytes, admit, &why);
    } catch (const std::bad_alloc&) {
        why = "not enough memory to decode it";
    }
    if (!why.empty())
        show.budget.leaveOut(entry.path, why);
}

} // namespace

void loadTextureList(ShowData& show, std::string_view listMemberName, const std::function<void()>& progress) {
    TextureRegistry& registry = show.textures;
    ResourceFile list;
    list.open(listMemberName, show.files); // a missing list reads as no lines at all
    char line[128];
    for (int lineNumber = 1; !loadStopRequested(); ++lineNumber) {
        const bool endedWithLineFeed = list.readLine(line, sizeof line);
        const std::string_view text = line;
        if (text.starts_with("END_TEXT"))
            break;
        const std::string_view name = firstWord(text);
        if (!name.empty()) {
            const std::string what = std::string(listMemberName) + " line " + std::to_string(lineNumber) +
                                     ": " + std::string(name);
            TextureEntry entry;
            // A picture the list names again is the same picture: it shares the texture (or the failure)
            // instead of being read, decoded and paid for once more.
            if (const TextureEntry* earlier = findTexture(registry, "textures\\" + std::string(name)))
                entry = *earlier;
            else
                loadListedTexture(show, entry, name, what);
            registry.push_back(std::move(entry));
            if (progress)
                progress();
        }
        if (!endedWithLineFeed)
            break;
    }
}

void loadTexture(ShowFiles& files, TextureEntry& entry, std::string_view name,
                 const PictureAdmission& admit) {
    entry.path = "textures\\" + std::string(name);
    const std::string_view ending = name.size() >= 3 ? name.substr(name.size() - 3) : std::string_view{};
    if (ending == "jpg" || ending == "JPG")
        entry.texture = createJpegTexture(files, entry.path, admit, &entry.lit);
    else if (ending == "tga" || ending == "TGA")
        entry.texture = createTgaTexture(files, entry.path, admit);
}

const TextureEntry* findTexture(const TextureRegistry& registry, std::string_view path) {
    const auto found = std::find_if(registry.begin(), registry.end(),
                                    [path](const TextureEntry& entry) { return entry.path == path; });
    return found == registry.end() ? nullptr : &*found;
}
