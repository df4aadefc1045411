#include "objects/shared_meshes.h"

#include "objects/mesh_file.h"

GLuint envMesh = 0;
GLuint sphereMesh = 0;
GLuint noisedSphereMesh = 0;
GLuint atmosphereList = 0;
GLuint geometryMesh = 0;

bool loadSharedMeshes() {
    const bool envLoaded = loadMeshFile(envMesh, "meshes\\env.dat", false);
    // The three sphere lists come from one reading of the file.
    MeshData sphere;
    if (!readMeshWithinBudget("meshes\\sphere.dat", 3, "meshes\\sphere.dat", sphere))
        return false;
    sphereMesh = compileMeshList(sphere);
    MeshData noised = sphere;
    jitterVertices(noised);
    noisedSphereMesh = compileMeshList(noised);
    atmosphereList = compileAtmosphereList(sphere);
    return envLoaded && sphereMesh != 0 && noisedSphereMesh != 0 && atmosphereList != 0;
}
