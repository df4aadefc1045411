#include "objects/camera.h"
#include "tests/app/headless/gl_test_context.h"

namespace {

Vec3 transformed(const GLfloat (&m)[16], Vec3 p) {
    return {m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12], m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13],
            m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14]};
}

} // namespace

// The view puts the eye at the origin looking down -Z with the camera's up towards +Y, as objects expect.
TEST_F(GlTest, CameraViewTakesTheEyeToTheOriginAndForwardDownMinusZ) {
    Camera viewer;
    viewer.eye = {100, -200, 300};
    viewer.forward = normalize(Vec3{1, 2, -2});
    viewer.up = {0, 0, 1};
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    viewer.lookAt();
    GLfloat view[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, view);

    const Vec3 eye = transformed(view, viewer.eye);
    const Vec3 ahead = transformed(view, viewer.eye + viewer.forward);
    const Vec3 above = transformed(view, viewer.eye + viewer.up);
    EXPECT_NEAR(length(eye), 0, 1e-3f);
    EXPECT_NEAR(ahead.x, 0, 1e-4f);
    EXPECT_NEAR(ahead.y, 0, 1e-4f);
    EXPECT_NEAR(ahead.z, -1, 1e-4f);
    EXPECT_NEAR(above.x, 0, 1e-4f);
    EXPECT_GT(above.y, 0.5f);
}
