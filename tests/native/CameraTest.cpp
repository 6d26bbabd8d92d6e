#include <gtest/gtest.h>

#include <cmath>

#include "assets/GlHeaders.h"
#include "platform/headless/OffscreenContext.h"
#include "scene/Camera.h"
#include "settings/Settings.h"

namespace {

void expectMatrix(GLenum which, const float (&expected)[16], const char* what) {
    float m[16];
    glGetFloatv(which, m);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(m[i], expected[i], 1e-4) << what << " element " << i;
}

TEST(CameraTest, FullScreenShowsABandWithTheDockedProportions) {
    auto check = [](const char* res, int w, int h, Viewport expected) {
        Viewport v = viewportFor(res, w, h);
        EXPECT_EQ(v.x, expected.x) << res;
        EXPECT_EQ(v.y, expected.y) << res;
        EXPECT_EQ(v.width, expected.width) << res;
        EXPECT_EQ(v.height, expected.height) << res;
    };
    check("640x480", 640, 480, {0, 105, 640, 269});
    check("800x600", 800, 600, {0, 131, 800, 337});
    check("1024x768", 1024, 768, {0, 168, 1024, 431});
    check("1600x1200", 1600, 1200, {0, 263, 1600, 674});
    check("Docked", 91, 41, {0, 0, 91, 41});
    check("2x2", 550, 232, {0, 0, 550, 232});
    check("1024x768", 1024, 100, {0, 0, 1024, 431});  // a screen lower than the band
}

TEST(CameraTest, ProjectionAndBaseModelviewAreTheFixedOnes) {
    OffscreenContext gl(64, 64);
    ASSERT_TRUE(gl.ok());
    Settings s;
    s.dimResolution = "800x600";
    s.dimWidth = 800;
    s.dimHeight = 600;
    Camera camera(s);
    camera.applyProjection();

    int viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[1] * 1000 + viewport[3], 131 * 1000 + 337);

    // The same matrices built by hand.
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluPerspective(45.0, 800.0 / 337.0, static_cast<double>(0.1f), 100.0);
    gluLookAt(0, 45, -45, 0, 0, -45, 0, 0, 1);
    float projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    expectMatrix(GL_PROJECTION_MATRIX, projection, "projection");

    // Translate (0, 0, -50), then rotate -90 degrees about x: y goes to -z, z to y.
    const float modelview[16] = {1, 0, 0, 0, 0, 0, -1, 0, 0, 1, 0, 0, 0, 0, -50, 1};
    expectMatrix(GL_MODELVIEW_MATRIX, modelview, "base modelview");
}

TEST(CameraTest, MotionWithoutAnglesIsTheOffsetAndUnknownPositionsStayStill) {
    OffscreenContext gl(64, 64);
    ASSERT_TRUE(gl.ok());
    Settings s;
    Camera camera(s);
    const float translated[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 5, 1};
    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    for (const char* position : {"Scan Left", "Scan Right", "Scan Up", "Scan Down", "Spin",
                                 "View From Above", "View From Beneath"}) {
        s.camPosition = position;
        glLoadIdentity();
        camera.applyMotion(0, 0, 0, 0, 5);
        expectMatrix(GL_MODELVIEW_MATRIX, translated, position);
    }
    s.camPosition = "spin";  // compared exactly
    glLoadIdentity();
    camera.applyMotion(30, 40, 0, 0, 5);
    expectMatrix(GL_MODELVIEW_MATRIX, identity, "unknown position");

    // "Scan Up" turns about x: 90 then 0 degrees takes y to z.
    s.camPosition = "Scan Up";
    glLoadIdentity();
    camera.applyMotion(90, 0, 0, 0, 0);
    float m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    EXPECT_NEAR(m[6], 1, 1e-6);

    // The view tilt always turns 180 degrees about z; "View From Above" tilts -45 about x first.
    s.camPosition = "nothing";
    glLoadIdentity();
    camera.applyViewTilt();
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    EXPECT_NEAR(m[0], -1, 1e-6);
    EXPECT_NEAR(m[5], -1, 1e-6);
    s.camPosition = "View From Above";
    glLoadIdentity();
    camera.applyViewTilt();
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    EXPECT_NEAR(m[5], -std::cos(M_PI / 4), 1e-6);
    EXPECT_NEAR(m[6], std::sin(M_PI / 4), 1e-6);  // "View From Beneath" would give -sin
    glLoadIdentity();
}

}  // namespace
