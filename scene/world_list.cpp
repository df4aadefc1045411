#include "scene/world_list.h"

#include "objects/object_script_reader.h"
#include "objects/script_reader.h"
#include "objects/script_scan.h"

#include <algorithm>

namespace {

void useEnvironment(World& world, const EnvironmentTable& environments, const ScriptReader& script) {
    std::string name;
    if (scanLine(script.line(), "env %s", ScanWord{name, Environment::maxNameLength}) != 1)
        return;
    const Environment* environment = findEnvironment(environments, name);
    if (!environment && script.observer())
        script.observer()->unresolvedName(script, "environment", name);
    world.firstPass = environment ? &environment->firstPass : &emptyObjectList;
    world.postPass = environment ? &environment->postPass : &emptyObjectList;
}

void readObjects(World& world, const ScriptReader& script, const std::function<void()>& progress) {
    std::string scriptName;
    if (scanLine(script.line(), "objects %s", ScanWord{scriptName, scriptLineCapacity}) == 1 &&
        !readObjectScript(script.show(), world.objects, scriptName, progress) && script.observer())
        script.observer()->unresolvedName(script, "script", scriptName);
}

// The settings of a world's block.
std::vector<BlockKeyword> worldKeywords(World& world, const EnvironmentTable& environments,
                                        const std::function<void()>& progress) {
    return {
        {"env", [&](ScriptReader& s) { useEnvironment(world, environments, s); }},
        {"objects", [&](ScriptReader& s) { readObjects(world, s, progress); }},
        flagKeyword("system", world.system),
        {"scenedir",
         [&world](ScriptReader& s) {
             scanLine(s.line(), "scenedir %s",
                      ScanWord{world.sceneDirection, World::maxSceneDirectionLength});
         }},
    };
}

const std::vector<std::string_view> worldFileKeywords{"world", "WORLD_END"};

} // namespace

std::vector<std::string_view> worldBlockKeywords() {
    World world;
    return keywordPrefixes(worldKeywords(world, {}, {}));
}

bool loadWorlds(Show& show, WorldList& list, const EnvironmentTable& environments, std::string_view fileName,
                const std::function<void()>& progress) {
    ScriptReader script(show);
    if (!script.open(fileName))
        return false;
    while (script.nextLine() && !script.lineStartsWith("WORLD_END")) {
        if (!script.lineStartsWith("world")) {
            if (script.observer())
                script.observer()->unknownLine(script, worldFileKeywords);
            continue;
        }
        auto world = std::make_unique<World>();
        scanLine(script.line(), "world %s", ScanWord{world->name, World::maxNameLength});
        if (readBlockBody(script, worldKeywords(*world, environments, progress)))
            list.push_back(std::move(world));
    }
    return true;
}

World* findWorld(const WorldList& list, std::string_view name) {
    const auto found =
        std::find_if(list.begin(), list.end(), [name](const auto& world) { return world->name == name; });
    return found == list.end() ? nullptr : found->get();
}
