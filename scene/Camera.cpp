#include "scene/Camera.h"

#include "platform/GlHeaders.h"
#include "scene/WindowGeometry.h"
#include "settings/Settings.h"

Viewport viewportFor(const WindowSize& size, int width, int height) {
    if (!size.fullScreen() || width <= 0) return {0, 0, width, height};
    unsigned band = 116u * static_cast<unsigned>(width) / 275u;
    // A screen lower than the band cannot come from the listed modes; keep the band on it.
    unsigned y = static_cast<unsigned>(height) > band ? (static_cast<unsigned>(height) - band) / 2
                                                      : 0u;
    return {0, static_cast<int>(y), width, static_cast<int>(band)};
}

void Camera::applyProjection() {
    Viewport v = viewportFor(settings_.dimResolution.value(), settings_.dimWidth, settings_.dimHeight);
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
    const CameraMotion motion = settings_.camPosition.value();
    if (motion == CameraMotion::ViewFromBeneath) glRotatef(45, 1, 0, 0);
    else if (motion == CameraMotion::ViewFromAbove) glRotatef(-45, 1, 0, 0);
    glRotatef(180, 0, 0, 1);
}

void Camera::applyMotion(float a, float b, float tx, float ty, float tz) {
    switch (settings_.camPosition.value()) {
        case CameraMotion::ScanUp:
            glRotatef(a, 1, 0, 0);
            glTranslatef(tx, ty, tz);
            glRotatef(b, 1, 0, 0);
            break;
        case CameraMotion::ScanDown:
            glRotatef(-a, 1, 0, 0);
            glTranslatef(tx, ty, tz);
            glRotatef(-b, 1, 0, 0);
            break;
        case CameraMotion::ScanLeft:
            glRotatef(a, 0, 1, 0);
            glTranslatef(tx, ty, tz);
            glRotatef(b, 0, 1, 0);
            break;
        case CameraMotion::ScanRight:
        case CameraMotion::ViewFromAbove:
        case CameraMotion::ViewFromBeneath:
            glRotatef(-a, 0, 1, 0);
            glTranslatef(tx, ty, tz);
            glRotatef(-b, 0, 1, 0);
            break;
        case CameraMotion::Spin:
            glRotatef(a, 1, 0, 0);
            glRotatef(a, 0, 1, 0);
            glRotatef(a, 0, 0, 1);
            glTranslatef(tx, ty, tz);
            glRotatef(b, 1, 0, 0);
            glRotatef(b, 0, 1, 0);
            glRotatef(b, 0, 0, 1);
            break;
        case CameraMotion::Unknown: break;  // no motion at all
    }
}
