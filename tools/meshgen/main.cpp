// meshgen OUTPUT_FOLDER: writes the show's meshes under OUTPUT_FOLDER/meshes, the folder the data archive
// keeps them in. The same program always writes the same bytes, so the archive built from them is
// reproducible.

#include "tools/meshgen/asteroid_mesh.h"
#include "tools/meshgen/mesh_file_writer.h"
#include "tools/meshgen/ring_mesh.h"
#include "tools/meshgen/sphere_mesh.h"
#include "tools/meshgen/station_mesh.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: meshgen OUTPUT_FOLDER\n");
        return 2;
    }
    const std::filesystem::path meshes = std::filesystem::path(argv[1]) / "meshes";
    const std::pair<std::string, MeshData> files[] = {
        // 64 steps around keep the outline of a planet 1000 pixels across within two thirds of a pixel of a
        // circle,
        // at less than half the vertices of 96 steps: every sphere of the show is lit vertex by vertex, and
        // on a software rasterizer that work is a large part of a frame.
        {"sphere.dat", unitSphereMesh(32, 64)},
        // The sky is drawn from inside with its front faces culled, so it keeps the outward winding.
        {"env.dat", unitSphereMesh(skyMeshStacks, skyMeshSlices)},
        // Saturn's rings, in units of the planet's radius.
        {"ring.dat", ringMesh(1.25f, 2.3f, 128)},
        {"asteroid1.dat", asteroidMesh(1)},
        {"asteroid2.dat", asteroidMesh(2)},
        {"asteroid3.dat", asteroidMesh(3)},
        {"station_hub.dat", stationHubMesh()},
        {"station_ring.dat", stationRingMesh()},
    };
    for (const auto& [name, mesh] : files) {
        if (!writeMeshFile(meshes / name, mesh)) {
            std::fprintf(stderr, "meshgen: cannot write %s\n", (meshes / name).string().c_str());
            return 1;
        }
    }
    return 0;
}
