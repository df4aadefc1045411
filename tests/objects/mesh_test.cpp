#include "objects/mesh.h"
#include "objects/show.h"

#include "app/gl_setup.h"
#include "data/texture_registry.h"
#include "gl/draw_state.h"
#include "objects/camera.h"
#include "objects/object_script_reader.h"
#include "objects/shared_meshes.h"
#include "tests/app/headless/gl_test_context.h"
#include "tests/data/test_archive.h"
#include "tests/objects/test_meshes.h"
#include "tools/meshgen/mesh_file_writer.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

Mesh& meshAt(const ObjectList& list, std::size_t index) {
    return *dynamic_cast<Mesh*>(list.at(index));
}

// The square [0, 0.5]² of the plane z = 0, facing +z.
constexpr std::string_view squareFile = "meshes\\square.dat";

// Meshes are read and drawn in the saver run's state, seen from 200 units out on +z looking at the origin,
// where the visible square is 200 units high.
class MeshTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        setupGL(surfaceWidth, surfaceHeight);
        show.meshes.geometry = 0;
        camera.eye = camera.position = {0, 0, 200};
        camera.forward = {0, 0, -1};
        camera.up = {0, 1, 0};
    }
    void TearDown() override {
        show.meshes.geometry = 0;
        GlTest::TearDown();
    }

    ObjectList readScript(std::string_view script) {
        TestArchive archive(
            {{"objects.txt", text(script)}, {std::string(squareFile), meshFileBytes(sharedCornerMesh())}});
        show.files = ShowFiles(archive.path());
        ObjectList list;
        EXPECT_TRUE(readObjectScript(show, list, "objects.txt"));
        return list;
    }

    // The mesh's own square made 200 units wide: it covers the top right quarter of the frame.
    void drawFrame(Mesh& mesh) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        camera.lookAt();
        placeLight();
        mesh.draw(show);
    }

    static void placeLight() {
        const float position[4] = {0, 0, 1000000, 1};
        glLightfv(GL_LIGHT0, GL_POSITION, position);
    }

    Show show;

    Camera& camera = show.camera;
};

} // namespace

TEST_F(MeshTest, ReadsTheBlockAndItsMaterialLines) {
    const TextureRegistry previous = std::exchange(
        show.textures, TextureRegistry{{.texture = 9, .path = "textures\\steel.jpg", .lit = {}}});
    const ObjectList list =
        readScript("mesh\nbegin Early\nend\n"
                   "geometry meshes\\square.dat\n"
                   "mesh\nbegin Shiny\n"
                   "orient V(0 0 1) 45\nposition V(1 2 3)\nlook V(0 1 0)\nright V(1 0 0)\n"
                   "material\n\tmetal\n\tplastic\n\tmap1 textures\\steel.jpg\n\tmap2 bump.jpg\n"
                   "scale 3\nspeed 4\nlight\nillum\ninvup\nblend\ncolor V(0.5 1 1)\nend\n"
                   "mesh\nbegin Dull\nmaterial\n\tplastic\n\tchrome\n\tmap1\n\tmap2\nend\n"
                   "mesh\nbegin Short\nmaterial\n\tmetal\nend\n"
                   "mesh\nbegin After\nend\nENDWORLD\n");
    show.textures = previous;
    ASSERT_EQ(list.size(), 5u);

    const Mesh& early = meshAt(list, 0);
    EXPECT_EQ(early.displayList, 0u); // no geometry yet: draws nothing
    EXPECT_TRUE(early.chrome);
    EXPECT_FALSE(early.metal || early.light || early.illum || early.blend || early.textured);

    const Mesh& shiny = meshAt(list, 1);
    EXPECT_EQ(shiny.name, "Shiny");
    EXPECT_NE(shiny.displayList, 0u);
    EXPECT_EQ(shiny.displayList, show.meshes.geometry);
    EXPECT_EQ(shiny.orientAngle, 45);
    EXPECT_EQ(shiny.orientAxis.z, 1);
    EXPECT_EQ(shiny.position.y, 2);
    EXPECT_EQ(shiny.look.y, 1);
    EXPECT_EQ(shiny.right.x, 1);
    EXPECT_TRUE(shiny.metal);
    EXPECT_FALSE(shiny.chrome);
    EXPECT_TRUE(shiny.textured);
    EXPECT_EQ(shiny.textureId, 9u);
    EXPECT_EQ(shiny.scale, 3);
    EXPECT_TRUE(shiny.light && shiny.illum && shiny.invup && shiny.blend);
    EXPECT_EQ(shiny.color.x, 0.5f);

    const Mesh& dull = meshAt(list, 2);
    EXPECT_FALSE(dull.metal);
    EXPECT_TRUE(dull.chrome);
    EXPECT_FALSE(dull.textured); // "map1" without a name names no texture

    // A material cut short still ends its block at "end": the next mesh is read as its own.
    EXPECT_TRUE(meshAt(list, 3).metal);
    EXPECT_EQ(meshAt(list, 4).name, "After");
}

TEST_F(MeshTest, LeavesTheStateTheNextObjectExpectsWhateverItsSettings) {
    const std::string settingsOf[] = {
        "", "metal", "illum", "light", "blend\ncolor V(0.5 1 1)", "metal\nillum\nlight\nblend", "scale 0",
    };
    std::string script = "geometry meshes\\square.dat\n";
    for (const std::string& lines : settingsOf)
        script += "mesh\nbegin\n" + lines + "\nend\n";
    const ObjectList list =
        readScript(script + "mesh\nbegin\nmaterial\n\tmetal\n\tchrome\n\tmap1 x.jpg\n\tmap2\nend\n");
    ASSERT_EQ(list.size(), std::size(settingsOf) + 1);

    for (std::size_t i = 0; i < list.size(); ++i) {
        SCOPED_TRACE("mesh " + std::to_string(i));
        drawFrame(meshAt(list, i));
        EXPECT_TRUE(drawStateDifferences().empty()) << ::testing::PrintToString(drawStateDifferences());
        EXPECT_FALSE(glIsEnabled(GL_LIGHT0));
        EXPECT_FALSE(glIsEnabled(GL_COLOR_MATERIAL));
        GLint textureMode = 0;
        glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &textureMode);
        EXPECT_EQ(textureMode, GL_MODULATE); // a self-lit mesh does not make the next object glow
    }
}

TEST_F(MeshTest, TheFirstColourComponentIsABlendedMeshsOpacityLitOrNot) {
    const ObjectList list = readScript("geometry meshes\\square.dat\n"
                                       "mesh\nbegin\nscale 400\nlook V(1 0 0)\nright V(0 1 0)\nend\n"
                                       "mesh\nbegin\nscale 400\nlook V(1 0 0)\nright V(0 1 0)\n"
                                       "blend\ncolor V(0.5 1 1)\nend\n"
                                       "mesh\nbegin\nscale 400\nlook V(1 0 0)\nright V(0 1 0)\n"
                                       "blend\nillum\ncolor V(0.5 1 1)\nend\n");
    ASSERT_EQ(list.size(), 3u);
    glClearColor(0, 0, 1, 1);
    // The material as the show's opaque spheres leave it: white.
    const float white[4] = {1, 1, 1, 1};
    glMaterialfv(GL_FRONT, GL_DIFFUSE, white);

    drawFrame(meshAt(list, 0));
    const auto opaque = pixelAt(48, 48);
    EXPECT_EQ(pixelAt(16, 16)[2], 255) << "the square covers only the top right quarter";
    ASSERT_GT(opaque[0], 100);

    drawFrame(meshAt(list, 1));
    const auto blended = pixelAt(48, 48);
    EXPECT_NEAR(blended[0], opaque[0] / 2, 2);
    EXPECT_NEAR(blended[2], (opaque[2] + 255) / 2, 2);

    drawFrame(meshAt(list, 2));
    const auto selfLit = pixelAt(48, 48);
    EXPECT_NEAR(selfLit[0], 128, 2);
    EXPECT_NEAR(selfLit[2], 255, 2);
}
