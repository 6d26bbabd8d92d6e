#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

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
    auto band = [](const char* res, int w, int h) {
        Viewport v = viewportFor(res, w, h);
        return std::vector<int>{v.x, v.y, v.width, v.height};
    };
    EXPECT_EQ(band("640x480", 640, 480), (std::vector<int>{0, 105, 640, 269}));
    EXPECT_EQ(band("800x600", 800, 600), (std::vector<int>{0, 131, 800, 337}));
    EXPECT_EQ(band("1024x768", 1024, 768), (std::vector<int>{0, 168, 1024, 431}));
    EXPECT_EQ(band("1600x1200", 1600, 1200), (std::vector<int>{0, 263, 1600, 674}));
    EXPECT_EQ(band("Docked", 91, 41), (std::vector<int>{0, 0, 91, 41}));
    EXPECT_EQ(band("2x2", 550, 232), (std::vector<int>{0, 0, 550, 232}));
    // A screen lower than the band.
    EXPECT_EQ(band("1024x768", 1024, 100), (std::vector<int>{0, 0, 1024, 431}));
}

TEST(CameraTest, FixedMatricesThenMotionAndTiltFollowThePosition) {
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

    // The same projection built by hand.
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
    expectMatrix(GL_MODELVIEW_MATRIX, {1, 0, 0, 0, 0, 0, -1, 0, 0, 1, 0, 0, 0, 0, -50, 1},
                 "base modelview");

    auto modelview = [&](const char* position, auto apply) {
        s.camPosition = position;
        glLoadIdentity();
        apply();
        std::array<float, 16> m;
        glGetFloatv(GL_MODELVIEW_MATRIX, m.data());
        return m;
    };
    for (const char* position : {"Scan Left", "Scan Right", "Scan Up", "Scan Down", "Spin",
                                 "View From Above", "View From Beneath"}) {
        modelview(position, [&] { camera.applyMotion(0, 0, 0, 0, 5); });
        expectMatrix(GL_MODELVIEW_MATRIX, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 5, 1},
                     position);
    }
    modelview("spin", [&] { camera.applyMotion(30, 40, 0, 0, 5); });  // compared exactly
    expectMatrix(GL_MODELVIEW_MATRIX, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, "unknown");
    // "Scan Up" turns about x: 90 then 0 degrees takes y to z.
    EXPECT_NEAR(modelview("Scan Up", [&] { camera.applyMotion(90, 0, 0, 0, 0); })[6], 1, 1e-6);

    // The view tilt always turns 180 degrees about z; "View From Above" tilts -45 about x first.
    auto m = modelview("nothing", [&] { camera.applyViewTilt(); });
    EXPECT_NEAR(m[0], -1, 1e-6);
    EXPECT_NEAR(m[5], -1, 1e-6);
    m = modelview("View From Above", [&] { camera.applyViewTilt(); });
    EXPECT_NEAR(m[5], -std::cos(M_PI / 4), 1e-6);
    EXPECT_NEAR(m[6], std::sin(M_PI / 4), 1e-6);  // "View From Beneath" would give -sin
    glLoadIdentity();
}

}  // namespace
