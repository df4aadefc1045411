#pragma once

#include "data/show_budget.h"
#include "data/show_files.h"
#include "data/texture_registry.h"

#include <string>
#include <utility>

// What this layer keeps of a loaded show, and what its loaders read and fill: the show's files, opened once,
// the budget every loader draws on, and the textures. The objects' Show (objects/show.h) holds the rest.
struct ShowData {
    ShowData() = default;
    explicit ShowData(std::string path) : files(std::move(path)) {}

    ShowFiles files;
    ShowBudget budget;
    TextureRegistry textures;
};
