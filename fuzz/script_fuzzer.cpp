// Object scripts, env.txt and worlds.txt: any text must load without reading outside a buffer, without
// hanging on a missing end keyword and without leaving a field longer than it may be. The input is split at
// its first two zero bytes into env.txt, worlds.txt and the object script "a.txt" they may name.
#include "data/resource_file.h"
#include "data/show_budget.h"
#include "objects/object_script_reader.h"
#include "objects/show.h"
#include "scene/environment_table.h"
#include "scene/world_list.h"
#include "tools/sdd/archive_writer.h"

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

std::span<const std::uint8_t> bytesOf(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// One archive file per fuzzing process, rewritten for every input: the loaders read members from a file.
const std::string& archivePath() {
    static const std::string path = "/tmp/heliox-script-fuzzer-" + std::to_string(getpid()) + ".sdd";
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::size_t first = input.find('\0');
    std::size_t second = first == std::string_view::npos ? first : input.find('\0', first + 1);
    std::string_view env = input.substr(0, first);
    std::string_view worlds =
        first == std::string_view::npos ? std::string_view{} : input.substr(first + 1, second - first - 1);
    std::string_view script =
        second == std::string_view::npos ? std::string_view{} : input.substr(second + 1);

    ArchiveWriter writer;
    writer.addStored("env.txt", bytesOf(env));
    writer.addStored("worlds.txt", bytesOf(worlds));
    writer.addStored("a.txt", bytesOf(script));
    if (!writer.save(archivePath()))
        return 0;

    // Each input is a show of its own, its objects freed with it once checked.
    Show show(archivePath());
    EnvironmentTable environments;
    WorldList worldList;
    loadEnvironments(show, environments, "env.txt");
    loadWorlds(show, worldList, environments, "worlds.txt");
    for (const auto& environment : environments)
        if (environment->name.size() > Environment::maxNameLength)
            std::abort();
    for (const auto& world : worldList) {
        if (world->name.size() > World::maxNameLength || !world->firstPass || !world->postPass)
            std::abort();
        for (const SceneObject* object : world->objects)
            if (object->name.size() > SceneObject::maxNameLength)
                std::abort();
    }
    return 0;
}
