// A sphere the view test calls outside the view must not have a single pixel on screen, whatever its place,
// size or the window's shape; and spheres plainly behind or beside the camera are called outside.
#include "app/gl_setup.h"
#include "objects/view_culling.h"
#include "tests/app/headless/gl_test_context.h"

#include <GL/glu.h>

#include <memory>
#include <vector>

namespace {

class ViewCulling : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        setProjection(surfaceWidth, surfaceHeight);
        glMatrixMode(GL_MODELVIEW);
        quadric.reset(gluNewQuadric());
    }

    // Puts a sphere of the radius at the eye-space point, draws it in white over black, and says whether the
    // view test called it outside and how many pixels it lit.
    std::pair<bool, int> drawSphere(float x, float y, float z, float radius) {
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
        glLoadIdentity();
        glTranslatef(x, y, z);
        glScalef(radius, radius, radius);
        const bool outside = unitSphereOutsideView();
        glColor3f(1, 1, 1);
        gluSphere(quadric.get(), 1.0, 24, 12);
        std::vector<std::uint8_t> pixels(surfaceWidth * surfaceHeight * 4);
        glReadPixels(0, 0, surfaceWidth, surfaceHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        int lit = 0;
        for (std::size_t i = 0; i < pixels.size(); i += 4)
            lit += pixels[i] > 0;
        return {outside, lit};
    }

    struct QuadricDeleter {
        void operator()(GLUquadric* q) const { gluDeleteQuadric(q); }
    };
    std::unique_ptr<GLUquadric, QuadricDeleter> quadric;
};

TEST_F(ViewCulling, NoSphereCalledOutsideShowsAPixel) {
    int calledOutside = 0;
    for (float z : {-100.0f, -1000.0f, -20000.0f, 50.0f, 3000.0f})
        for (float x = -3.0f; x <= 3.0f; x += 0.25f)
            for (float y = -2.0f; y <= 2.0f; y += 0.5f)
                for (float radius : {0.05f, 0.3f, 1.0f}) {
                    // Offsets in units of the distance, so each depth sweeps across the edges of the view.
                    const float depth = std::abs(z);
                    const auto [outside, lit] = drawSphere(x * depth, y * depth, z, radius * depth);
                    if (outside) {
                        ++calledOutside;
                        EXPECT_EQ(lit, 0) << "at " << x * depth << ", " << y * depth << ", " << z
                                          << " radius " << radius * depth;
                    }
                }
    EXPECT_GT(calledOutside, 500); // the test is not idle
}

TEST_F(ViewCulling, SpheresBehindBesideOrShortOfTheNearPlaneAreOutside) {
    EXPECT_TRUE(drawSphere(0, 0, 1000, 100).first);      // behind the camera
    EXPECT_TRUE(drawSphere(5000, 0, -1000, 100).first);  // far to the right
    EXPECT_TRUE(drawSphere(0, -5000, -1000, 100).first); // far below
    EXPECT_FALSE(drawSphere(0, 0, -1000, 100).first);    // straight ahead
    EXPECT_TRUE(drawSphere(0, 0, 0, 5).first);           // around the eye, but short of the near plane
    EXPECT_FALSE(drawSphere(0, 0, 0, 200).first);        // around the eye and past the near plane
    EXPECT_FALSE(drawSphere(0, 0, 500, 1000).first);     // behind, but reaching round the eye
    EXPECT_FALSE(drawSphere(800, 0, -1000, 500).first);  // centre beside the view, edge inside it
    EXPECT_TRUE(drawSphere(1300, 0, -1000, 500).first);  // edge just beside the view
}

} // namespace
