#include "scene/Camera.h"

#include "assets/GlHeaders.h"
#include "scene/WindowGeometry.h"
#include "settings/Settings.h"

Viewport viewportFor(const std::string& resolution, int width, int height) {
    if (!isFullScreen(resolution) || width <= 0) return {0, 0, width, height};
    unsigned band = 116u * static_cast<unsigned>(width) / 275u;
    // A screen lower than the band cannot come from the listed modes; keep the band on it.
    unsigned y = static_cast<unsigned>(height) > band ? (static_cast<unsigned>(height) - band) / 2
                                                      : 0u;
    return {0, static_cast<int>(y), width, static_cast<int>(band)};
}

void Camera::applyProjection() {
    Viewport v = viewportFor(settings_.dimResolution, settings_.dimWidth, settings_.dimHeight);
    glViewport(v.x, v.y, v.width, v.height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    double aspect = v.height > 0 ? static_cast<double>(settings_.dimWidth) / v.height : 1.0;
    gluPerspective(45.0, aspect, static_cast<double>(0.1f), 100.0);
    gluLookAt(0, 45, -45, 0, 0, -45, 0, 0, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0, 0, -50);
    glRotatef(-90, 1, 0, 0);
}

void Camera::applyViewTilt() {
    const std::string& position = settings_.camPosition;
    if (position == "View From Beneath") glRotatef(45, 1, 0, 0);
    else if (position == "View From Above") glRotatef(-45, 1, 0, 0);
    glRotatef(180, 0, 0, 1);
}

void Camera::applyMotion(float a, float b, float tx, float ty, float tz) {
    const std::string& position = settings_.camPosition;
    if (position == "Scan Up") {
        glRotatef(a, 1, 0, 0);
        glTranslatef(tx, ty, tz);
        glRotatef(b, 1, 0, 0);
    } else if (position == "Scan Down") {
        glRotatef(-a, 1, 0, 0);
        glTranslatef(tx, ty, tz);
        glRotatef(-b, 1, 0, 0);
    } else if (position == "Scan Left") {
        glRotatef(a, 0, 1, 0);
        glTranslatef(tx, ty, tz);
        glRotatef(b, 0, 1, 0);
    } else if (position == "Scan Right" || position == "View From Above" ||
               position == "View From Beneath") {
        glRotatef(-a, 0, 1, 0);
        glTranslatef(tx, ty, tz);
        glRotatef(-b, 0, 1, 0);
    } else if (position == "Spin") {
        glRotatef(a, 1, 0, 0);
        glRotatef(a, 0, 1, 0);
        glRotatef(a, 0, 0, 1);
        glTranslatef(tx, ty, tz);
        glRotatef(b, 1, 0, 0);
        glRotatef(b, 0, 1, 0);
        glRotatef(b, 0, 0, 1);
    }
}
