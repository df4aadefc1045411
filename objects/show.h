#pragma once

#include "data/show_data.h"
#include "objects/camera.h"
#include "objects/mesh_file.h"
#include "objects/script_parse_state.h"
#include "objects/shared_meshes.h"
#include "overlay/glyphs.h"

#include <memory>
#include <string>
#include <vector>

class SceneObject;
class ScriptObserver;

// One loaded show: what the loaders fill, in the order the saver run calls them, and what every frame then
// reads. Loaders take it; objects are handed it while they update and draw. Nothing of a show outlives it,
// so a second show (a second run, the next input of a fuzzer) starts from nothing. GL names are not deleted
// with it: they belong to the context they were made in, which frees them when it goes.
class Show : public ShowData {
public:
    // A show with no files: every file is missing from it.
    Show();
    // The show in the archive or unpacked folder at `path`, opened now and read from as the loaders ask.
    explicit Show(std::string path);
    ~Show();
    Show(const Show&) = delete;
    Show& operator=(const Show&) = delete;

    Camera camera;
    // The world clock that spheres orbit, circle their planets and build themselves by: seconds of show,
    // unscaled by the camera's speed. 0 when the show starts; the saver run advances it by each frame's step.
    double worldTime = 0;
    SharedMeshes meshes;
    // The unit sphere "meshes\sphere.dat" kept in memory for the wire build-up (objects/wire_sphere.h).
    MeshData wireSphere;
    ScriptParseState parseState;
    // Every object the object scripts made; object lists only point at them.
    std::vector<std::unique_ptr<SceneObject>> objects;
    Glyphs glyphs;
    // Told what the readers make of the show's lines while it is checked instead of shown; null while it
    // runs (objects/script_reader.h).
    ScriptObserver* observer = nullptr;
};
