#include "objects/mesh_file.h"
#include "objects/show.h"

#include "math/random.h"
#include "objects/shared_meshes.h"
#include "tests/app/headless/gl_test_context.h"
#include "tests/data/test_archive.h"
#include "tests/math/expect_near.h"
#include "tests/objects/test_meshes.h"
#include "tools/meshgen/mesh_file_writer.h"

#include <cmath>
#include <numbers>

// Mesa's software rasteriser keeps the state it builds for feedback mode after its context is gone. That
// memory is the driver's; the sanitizer builds would otherwise report it as our leak.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:swrast_dri.so\n";
}

namespace {

// A corner as GL hands it back in feedback mode, in the mesh's own coordinates.
struct FedCorner {
    Vec3 position;
    float alpha;
    float u;
    float v;
};

float angleDegrees(Vec3 a, Vec3 b) {
    return std::acos(std::clamp(dot(a, b) / (length(a) * length(b)), -1.0f, 1.0f)) * 180 /
           std::numbers::pi_v<float>;
}

} // namespace

class MeshFileTest : public GlTest {
protected:
    // Calls the list in feedback mode and returns the corners of its triangles in order. The model-view
    // matrix halves the mesh so a unit sphere lies well inside the clip volume; the positions are scaled
    // back.
    static std::vector<FedCorner> feedBack(GLuint list) {
        std::vector<GLfloat> buffer(1 << 16);
        glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
        glRenderMode(GL_FEEDBACK);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glScalef(0.5f, 0.5f, 0.5f);
        glCallList(list);
        glPopMatrix();
        const GLint count = glRenderMode(GL_RENDER);
        EXPECT_GE(count, 0) << "feedback buffer too small";

        const float half = surfaceWidth / 2.0f;
        std::vector<FedCorner> corners;
        for (GLint at = 0; at < count;) {
            EXPECT_EQ(buffer[at], GL_POLYGON_TOKEN);
            const int vertices = static_cast<int>(buffer[at + 1]);
            at += 2;
            for (int i = 0; i < vertices; ++i, at += 11) {
                const GLfloat* f = &buffer[at];
                corners.push_back(
                    {.position = {2 * (f[0] / half - 1), 2 * (f[1] / half - 1), 2 * (2 * f[2] - 1)},
                     .alpha = f[6],
                     .u = f[7],
                     .v = f[8]});
            }
        }
        return corners;
    }
};

TEST_F(MeshFileTest, OneTriangleFileIs132BytesAndCompilesItsCornersInOrder) {
    const MeshData mesh = oneTriangleMesh();
    const std::vector<std::uint8_t> bytes = meshFileBytes(mesh);
    ASSERT_EQ(bytes.size(), 132u);
    TestArchive archive({{"meshes\\tri.dat", bytes}});
    Show show(archive.path());

    GLuint list = 0;
    ASSERT_TRUE(loadMeshFile(show, list, "meshes\\tri.dat", false));
    ASSERT_NE(list, 0u);
    const std::vector<FedCorner> corners = feedBack(list);
    ASSERT_EQ(corners.size(), 3u);
    const MeshFace& face = mesh.faces[0];
    for (int corner = 0; corner < 3; ++corner) {
        SCOPED_TRACE(corner);
        expectNear(corners[corner].position, mesh.vertices[face.vertices[corner]], 1e-4f);
        EXPECT_FLOAT_EQ(corners[corner].u, mesh.texCoords[face.texCoords[corner]].u);
        EXPECT_FLOAT_EQ(corners[corner].v, mesh.texCoords[face.texCoords[corner]].v);
    }
}

TEST_F(MeshFileTest, SharedVertexKeepsItsPositionWithEachCornersTextureCoordinate) {
    TestArchive archive({{"square.dat", meshFileBytes(sharedCornerMesh())}});
    Show show(archive.path());
    GLuint list = 0;
    ASSERT_TRUE(loadMeshFile(show, list, "square.dat", false));
    const std::vector<FedCorner> corners = feedBack(list);
    ASSERT_EQ(corners.size(), 6u);
    // Vertex 0 is corner a of the first face (texture coordinate 0) and corner c of the second (coordinate
    // 3).
    expectNear(corners[0].position, corners[5].position, 1e-4f);
    EXPECT_FLOAT_EQ(corners[0].u, 0);
    EXPECT_FLOAT_EQ(corners[0].v, 0);
    EXPECT_FLOAT_EQ(corners[5].u, 0.25f);
    EXPECT_FLOAT_EQ(corners[5].v, 0.75f);
}

TEST_F(MeshFileTest, EveryLoadMakesANewListAndEarlierListsStayValid) {
    TestArchive archive({{"tri.dat", meshFileBytes(oneTriangleMesh())}});
    Show show(archive.path());
    GLuint list = 0;
    ASSERT_TRUE(loadMeshFile(show, list, "tri.dat", false));
    const GLuint first = list;
    ASSERT_TRUE(loadMeshFile(show, list, "tri.dat", false));
    EXPECT_NE(list, first);
    EXPECT_TRUE(glIsList(first));
    EXPECT_EQ(feedBack(first).size(), 3u);
}

TEST_F(MeshFileTest, DamagedFilesAreRefusedAndKeepThePreviousList) {
    const std::vector<std::uint8_t> good = meshFileBytes(oneTriangleMesh());
    std::vector<std::uint8_t> shortFile(good.begin(), good.end() - 1);
    std::vector<std::uint8_t> longFile = good;
    longFile.push_back(0);
    std::vector<std::uint8_t> vertexIndexOut = good;
    vertexIndexOut[12 + 36 + 4] = 3; // corner b names vertex 3 of 3
    std::vector<std::uint8_t> texIndexOut = good;
    texIndexOut[12 + 36 + 12 + 8] = 3; // corner c names texture coordinate 3 of 3
    // Counts that would ask for far more than the file holds, and overflow 32-bit size arithmetic.
    std::vector<std::uint8_t> hugeCounts = good;
    std::fill(hugeCounts.begin(), hugeCounts.begin() + 12, 0xFF);
    const std::vector<std::uint8_t> headerOnly(good.begin(), good.begin() + 8);

    TestArchive archive({{"good.dat", good},
                         {"short.dat", shortFile},
                         {"long.dat", longFile},
                         {"vertex.dat", vertexIndexOut},
                         {"tex.dat", texIndexOut},
                         {"huge.dat", hugeCounts},
                         {"header.dat", headerOnly}});
    Show show(archive.path());
    GLuint list = 0;
    ASSERT_TRUE(loadMeshFile(show, list, "good.dat", false));
    const GLuint previous = list;
    for (const char* name :
         {"short.dat", "long.dat", "vertex.dat", "tex.dat", "huge.dat", "header.dat", "none.dat"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(loadMeshFile(show, list, name, false));
        EXPECT_EQ(list, previous);
        MeshData untouched = oneTriangleMesh();
        EXPECT_FALSE(readMeshFile(show, name, untouched));
        EXPECT_EQ(untouched.faces.size(), 1u);
    }
    // No list name was spent on the refused files.
    GLuint next = 0;
    ASSERT_TRUE(loadMeshFile(show, next, "good.dat", false));
    EXPECT_EQ(next, previous + 1);
}

TEST(MeshJitter, SlidesUnitVerticesOverTheSphereByAtMost2Point6Degrees) {
    MeshData mesh = octahedronMesh();
    const std::vector<Vec3> before = mesh.vertices;
    seedRandom(12345);
    jitterVertices(mesh);
    float largest = 0;
    for (std::size_t i = 0; i < before.size(); ++i) {
        EXPECT_NEAR(length(mesh.vertices[i]), 1.0f, 1e-5f);
        largest = std::max(largest, angleDegrees(before[i], mesh.vertices[i]));
    }
    EXPECT_GT(largest, 0.1f);
    EXPECT_LE(largest, 2.6f + 1e-3f);
}

TEST_F(MeshFileTest, JitteredLoadDrawsTheJitteredVertices) {
    TestArchive archive({{"octa.dat", meshFileBytes(octahedronMesh())}});
    Show show(archive.path());
    MeshData expected = octahedronMesh();
    seedRandom(99);
    jitterVertices(expected);
    seedRandom(99);
    GLuint list = 0;
    ASSERT_TRUE(loadMeshFile(show, list, "octa.dat", true));
    const std::vector<FedCorner> corners = feedBack(list);
    ASSERT_EQ(corners.size(), 24u);
    for (std::size_t i = 0; i < corners.size(); ++i)
        expectNear(corners[i].position, expected.vertices[expected.faces[i / 3].vertices[i % 3]], 1e-4f);
}

TEST_F(MeshFileTest, SharedMeshesAreBuiltInOrderAndTheAtmosphereFadesWithX) {
    MeshData sphere = octahedronMesh();
    sphere.vertices[2] = {0.6f, 0.8f, 0}; // a corner between the centre of the view and the silhouette
    TestArchive archive({{"meshes\\env.dat", meshFileBytes(oneTriangleMesh())},
                         {"meshes\\sphere.dat", meshFileBytes(sphere)}});
    Show show(archive.path());
    ASSERT_TRUE(loadSharedMeshes(show));
    EXPECT_NE(show.meshes.env, 0u);
    EXPECT_LT(show.meshes.env, show.meshes.sphere);
    EXPECT_LT(show.meshes.sphere, show.meshes.noisedSphere);
    EXPECT_LT(show.meshes.noisedSphere, show.meshes.atmosphere);

    const std::vector<FedCorner> corners = feedBack(show.meshes.atmosphere);
    ASSERT_EQ(corners.size(), 24u);
    for (std::size_t i = 0; i < corners.size(); ++i) {
        const float x = sphere.vertices[sphere.faces[i / 3].vertices[i % 3]].x;
        SCOPED_TRACE(x);
        // 3x² − 0.6, clamped by GL: 2.4 at x = ±1 gives 1, −0.6 at x = 0 gives 0, 0.48 at x = 0.6.
        EXPECT_NEAR(corners[i].alpha, std::clamp(3 * x * x - 0.6f, 0.0f, 1.0f), 1e-3f);
    }
    const std::vector<FedCorner> plain = feedBack(show.meshes.sphere);
    const std::vector<FedCorner> noised = feedBack(show.meshes.noisedSphere);
    ASSERT_EQ(noised.size(), plain.size());
    EXPECT_GT(angleDegrees(plain[0].position, noised[0].position), 0.0f);
}

TEST_F(MeshFileTest, SharedMeshesReportAMissingFile) {
    TestArchive archive({{"meshes\\sphere.dat", meshFileBytes(octahedronMesh())}});
    Show show(archive.path());
    show.meshes.env = 0;
    EXPECT_FALSE(loadSharedMeshes(show));
    EXPECT_EQ(show.meshes.env, 0u);
    EXPECT_NE(show.meshes.sphere, 0u);
}
