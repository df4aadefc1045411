#include "scene/world_list.h"

#include "objects/object_script_reader.h"
#include "objects/script_reader.h"
#include "objects/script_scan.h"

#include <algorithm>

namespace {

void useEnvironment(World& world, const EnvironmentTable& environments, std::string_view line) {
    std::string name;
    if (scanLine(line, "env %s", ScanWord{name, Environment::maxNameLength}) != 1)
        return;
    const Environment* environment = findEnvironment(environments, name);
    world.firstPass = environment ? &environment->firstPass : &emptyObjectList;
    world.postPass = environment ? &environment->postPass : &emptyObjectList;
}

void readObjects(World& world, std::string_view line, const std::function<void()>& progress) {
    std::string scriptName;
    if (scanLine(line, "objects %s", ScanWord{scriptName, scriptLineCapacity}) == 1)
        readObjectScript(world.objects, scriptName, progress);
}

} // namespace

bool loadWorlds(WorldList& list, const EnvironmentTable& environments, std::string_view fileName,
                const std::function<void()>& progress) {
    ScriptReader script;
    if (!script.open(fileName))
        return false;
    while (script.nextLine() && !script.lineStartsWith("WORLD_END")) {
        if (!script.lineStartsWith("world"))
            continue;
        auto world = std::make_unique<World>();
        scanLine(script.line(), "world %s", ScanWord{world->name, World::maxNameLength});
        const BlockKeyword keywords[] = {
            {"env", [&](ScriptReader& s) { useEnvironment(*world, environments, s.line()); }},
            {"objects", [&](ScriptReader& s) { readObjects(*world, s.line(), progress); }},
            flagKeyword("system", world->system),
            {"scenedir",
             [&](ScriptReader& s) {
                 scanLine(s.line(), "scenedir %s",
                          ScanWord{world->sceneDirection, World::maxSceneDirectionLength});
             }},
        };
        if (readBlockBody(script, keywords))
            list.push_back(std::move(world));
    }
    return true;
}

World* findWorld(const WorldList& list, std::string_view name) {
    const auto found =
        std::find_if(list.begin(), list.end(), [name](const auto& world) { return world->name == name; });
    return found == list.end() ? nullptr : found->get();
}
