#include "check/show_check.h"

#include "check/script_faults.h"
#include "data/archive_reader.h"
#include "data/jpeg_header.h"
#include "data/resource_file.h"
#include "data/show_budget.h"
#include "data/show_source.h"
#include "data/texture_registry.h"
#include "data/tga_image.h"
#include "objects/mesh_file.h"
#include "objects/show.h"
#include "scene/environment_table.h"
#include "scene/world_list.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <memory>
#include <new>

namespace {

std::string inQuotes(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

std::string_view firstWord(std::string_view line) {
    const auto isBlank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    const auto start = std::find_if_not(line.begin(), line.end(), isBlank);
    return {start, std::find_if(start, line.end(), isBlank)};
}

// The picture's size from its header: the pixels it promises are what a run would decode and keep. A TGA
// file is decoded too, once its size is known to fit, since only decoding tells whether its pixels are there.
enum class PictureRead { ok, unreadable, tooLarge };

PictureRead readPicture(std::span<const std::uint8_t> bytes, bool jpeg, int& width, int& height,
                        std::string& why) {
    if (jpeg) {
        JpegHeader header;
        if (!readJpegHeader(bytes, header))
            return PictureRead::unreadable;
        width = header.width;
        height = header.height;
        return pictureSizeFits(width, height, &why) ? PictureRead::ok : PictureRead::tooLarge;
    }
    constexpr std::size_t tgaHeaderSize = 18;
    if (bytes.size() < tgaHeaderSize)
        return PictureRead::unreadable;
    width = bytes[12] | bytes[13] << 8;
    height = bytes[14] | bytes[15] << 8;
    if (!pictureSizeFits(width, height, &why))
        return PictureRead::tooLarge;
    TgaHeader header;
    try {
        return decodeTga(bytes, header) ? PictureRead::ok : PictureRead::unreadable;
    } catch (const std::bad_alloc&) {
        return PictureRead::unreadable;
    }
}

// The texture list, read as loadTextureList reads it, each picture checked as far as its header: there,
// where it is, is found everything that keeps it from the show. Every name gets an entry, so the scripts'
// "texture" lines find what the list names.
void checkTextureList(ShowData& show, std::vector<ShowFault>& faults) {
    const std::string listName = "texture.txt";
    ResourceFile list;
    if (!list.open(listName, show.files)) {
        faults.push_back({listName, 0,
                          std::string("cannot be read (") + describe(list.openResult()) +
                              "): list the show's pictures in it, one name a line"});
        return;
    }
    char line[128];
    for (int lineNumber = 1;; ++lineNumber) {
        const bool endedWithLineFeed = list.readLine(line, sizeof line);
        const std::string_view text = line;
        if (text.starts_with("END_TEXT"))
            break;
        const std::string_view name = firstWord(text);
        const auto fault = [&](std::string message) {
            faults.push_back({listName, lineNumber, std::move(message)});
        };
        if (!name.empty() && !findTexture(show.textures, "textures\\" + std::string(name))) {
            TextureEntry entry;
            entry.path = "textures\\" + std::string(name);
            show.textures.push_back(entry);
            const std::string_view ending = name.size() >= 3 ? name.substr(name.size() - 3) : "";
            const bool jpeg = ending == "jpg" || ending == "JPG";
            ResourceFile picture;
            int width = 0, height = 0;
            std::string why;
            PictureRead read = PictureRead::unreadable;
            if (!jpeg && ending != "tga" && ending != "TGA") {
                fault(inQuotes(name) + " is not a picture: name a .jpg or .tga file");
            } else if (!picture.open(entry.path, show.files)) {
                fault("missing picture " + inQuotes(entry.path) + " (" + describe(picture.openResult()) +
                      "): add it to the textures folder or remove the line");
            } else if (read = readPicture({picture.data(), picture.size()}, jpeg, width, height, why);
                       read == PictureRead::unreadable) {
                fault(inQuotes(entry.path) + " is not a readable " + (jpeg ? "JPEG" : "TGA") +
                      " picture: save it again as one");
            } else if (read == PictureRead::tooLarge) {
                fault("picture " + inQuotes(entry.path) + " is " + why + ": scale it down");
            } else {
                show.budget.take(BudgetNeed{}.add(BudgetItem::memory, textureBytes(width, height)),
                                 listName + " line " + std::to_string(lineNumber) + ": " + std::string(name));
            }
        }
        if (!endedWithLineFeed)
            break;
    }
}

// A README beside the show's files is for people who open the folder, not for the show.
bool isReadme(const std::string& file) {
    std::string upper;
    for (const char c : file)
        upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper.starts_with("README");
}

bool someNameReads(const std::vector<std::string>& opened, const std::string& file) {
    return std::any_of(opened.begin(), opened.end(),
                       [&file](const std::string& name) { return memberNameMatches(name, file); });
}

} // namespace

std::string describeFault(const ShowFault& fault) {
    if (fault.file.empty())
        return fault.message;
    if (fault.line == 0)
        return fault.file + ": " + fault.message;
    return fault.file + ":" + std::to_string(fault.line) + ": " + fault.message;
}

std::vector<ShowFault> checkShow(const std::string& path) {
    std::vector<ShowFault> faults;
    const std::unique_ptr<ShowSource> source = openShowSource(path);
    std::vector<std::string> files;
    const ExtractResult listed =
        source->status() == ExtractResult::ok ? source->listFiles(files) : source->status();
    if (listed != ExtractResult::ok) {
        std::error_code error;
        const std::string why =
            std::filesystem::exists(path, error) ? describe(listed) : "no such file or folder";
        faults.push_back(
            {path, 0,
             "cannot be read as a show (" + why + "): give --data a show's archive or its unpacked folder"});
        return faults;
    }

    Show show(path);
    std::vector<std::string> opened;
    show.files.logFetchedNames(&opened);
    ScriptFaults scriptFaults(faults);
    show.observer = &scriptFaults;

    checkTextureList(show, faults);
    // The files a run reads without any list naming them; none of them is required.
    MeshData sphere;
    readMeshWithinBudget(show, "meshes\\sphere.dat", 3, "meshes\\sphere.dat", sphere,
                         MissingMesh::unremarked);
    MeshData sky;
    readMeshWithinBudget(show, "meshes\\env.dat", 1, "meshes\\env.dat", sky, MissingMesh::unremarked);
    ResourceFile().open("music.ogg", show.files); // a show may be silent
    // A run that shows the loading screen says when one of its pictures is missing.
    for (const char* name : {"textures\\sign.jpg", "textures\\load.jpg"}) {
        ResourceFile picture;
        if (!picture.open(name, show.files))
            faults.push_back({name, 0,
                              std::string("missing (") + describe(picture.openResult()) +
                                  "): the loading screen shows it; add a JPEG picture of that name"});
    }

    EnvironmentTable environments;
    WorldList worlds;
    if (!loadEnvironments(show, environments, "env.txt")) {
        scriptFaults.noteMissingFile("env.txt");
        faults.push_back({"env.txt", 0,
                          "missing: add it, with a line ENV_END alone when the show needs no "
                          "environment"});
    }
    if (!loadWorlds(show, worlds, environments, "worlds.txt")) {
        scriptFaults.noteMissingFile("worlds.txt");
        faults.push_back({"worlds.txt", 0, "missing: a show needs its list of worlds"});
    } else if (worlds.empty())
        faults.push_back({"worlds.txt", 0, "no world: add a block \"world NAME\" ... \"end\""});

    show.observer = nullptr;
    show.files.logFetchedNames(nullptr);
    for (const std::string& message : show.budget.refusalMessages()) {
        const bool saidAlready = std::any_of(
            scriptFaults.missingFiles().begin(), scriptFaults.missingFiles().end(),
            [&message](const std::string& name) { return message.starts_with(name + " left out"); });
        if (!saidAlready)
            faults.push_back({"", 0, message});
    }
    for (const std::string& file : files)
        if (!isReadme(file) && !someNameReads(opened, file))
            faults.push_back({file, 0, "unused file: nothing in the show names it; name it or remove it"});
    return faults;
}

int runShowCheck(const std::string& path, std::ostream& out) {
    const std::vector<ShowFault> faults = checkShow(path);
    for (const ShowFault& fault : faults)
        out << describeFault(fault) << "\n";
    if (faults.empty())
        out << path << ": no faults\n";
    else
        out << path << ": " << faults.size() << (faults.size() == 1 ? " fault\n" : " faults\n");
    return faults.empty() ? 0 : 1;
}
