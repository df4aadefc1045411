#pragma once

#include "objects/object_list.h"
#include "scene/environment_table.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The pass lists of a world without a known environment: it shows only its own objects.
inline const ObjectList emptyObjectList;

// One complete scene: its own objects, the environment's objects drawn before and after them, and the
// lighting.
struct World {
    static constexpr std::size_t maxNameLength = 19;
    static constexpr std::size_t maxSceneDirectionLength = 49;

    ObjectList objects;
    // The environment's lists themselves, not copies; never null.
    const ObjectList* firstPass = &emptyObjectList;
    const ObjectList* postPass = &emptyObjectList;
    std::string sceneDirection; // "scenedir": kept with the world, read by nothing
    std::string name = " ";
    bool system = false; // lit by a point light at the Sun instead of a distant one
};

// The worlds in file order, kept for the whole run.
using WorldList = std::vector<std::unique_ptr<World>>;

// Reads the show's world file ("worlds.txt") and appends one world per block. A line "world NAME" starts it;
// inside, every line is tested against each keyword: "env NAME" takes the pass lists of that environment from
// `environments` (an unknown name gives empty ones), "objects SCRIPT" reads that object script into the
// world's objects, "system" sets the flag and "scenedir WORD" the scene direction; a line starting with "end"
// closes it. "WORLD_END" or the end of the data ends the file; a block the data cuts short is dropped.
// `progress` is called as readObjectScript calls it. False when the file cannot be read.
bool loadWorlds(Show& show, WorldList& list, const EnvironmentTable& environments, std::string_view fileName,
                const std::function<void()>& progress = {});

// The keywords of a world's block, as loadWorlds takes them.
std::vector<std::string_view> worldBlockKeywords();

// The first world whose name is exactly `name` (case-sensitive); null when there is none.
World* findWorld(const WorldList& list, std::string_view name);
