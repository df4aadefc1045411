#pragma once

#include "math/vec3.h"

#include <GL/gl.h>

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

struct ShowData;

// A triangle mesh as a ".dat" file stores it. The file is little-endian with no padding: the counts V, F and
// T (unsigned 32-bit), then V vertices (x, y, z floats), F vertex-index triples, F texture-index triples, T
// texture coordinates (u, v floats) and for every face the normals of its three corners (3 × x, y, z floats).
// Positions and texture coordinates are shared through the indices; normals belong to the face's corners, so
// a file can shade flat or smooth.
struct MeshTexCoord {
    float u = 0;
    float v = 0;
};

struct MeshFace {
    std::array<std::uint32_t, 3> vertices{}; // corners a, b, c
    std::array<std::uint32_t, 3> texCoords{};
    std::array<Vec3, 3> normals{};
};

struct MeshData {
    std::vector<Vec3> vertices;
    std::vector<MeshTexCoord> texCoords;
    std::vector<MeshFace> faces;
};

// The size of a file with these counts: 12 + 12V + 60F + 8T bytes.
std::uint64_t meshFileSize(std::uint32_t vertexCount, std::uint32_t faceCount, std::uint32_t texCoordCount);

// Decodes a mesh file. False, leaving `mesh` as it was, when the bytes are not exactly as many as the counts
// say or an index is at or above its count: such a file is damaged, and drawing it would read outside it.
bool decodeMeshFile(std::span<const std::uint8_t> bytes, MeshData& mesh);

// decodeMeshFile on a file of the show; false also when the file cannot be read.
bool readMeshFile(ShowData& show, std::string_view memberName, MeshData& mesh);

// Slides every vertex by up to 2.6 degrees about a random axis through the origin, drawing the axis and then
// the angle for each vertex in turn: a unit sphere stays a unit sphere, but an irregular one.
void jitterVertices(MeshData& mesh);

// Compiles the mesh into a new display list: for every face in file order and every corner a, b, c its
// normal, texture coordinate and vertex, as triangles. 0 when GL has no list name to give.
GLuint compileMeshList(const MeshData& mesh);

// The same, with the colour (1, 1, 1, 3x² − 0.6) set before each corner, x being the corner vertex's x.
// Turned so that its x axis points at the viewer, a unit sphere drawn with this list is opaque in the middle
// and fades out before the silhouette (GL clamps the alpha into 0..1): an atmosphere.
GLuint compileAtmosphereList(const MeshData& mesh);

// The triangles in a list made by compileMeshList or compileAtmosphereList; 0 for any other name.
std::uint64_t compiledTriangleCount(GLuint list);

// Reads the mesh file `memberName` within the show's budget, for `lists` display lists to be compiled from
// it: its triangles and memory are asked with the counts at the front of the file before anything is decoded
// (`what` names the file or the script line for the budget's message). A file that is missing or damaged is
// named in the budget's messages with the reason, except a missing one when `missing` says so. False when
// the mesh is not there to use.
enum class MissingMesh { remarked, unremarked };
bool readMeshWithinBudget(ShowData& show, std::string_view memberName, int lists, std::string_view what,
                          MeshData& mesh, MissingMesh missing = MissingMesh::remarked);

// Reads the mesh file `memberName` within the show's budget, jitters it when asked, and compiles it into a
// new display list stored in `displayList`. Lists made before stay valid for the objects that took them.
// False, with `displayList` as it was, when the file is missing or damaged or no list could be made; false
// with `displayList` 0 when it does not fit in the show's budget (`what` names the file for that message, or
// else `memberName`).
bool loadMeshFile(ShowData& show, GLuint& displayList, std::string_view memberName, bool jitter,
                  std::string_view what = {}, MissingMesh missing = MissingMesh::remarked);
