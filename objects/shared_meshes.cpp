#include "objects/shared_meshes.h"

#include "objects/mesh_file.h"
#include "objects/show.h"

bool loadSharedMeshes(Show& show) {
    SharedMeshes& meshes = show.meshes;
    // A show that draws no sphere and no sky has no need of their meshes: only a damaged one is worth a word.
    const bool envLoaded =
        loadMeshFile(show, meshes.env, "meshes\\env.dat", false, {}, MissingMesh::unremarked);
    // The three sphere lists come from one reading of the file.
    MeshData sphere;
    if (!readMeshWithinBudget(show, "meshes\\sphere.dat", 3, "meshes\\sphere.dat", sphere,
                              MissingMesh::unremarked))
        return false;
    meshes.sphere = compileMeshList(sphere);
    MeshData noised = sphere;
    jitterVertices(noised);
    meshes.noisedSphere = compileMeshList(noised);
    meshes.atmosphere = compileAtmosphereList(sphere);
    return envLoaded && meshes.sphere != 0 && meshes.noisedSphere != 0 && meshes.atmosphere != 0;
}
