#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "sprites/FixedLighting.h"
#include "platform/GlHeaders.h"
#include "sprites/Matrix.h"
#include "sprites/PulsarSheet.h"
#include "sprites/SpriteBatch.h"
#include "glres/TextureLoader.h"
#include "readers/TgaImage.h"
#include "platform/headless/OffscreenContext.h"

namespace {

// Two lights as the scene places them (one circling, moved by the modelview at the time), the
// scene's material with colour material, and one more of every kind the model allows.
void setUpLighting(bool everyKind) {
    glEnable(GL_LIGHTING);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
    const float specular[4] = {1, 1, 1, 1};
    glMaterialfv(GL_FRONT, GL_SPECULAR, specular);
    glMaterialf(GL_FRONT, GL_SHININESS, 16);
    const float a0[4] = {0.9f, 0.6f, 0.2f, 1}, d0[4] = {0.25f, 0.3f, 0.35f, 1}, s0[4] = {0, 1, 0, 1};
    const float a1[4] = {0.1f, 0.2f, 0.7f, 1}, d1[4] = {0.5f, 0.5f, 0.1f, 1}, s1[4] = {1, 0.5f, 0, 1};
    const float p0[4] = {15, -15, 0, 1}, p1[4] = {-15, -5, 10, 1};
    glPushMatrix();
    glRotatef(40, 1, 0, 0);
    glRotatef(40, 0, 0, -1);
    glLightfv(GL_LIGHT0, GL_AMBIENT, a0);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, d0);
    glLightfv(GL_LIGHT0, GL_SPECULAR, s0);
    glLightfv(GL_LIGHT0, GL_POSITION, p0);
    glPopMatrix();
    glLightfv(GL_LIGHT1, GL_AMBIENT, a1);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, d1);
    glLightfv(GL_LIGHT1, GL_SPECULAR, s1);
    glLightfv(GL_LIGHT1, GL_POSITION, p1);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHT1);
    if (!everyKind) return;
    // A directional light, a weakening spot light, emission, a local viewer.
    const float d2[4] = {0.3f, 0.1f, 0.6f, 1}, p2[4] = {1, 2, 3, 0};
    glLightfv(GL_LIGHT2, GL_DIFFUSE, d2);
    glLightfv(GL_LIGHT2, GL_SPECULAR, d2);
    glLightfv(GL_LIGHT2, GL_POSITION, p2);
    const float d3[4] = {0.8f, 0.8f, 0.8f, 1}, p3[4] = {0, 20, 0, 1}, down[3] = {0, -1, 0.2f};
    glLightfv(GL_LIGHT3, GL_DIFFUSE, d3);
    glLightfv(GL_LIGHT3, GL_POSITION, p3);
    glLightfv(GL_LIGHT3, GL_SPOT_DIRECTION, down);
    glLightf(GL_LIGHT3, GL_SPOT_CUTOFF, 50);
    glLightf(GL_LIGHT3, GL_SPOT_EXPONENT, 3);
    glLightf(GL_LIGHT3, GL_LINEAR_ATTENUATION, 0.02f);
    glLightf(GL_LIGHT3, GL_QUADRATIC_ATTENUATION, 0.001f);
    glEnable(GL_LIGHT2);
    glEnable(GL_LIGHT3);
    const float glow[4] = {0.05f, 0, 0.1f, 1};
    glMaterialfv(GL_FRONT, GL_EMISSION, glow);
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, GL_TRUE);
}

float lcg(unsigned& seed) {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<float>(seed >> 8) / static_cast<float>(1u << 24);
}

// Our lighting against OpenGL's own: points sent in feedback mode come back with the colour
// the pipeline lit them with.
TEST(SpriteBatchTest, LightsVerticesAsOpenGLDoes) {
    OffscreenContext gl(64, 64);
    ASSERT_TRUE(gl.ok());
    glMatrixMode(GL_PROJECTION);
    glOrtho(-100, 100, -100, 100, -100, 100);
    glMatrixMode(GL_MODELVIEW);
    for (bool everyKind : {false, true}) {
        SCOPED_TRACE(everyKind ? "every kind of light" : "the scene's lights");
        glLoadIdentity();
        setUpLighting(everyKind);
        glTranslatef(3, -4, 5);
        glRotatef(35, 0.3f, 1, 0.2f);
        glScalef(1.2f, 0.9f, 1.1f);  // not normalised: the normal's length counts too
        float m[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, m);
        FixedLighting lighting;
        lighting.capture();
        EXPECT_TRUE(lighting.lighting);

        unsigned seed = 7;
        for (int i = 0; i < 200; ++i) {
            const float p[3] = {40 * lcg(seed) - 20, 40 * lcg(seed) - 20, 40 * lcg(seed) - 20};
            const float n[3] = {2 * lcg(seed) - 1, 2 * lcg(seed) - 1, 2 * lcg(seed) - 1};
            const float colour[4] = {lcg(seed), lcg(seed), lcg(seed), lcg(seed)};
            float buffer[16] = {};
            glFeedbackBuffer(16, GL_3D_COLOR, buffer);
            glRenderMode(GL_FEEDBACK);
            glColor4fv(colour);
            glNormal3fv(n);
            glBegin(GL_POINTS);
            glVertex3fv(p);
            glEnd();
            ASSERT_EQ(glRenderMode(GL_RENDER), 8);  // the token, x, y, z and the colour
            float eye[3], normal[3], ours[4];
            eyePoint(m, p, eye);
            eyeNormal(m, n, normal);
            lighting.shade(eye, normal, colour, ours);
            for (int k = 0; k < 4; ++k) EXPECT_NEAR(ours[k], buffer[4 + k], 2e-4) << i << " " << k;
        }
        for (GLenum light : {GL_LIGHT0, GL_LIGHT1, GL_LIGHT2, GL_LIGHT3}) glDisable(light);
    }

    // Lighting off: the colour as it is, clamped.
    glDisable(GL_LIGHTING);
    FixedLighting unlit;
    unlit.capture();
    const float eye[3] = {0, 0, -5}, n[3] = {0, 0, 1}, colour[4] = {0.25f, 1.5f, -1, 0.5f};
    float out[4];
    unlit.shade(eye, n, colour, out);
    EXPECT_EQ(std::vector<float>(out, out + 4), (std::vector<float>{0.25f, 1, 0, 0.5f}));
}

// The matrices we make for a batch are the ones glTranslatef, glRotatef and glMultMatrixf make.
TEST(SpriteBatchTest, MatricesAreOpenGLs) {
    OffscreenContext gl(8, 8);
    ASSERT_TRUE(gl.ok());
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(1, -15, -20);
    glRotatef(90, 0, 1, 0);
    glRotatef(-37.5f, 1, 0, 0);
    Matrix4 ours;
    glGetFloatv(GL_MODELVIEW_MATRIX, ours.m);
    ours = ours.translated(-3, 4.5f, 7) * Matrix4::rotation(90, 1, 0, 0) *
           Matrix4::rotation(-90, 0, 1, 0) * Matrix4::rotation(33, 1, -2, 0.5f);
    glTranslatef(-3, 4.5f, 7);
    glRotatef(90, 1, 0, 0);
    glRotatef(-90, 0, 1, 0);
    glRotatef(33, 1, -2, 0.5f);
    float theirs[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, theirs);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(ours.m[i], theirs[i], 2e-5) << i;
    // No axis, no turn.
    const Matrix4 none = Matrix4::rotation(30, 0, 0, 0), identity;
    EXPECT_EQ(std::vector<float>(none.m, none.m + 16), std::vector<float>(identity.m, identity.m + 16));
}

// A texel at most a level's darkness, drawn additively at the brightest colour the level
// allows, leaves every 8-bit value as it was: what the tighter outlines cut away was unseen.
TEST(SpriteBatchTest, WhatADimLevelCutsAwayAddsNothing) {
    OffscreenContext gl(256, 4);
    ASSERT_TRUE(gl.ok());
    glMatrixMode(GL_PROJECTION);
    glOrtho(0, 256, 0, 4, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    setUploadState();
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    float previous = HUGE_VALF;
    for (int level = 1; level < kSpriteDimLevels; ++level) {
        const int dark = kSpriteDarkTexel[level];
        const float brightest = brightestUnseenColour(dark);
        SCOPED_TRACE(dark);
        EXPECT_GT(brightest, 0);
        EXPECT_LT(brightest, previous);  // darker cuts allow only dimmer colours
        previous = brightest;
        const uint8_t texel[4] = {static_cast<uint8_t>(dark), static_cast<uint8_t>(dark),
                                  static_cast<uint8_t>(dark), static_cast<uint8_t>(dark)};
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
        for (float colour : {brightest, 8 * brightest}) {
            // Every value a pixel can hold: column x is (x, x, x).
            glDisable(GL_TEXTURE_2D);
            glDisable(GL_BLEND);
            glBegin(GL_QUADS);
            for (int x = 0; x < 256; ++x) {
                glColor3ub(static_cast<GLubyte>(x), static_cast<GLubyte>(x), static_cast<GLubyte>(x));
                glVertex2i(x, 0);
                glVertex2i(x + 1, 0);
                glVertex2i(x + 1, 4);
                glVertex2i(x, 4);
            }
            glEnd();
            glEnable(GL_TEXTURE_2D);
            glEnable(GL_BLEND);
            glBlendFunc(GL_SRC_ALPHA, GL_ONE);
            glColor4f(colour, colour, colour, 1);
            glBegin(GL_QUADS);
            glTexCoord2f(0, 0);
            glVertex2i(0, 0);
            glTexCoord2f(1, 0);
            glVertex2i(256, 0);
            glTexCoord2f(1, 1);
            glVertex2i(256, 4);
            glTexCoord2f(0, 1);
            glVertex2i(0, 4);
            glEnd();
            glFinish();
            int changed = 0;
            for (int x = 0; x < 256; ++x) changed += gl.pixel(x, 1).r != x;
            if (colour == brightest) EXPECT_EQ(changed, 0);
            // Brighter, the texel shows: the drawing does reach the picture.
            else EXPECT_GT(changed, 0) << "at " << colour;
        }
    }
    glDeleteTextures(1, &texture);
    glDisable(GL_BLEND);
}

// The scene's pulsar sheet as a texture, and the lights and projection of a frame.
struct SpriteScene {
    OffscreenContext gl{400, 300};
    TgaImage sheet;
    GLuint texture = 0;
    SpriteOutline outlines[kSpriteFrames];
    SpriteOutline levels[kSpriteDimLevels][kSpriteFrames];

    SpriteScene() {
        TextureLoader loader;
        texture = loader.loadTexture(std::string(VZRM_TEXTURE_FOLDER) + "/Pulsar.tga", sheet);
        outlineSprites(sheet, outlines);
        outlineDimSprites(sheet, levels);
        glViewport(0, 0, 400, 300);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(45, 400.0 / 300.0, 1, 300);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_TEXTURE_2D);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
        glClearColor(0, 0, 0, 1);
        setUpLighting(false);
    }

    // Sprites in a fan towards the viewer, as the meter places them: some cover the picture,
    // some are far, some cross the near plane; their colour is bright where a light's highlight
    // falls on them. Each sprite is (matrix, frame).
    std::vector<std::pair<Matrix4, int>> sprites(unsigned seed, int count) const {
        std::vector<std::pair<Matrix4, int>> out;
        for (int i = 0; i < count; ++i) {
            Matrix4 m = Matrix4().translated(30 * lcg(seed) - 15, 20 * lcg(seed) - 15,
                                             -5 - 60 * lcg(seed)) *
                        Matrix4::rotation(120 * lcg(seed) - 60, 1, 0, 0) *
                        Matrix4::rotation(120 * lcg(seed) - 60, 0, 1, 0) *
                        Matrix4::rotation(360 * lcg(seed), 0, 0, 1);
            out.emplace_back(m, static_cast<int>(lcg(seed) * 10) % 10);
        }
        return out;
    }

    std::vector<uint8_t> picture() const {
        std::vector<uint8_t> values;
        for (int y = 0; y < gl.height(); ++y)
            for (int x = 0; x < gl.width(); ++x) {
                OffscreenContext::Rgba p = gl.pixel(x, y);
                values.insert(values.end(), {p.r, p.g, p.b});
            }
        return values;
    }

    void beginOverlay() {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glDepthMask(GL_FALSE);
        glEnable(GL_BLEND);
        glDisable(GL_CULL_FACE);
        glBindTexture(GL_TEXTURE_2D, texture);
    }
    void endOverlay() {
        glFinish();
        glDepthMask(GL_TRUE);
        glDisable(GL_BLEND);
    }
};

// One sprite at a time with OpenGL's matrices, lighting and clip planes, as the meter drew
// them before it had batches.
void drawOneByOne(const std::vector<std::pair<Matrix4, int>>& sprites,
                  const SpriteOutline (&outlines)[kSpriteFrames], const float colour[4],
                  bool quads = false) {
    glColor4fv(colour);
    glNormal3f(0, -1, 0);
    enableSpriteClipping(true);
    for (const auto& [m, frame] : sprites) {
        if (outlines[frame].blank) continue;
        glPushMatrix();
        glLoadMatrixf(m.m);
        clipToOutline(outlines[frame]);
        // The square's corners in strip order; a quad takes them as 0, 1, 3, 2.
        const SpriteFrame f = spriteFrame(frame);
        const float corners[4][4] = {
            {8, -8, f.s0, f.t1}, {8, 8, f.s0, f.t0}, {-8, -8, f.s1, f.t1}, {-8, 8, f.s1, f.t0}};
        glBegin(quads ? GL_QUADS : GL_TRIANGLE_STRIP);
        for (int k : {0, 1, quads ? 3 : 2, quads ? 2 : 3}) {
            glTexCoord2f(corners[k][2], corners[k][3]);
            glVertex3f(corners[k][0], corners[k][1], 0);
        }
        glEnd();
        glPopMatrix();
    }
    enableSpriteClipping(false);
}

// A batch gives the picture of the sprites drawn one by one, within one step of 255 but for at
// most one value in 100,000, in the dim colours of the meter (where the tighter outlines cut)
// and in bright ones; and it leaves the state as it found it.
TEST(SpriteBatchTest, DrawsThePictureOfSpritesDrawnOneByOne) {
    SpriteScene scene;
    ASSERT_TRUE(scene.gl.ok());
    ASSERT_NE(scene.texture, 0u);
    const float normal[3] = {0, -1, 0};
    int cut = 0;
    // Sprites drawn as strips (the meter's) and as quads (the oscilloscope's).
    SpriteBatch batch(400);
    for (auto [brightness, quads] : {std::pair{0.05f, false}, {0.2f, false}, {1.0f, false}, {0.2f, true}}) {
        SCOPED_TRACE(brightness);
        SCOPED_TRACE(quads ? "quads" : "strips");
        const float colour[4] = {0.2f * brightness, 0.15f * brightness, 0.25f * brightness, 1};
        const auto sprites = scene.sprites(11, 400);

        scene.beginOverlay();
        drawOneByOne(sprites, scene.outlines, colour, quads);
        scene.endOverlay();
        const std::vector<uint8_t> expected = scene.picture();

        scene.beginOverlay();
        batch.begin(scene.levels, colour, normal);
        for (const auto& [m, frame] : sprites) batch.add(m.m, frame);
        batch.draw();
        scene.endOverlay();
        const std::vector<uint8_t> drawn = scene.picture();

        int off = 0, lit = 0;
        for (size_t i = 0; i < expected.size(); ++i) {
            off += std::abs(expected[i] - drawn[i]) > 1;
            lit += expected[i] > 2;
        }
        EXPECT_LE(off, static_cast<int>(expected.size() / 100000));
        EXPECT_GT(lit, static_cast<int>(expected.size() / 20)) << "too dark to compare";
        EXPECT_EQ(batch.sprites(), 400);
        for (int level = 1; level < kSpriteDimLevels; ++level) cut += batch.spritesAtLevel(level);

        // The state it found: lighting on, its matrix and colour, no client arrays.
        float m[16], current[4];
        glGetFloatv(GL_MODELVIEW_MATRIX, m);
        glGetFloatv(GL_CURRENT_COLOR, current);
        EXPECT_TRUE(glIsEnabled(GL_LIGHTING) && !glIsEnabled(GL_VERTEX_ARRAY) &&
                    !glIsEnabled(GL_COLOR_ARRAY) && !glIsEnabled(GL_TEXTURE_COORD_ARRAY));
        const Matrix4 identity;
        EXPECT_EQ(std::vector<float>(m, m + 16), std::vector<float>(identity.m, identity.m + 16));
        EXPECT_EQ(std::vector<float>(current, current + 4), std::vector<float>(colour, colour + 4));
        if (brightness == 0.05f) scene.gl.savePng(std::string(VZRM_FRAME_FOLDER) + "/sprite-batch.png");
    }
    EXPECT_GT(cut, 100) << "the dim sprites were not cut to their tighter outlines";
}

// Whole squares without a sheet, blank frames drawn as nothing, and no more sprites than the
// room it was made with.
TEST(SpriteBatchTest, KeepsToItsRoomAndSkipsBlankFrames) {
    OffscreenContext gl(32, 32);
    ASSERT_TRUE(gl.ok());
    SpriteOutline levels[kSpriteDimLevels][kSpriteFrames];
    outlineDimSprites(TgaImage{}, levels);
    levels[0][3].blank = true;
    const float colour[4] = {1, 1, 1, 1}, normal[3] = {0, 0, 1};
    SpriteBatch batch(5);
    batch.begin(levels, colour, normal);
    for (int i = 0; i < 8; ++i) batch.add(Matrix4().m, i % 2 ? 3 : 0);
    EXPECT_EQ(batch.sprites(), 5);
    batch.draw();
    EXPECT_EQ(batch.vertices(), 3 * 6);  // three whole squares of two triangles; frame 3 blank
    // New outlines (a sheet loaded again) are cut anew.
    levels[0][3].blank = false;
    batch.begin(levels, colour, normal);
    for (int i = 0; i < 5; ++i) batch.add(Matrix4().m, i % 2 ? 3 : 0);
    batch.draw();
    EXPECT_EQ(batch.vertices(), 5 * 6);
    // Frames that do not exist are refused while there is room for them.
    batch.begin(levels, colour, normal);
    batch.add(Matrix4().m, kSpriteFrames);
    batch.add(Matrix4().m, -1);
    EXPECT_EQ(batch.sprites(), 0);
    batch.add(Matrix4().m, 0);
    EXPECT_EQ(batch.sprites(), 1);
    SpriteBatch none(0);
    none.begin(levels, colour, normal);
    none.add(Matrix4().m, 0);
    none.draw();
    EXPECT_EQ(none.sprites() + none.vertices(), 0);
}

}  // namespace
