#include "objects/show.h"

#include "objects/scene_object.h"

Show::Show() = default;

Show::Show(std::string path) : ShowData(std::move(path)) {}

Show::~Show() = default;
