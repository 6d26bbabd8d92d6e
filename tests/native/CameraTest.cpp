#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "platform/GlHeaders.h"
#include "platform/headless/OffscreenContext.h"
#include "scene/Camera.h"
#include "settings/Settings.h"

namespace {

TEST(CameraTest, FullScreenBandAndTheAxesEachPositionTurnsAbout) {
    auto band = [](const char* resolution, int width, int height) {
        Viewport v = viewportFor(choiceValue<WindowSize>(resolution), width, height);
        return std::vector<int>{v.x, v.y, v.width, v.height};
    };
    EXPECT_EQ(band("1600x1200", 1600, 1200), (std::vector<int>{0, 263, 1600, 674}));
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
    // Where the x, y and z axes go: under the motion, with angles that add up to a quarter
    // turn, and under the tilt of the viewing position.
    const float c = static_cast<float>(std::cos(M_PI / 4));
    const struct {
        const char* position;
        float a, b;
        bool tilt;
        float axes[9];
    } cases[] = {{"Scan Up", 60, 30, false, {1, 0, 0, 0, 0, 1, 0, -1, 0}},
                 {"Scan Down", 60, 30, false, {1, 0, 0, 0, 0, -1, 0, 1, 0}},
                 {"Scan Left", 60, 30, false, {0, 0, -1, 0, 1, 0, 1, 0, 0}},
                 {"Scan Right", 60, 30, false, {0, 0, 1, 0, 1, 0, -1, 0, 0}},
                 {"View From Beneath", 60, 30, false, {0, 0, 1, 0, 1, 0, -1, 0, 0}},
                 {"Spin", 90, 0, false, {0, 0, 1, 0, -1, 0, 1, 0, 0}},
                 {"spin", 90, 90, false, {1, 0, 0, 0, 1, 0, 0, 0, 1}},  // compared exactly
                 {"nothing", 0, 0, true, {-1, 0, 0, 0, -1, 0, 0, 0, 1}},
                 {"View From Above", 0, 0, true, {-1, 0, 0, 0, -c, c, 0, c, c}},
                 {"View From Beneath", 0, 0, true, {-1, 0, 0, 0, -c, -c, 0, -c, c}}};
    for (const auto& t : cases) {
        s.camPosition = t.position;
        glLoadIdentity();
        if (t.tilt)
            camera.applyViewTilt();
        else
            camera.applyMotion(t.a, t.b, 0, 0, 0);
        float m[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, m);
        for (int i = 0; i < 9; ++i)
            EXPECT_NEAR(m[i / 3 * 4 + i % 3], t.axes[i], 1e-5) << t.position << " " << i;
    }
    glLoadIdentity();
}

}  // namespace
