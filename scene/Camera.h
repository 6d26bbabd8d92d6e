#pragma once
// The viewport and projection from the window geometry, the tilt of the two "View From"
// positions and the camera motion chosen by camPosition. The eye stays still: the motion turns
// the drawn objects about themselves, driven by two angles the caller gives.

#include <string>

#include "settings/Choices.h"

class Settings;

struct Viewport {
    int x = 0, y = 0, width = 0, height = 0;
};

// Full-screen resolutions show a band with the docked window's proportions across the screen.
Viewport viewportFor(const WindowSize& size, int width, int height);

class Camera {
public:
    explicit Camera(const Settings& settings) : settings_(settings) {}

    // Viewport, projection matrix and the base modelview matrix every component draws on.
    void applyProjection();

    // Multiplies the current matrix by the tilt of the viewing position.
    void applyViewTilt();

    // Multiplies the current matrix by the motion of camPosition with angles a and b (degrees)
    // around an offset.
    void applyMotion(float a, float b, float tx, float ty, float tz);

private:
    const Settings& settings_;
};
