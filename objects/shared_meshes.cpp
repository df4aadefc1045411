#include "objects/shared_meshes.h"

#include "objects/mesh_file.h"

GLuint envMesh = 0;
GLuint sphereMesh = 0;
GLuint noisedSphereMesh = 0;
GLuint atmosphereList = 0;
GLuint geometryMesh = 0;

bool loadSharedMeshes() {
    // A show that draws no sphere and no sky has no need of their meshes: only a damaged one is worth a word.
    const bool envLoaded = loadMeshFile(envMesh, "meshes\\env.dat", false, {}, MissingMesh::unremarked);
    // The three sphere lists come from one reading of the file.
    MeshData sphere;
    if (!readMeshWithinBudget("meshes\\sphere.dat", 3, "meshes\\sphere.dat", sphere, MissingMesh::unremarked))
        return false;
    sphereMesh = compileMeshList(sphere);
    MeshData noised = sphere;
    jitterVertices(noised);
    noisedSphereMesh = compileMeshList(noised);
    atmosphereList = compileAtmosphereList(sphere);
    return envLoaded && sphereMesh != 0 && noisedSphereMesh != 0 && atmosphereList != 0;
}
