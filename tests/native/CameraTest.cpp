#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "assets/GlHeaders.h"
#include "platform/headless/OffscreenContext.h"
#include "scene/Camera.h"
#include "settings/Settings.h"

namespace {

TEST(CameraTest, FullScreenBandAndTheAxesEachPositionTurnsAbout) {
    auto band = [](const char* resolution, int width, int height) {
        Viewport v = viewportFor(resolution, width, height);
        return std::vector<int>{v.x, v.y, v.width, v.height};
    };
    EXPECT_EQ(band("640x480", 640, 480), (std::vector<int>{0, 105, 640, 269}));
    EXPECT_EQ(band("1600x1200", 1600, 1200), (std::vector<int>{0, 263, 1600, 674}));
    EXPECT_EQ(band("Docked", 91, 41), (std::vector<int>{0, 0, 91, 41}));
    EXPECT_EQ(band("2x2", 550, 232), (std::vector<int>{0, 0, 550, 232}));
    EXPECT_EQ(band("1024x768", 1024, 100), (std::vector<int>{0, 0, 1024, 431}));  // too low

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

    // Where the x and y axes go under the motion, with angles that add up to a quarter turn.
    const struct {
        const char* position;
        float a, b, x[3], y[3];
    } motions[] = {{"Scan Up", 60, 30, {1, 0, 0}, {0, 0, 1}},
                   {"Scan Down", 60, 30, {1, 0, 0}, {0, 0, -1}},
                   {"Scan Left", 60, 30, {0, 0, -1}, {0, 1, 0}},
                   {"Scan Right", 60, 30, {0, 0, 1}, {0, 1, 0}},
                   {"View From Above", 60, 30, {0, 0, 1}, {0, 1, 0}},
                   {"View From Beneath", 60, 30, {0, 0, 1}, {0, 1, 0}},
                   {"Spin", 90, 0, {0, 0, 1}, {0, -1, 0}},
                   {"spin", 90, 90, {1, 0, 0}, {0, 1, 0}}};  // compared exactly: no motion
    float m[16];
    for (const auto& c : motions) {
        s.camPosition = c.position;
        glLoadIdentity();
        camera.applyMotion(c.a, c.b, 0, 0, 0);
        glGetFloatv(GL_MODELVIEW_MATRIX, m);
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(m[i], c.x[i], 1e-5) << c.position << " x axis " << i;
            EXPECT_NEAR(m[4 + i], c.y[i], 1e-5) << c.position << " y axis " << i;
        }
    }

    // The view tilt turns 180 degrees about z after tilting the two "View From" positions.
    const float c = static_cast<float>(std::cos(M_PI / 4));
    const struct {
        const char* position;
        float y, z;  // where the y axis goes
    } tilts[] = {{"nothing", -1, 0}, {"View From Above", -c, c}, {"View From Beneath", -c, -c}};
    for (const auto& t : tilts) {
        s.camPosition = t.position;
        glLoadIdentity();
        camera.applyViewTilt();
        glGetFloatv(GL_MODELVIEW_MATRIX, m);
        EXPECT_TRUE(std::fabs(m[0] + 1) + std::fabs(m[5] - t.y) + std::fabs(m[6] - t.z) < 1e-5)
            << t.position;
    }
    glLoadIdentity();
}

}  // namespace
