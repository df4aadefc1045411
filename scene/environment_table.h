#pragma once

#include "objects/object_list.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class Show;

// The backdrop a world is drawn in: objects drawn before the world's own (the first pass) and after them (the
// post pass). Worlds that name the same environment share its two lists.
struct Environment {
    static constexpr std::size_t maxNameLength =
        19; // longer names are cut, in "env.txt" and "worlds.txt" alike

    std::string name;
    ObjectList firstPass;
    ObjectList postPass;
};

// The environments in file order, kept for the whole run.
using EnvironmentTable = std::vector<std::unique_ptr<Environment>>;

// Reads the show's environment file ("env.txt") and appends one environment per block: a line "env NAME"
// starts it, every "firstpass SCRIPT" and "postpass SCRIPT" line reads that object script into the list of
// its name, and a line starting with "end" closes it. Other lines are ignored. "ENV_END" or the end of the
// data ends the file; a block the data cuts short is dropped. `progress` is called as readObjectScript calls
// it. False when the file cannot be read.
bool loadEnvironments(Show& show, EnvironmentTable& table, std::string_view fileName,
                      const std::function<void()>& progress = {});

// The keywords of an environment's block, as loadEnvironments takes them.
std::vector<std::string_view> environmentBlockKeywords();

// The first environment whose name is exactly `name` (case-sensitive); null when there is none.
Environment* findEnvironment(const EnvironmentTable& table, std::string_view name);
