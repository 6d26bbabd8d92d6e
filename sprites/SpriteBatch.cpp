#include "sprites/SpriteBatch.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <new>

namespace {

// The square's corners in strip order and the two triangles the strip makes of them.
const float kCorners[4][3] = {{8, -8, 0}, {8, 8, 0}, {-8, -8, 0}, {-8, 8, 0}};
const int kTriangles[2][3] = {{0, 1, 2}, {2, 1, 3}};

}  // namespace

SpriteBatch::SpriteBatch(int capacity) : capacity_(capacity > 0 ? capacity : 0) {
    const size_t n = static_cast<size_t>(capacity_);
    matrices_.reset(new (std::nothrow) float[n * 16]);
    frames_.reset(new (std::nothrow) unsigned char[n]);
    vertices_.reset(new (std::nothrow) Vertex[n * kMaxVerticesPerSprite]);
    if (!matrices_ || !frames_ || !vertices_) capacity_ = 0;
}

void SpriteBatch::cutFrame(FrameShape& shape, int frame, const SpriteOutline& outline) {
    shape.vertexCount = 0;
    if (outline.blank) return;
    const SpriteFrame f = spriteFrame(frame);
    const float cornerTexture[4][2] = {{f.s0, f.t1}, {f.s0, f.t0}, {f.s1, f.t1}, {f.s1, f.t0}};

    for (const auto& triangle : kTriangles) {
        // The triangle as a polygon of corner weights, cut by each plane in turn (a plane
        // keeps the points where a x + b y + d >= 0; the sprite lies in z = 0).
        Weights polygon[9], next[9];
        int size = 3;
        for (int k = 0; k < 3; ++k) {
            polygon[k] = Weights{{0, 0, 0, 0}};
            polygon[k].w[triangle[k]] = 1;
        }
        for (const auto& plane : outline.planes) {
            if (plane[0] == 0 && plane[1] == 0 && plane[3] >= 0) continue;  // keeps everything
            auto distance = [&](const Weights& p) {
                double x = 0, y = 0;
                for (int c = 0; c < 4; ++c) {
                    x += p.w[c] * kCorners[c][0];
                    y += p.w[c] * kCorners[c][1];
                }
                return plane[0] * x + plane[1] * y + plane[3];
            };
            int kept = 0;
            for (int i = 0; i < size && kept < 9; ++i) {
                const Weights& p = polygon[i];
                const Weights& q = polygon[(i + 1) % size];
                const double dp = distance(p), dq = distance(q);
                if (dp >= 0) next[kept++] = p;
                if ((dp >= 0) != (dq >= 0) && kept < 9) {
                    const double t = dp / (dp - dq);
                    Weights cut;
                    for (int c = 0; c < 4; ++c)
                        cut.w[c] = static_cast<float>(p.w[c] + t * (q.w[c] - p.w[c]));
                    next[kept++] = cut;
                }
            }
            size = kept;
            std::memcpy(polygon, next, sizeof(Weights) * static_cast<size_t>(size));
            if (size < 3) break;
        }
        // A fan from the first point, in the triangle's own winding.
        for (int i = 1; i + 1 < size; ++i) {
            for (const Weights* p : {&polygon[0], &polygon[i], &polygon[i + 1]}) {
                const int v = shape.vertexCount++;
                shape.points[v] = *p;
                for (int t = 0; t < 2; ++t) {
                    float value = 0;
                    for (int c = 0; c < 4; ++c) value += p->w[c] * cornerTexture[c][t];
                    shape.texture[v][t] = value;
                }
            }
        }
    }
}

void SpriteBatch::begin(const SpriteOutline (&levels)[kSpriteDimLevels][kSpriteFrames],
                        const float colour[4], const float normal[3]) {
    if (!cut_ || std::memcmp(cutFrom_, levels, sizeof cutFrom_) != 0) {
        for (int k = 0; k < kSpriteDimLevels; ++k) {
            brightest_[k] = brightestUnseenColour(kSpriteDarkTexel[k]);
            for (int f = 0; f < kSpriteFrames; ++f) cutFrame(shapes_[k][f], f, levels[k][f]);
        }
        std::memcpy(cutFrom_, levels, sizeof cutFrom_);
        cut_ = true;
    }
    std::memcpy(colour_, colour, sizeof colour_);
    std::memcpy(normal_, normal, sizeof normal_);
    count_ = 0;
}

void SpriteBatch::add(const float m[16], int frame) {
    if (count_ >= capacity_ || frame < 0 || frame >= kSpriteFrames) return;
    std::memcpy(matrices_.get() + static_cast<size_t>(count_) * 16, m, 16 * sizeof(float));
    frames_[static_cast<size_t>(count_)] = static_cast<unsigned char>(frame);
    ++count_;
}

void SpriteBatch::draw() {
    lighting_.capture();
    Vertex* out = vertices_.get();
    for (int& n : atLevel_) n = 0;
    for (int i = 0; i < count_; ++i) {
        const int frame = frames_[static_cast<size_t>(i)];
        if (shapes_[0][frame].vertexCount == 0) continue;
        const float* m = matrices_.get() + static_cast<size_t>(i) * 16;
        float eye[4][3], lit[4][4], n[3];
        eyeNormal(m, normal_, n);
        float brightest = 0;
        for (int c = 0; c < 4; ++c) {
            eyePoint(m, kCorners[c], eye[c]);
            lighting_.shade(eye[c], n, colour_, lit[c]);
            for (int k = 0; k < 3; ++k) brightest = std::max(brightest, lit[c][k]);
        }
        // Every colour inside the sprite lies between its corners' colours.
        int level = 0;
        while (level + 1 < kSpriteDimLevels && brightest <= brightest_[level + 1]) ++level;
        ++atLevel_[level];
        const FrameShape& shape = shapes_[level][frame];
        for (int v = 0; v < shape.vertexCount; ++v, ++out) {
            const float* w = shape.points[v].w;
            for (int k = 0; k < 3; ++k)
                out->position[k] = w[0] * eye[0][k] + w[1] * eye[1][k] + w[2] * eye[2][k] + w[3] * eye[3][k];
            for (int k = 0; k < 4; ++k)
                out->colour[k] = w[0] * lit[0][k] + w[1] * lit[1][k] + w[2] * lit[2][k] + w[3] * lit[3][k];
            out->texture[0] = shape.texture[v][0];
            out->texture[1] = shape.texture[v][1];
        }
    }
    drawn_ = static_cast<int>(out - vertices_.get());
    if (drawn_ == 0) return;

    // The vertices are in eye coordinates and already lit.
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    if (lighting_.lighting) glDisable(GL_LIGHTING);
    const GLsizei stride = sizeof(Vertex);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, stride, vertices_[0].position);
    glColorPointer(4, GL_FLOAT, stride, vertices_[0].colour);
    glTexCoordPointer(2, GL_FLOAT, stride, vertices_[0].texture);
    glDrawArrays(GL_TRIANGLES, 0, drawn_);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    if (lighting_.lighting) glEnable(GL_LIGHTING);
    // Colour material followed the array's colours; give it back the batch's colour.
    glColor4fv(colour_);
    glPopMatrix();
}
