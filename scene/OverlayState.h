#pragma once
// The state that the additively blended overlays (feathers, VU meter) switch for their drawing,
// and the fixed state they leave behind.

#include "platform/GlHeaders.h"

// Depth writes off, blending on (the additive function fixed at scene set-up), both faces drawn.
inline void beginOverlay() {
    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    glDisable(GL_CULL_FACE);
}

// Back to the fixed state: culling on, blending off, depth writes on, texturing on.
inline void endOverlay() {
    glEnable(GL_CULL_FACE);
    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
    glEnable(GL_TEXTURE_2D);
}
