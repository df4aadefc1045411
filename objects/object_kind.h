#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

// What a line of an object script starts, outside any block. The values are the ones the show's tools have
// always used for the keywords.
enum class ObjectKind : std::uint8_t {
    none = 0, // any other line: ignored
    sphere = 1,
    billboard = 2,
    flare = 3,
    flame = 4,
    mesh = 5,
    particleSystem = 6,
    geometry = 7, // "geometry NAME": the mesh file the following meshes draw
    dir = 8,      // ignored like `none`
    endOfScript = 255,
};

// Tests the line's prefixes in a fixed order and returns the first that matches: "sphere", "billboard",
// "flare", "mesh", "flame", "ps", "ENDWORLD", "geometry", "dir". Any line starting with "ps" is a particle
// system, and "spheres" is still a sphere.
ObjectKind objectKindOf(std::string_view line);

// The keywords objectKindOf knows, in its order.
std::vector<std::string_view> objectLineKeywords();

// The keyword that starts a line of this kind ("sphere", "ps"...); empty for `none`.
std::string_view keywordOf(ObjectKind kind);
