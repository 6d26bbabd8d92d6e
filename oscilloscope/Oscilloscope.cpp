#include "oscilloscope/Oscilloscope.h"

#include <cmath>
#include <cstdlib>
#include <new>

#include "glres/GlExtensions.h"
#include "sprites/Matrix.h"
#include "sprites/PulsarSheet.h"
#include "settings/Settings.h"

namespace {

constexpr float kPi = 3.1415927f;

template <typename T>
std::unique_ptr<T[]> zeroed(size_t count) {
    return std::unique_ptr<T[]>(new (std::nothrow) T[count]());
}

int sample(const uint8_t* channel, int index) { return static_cast<int8_t>(channel[index]); }

// The sum of count samples of a channel from first on, cut short at the end of the buffer.
int blockSum(const uint8_t* channel, int first, int count) {
    int sum = 0;
    for (int k = 0; k < count && first + k < kOscilloscopeSamples; ++k)
        sum += sample(channel, first + k);
    return sum;
}

}  // namespace

Oscilloscope::Oscilloscope(const Settings& settings, const float (&lightColours)[12],
                           const GlExtensions& extensions)
    : settings_(settings), lightColours_(lightColours), extensions_(extensions) {}

bool Oscilloscope::buildGrid(int columnCount, int rowCount) {
    releaseGrid();
    columns = std::abs(columnCount);
    if (columns > kOscilloscopeSamples) columns = kOscilloscopeSamples;
    rows = std::abs(rowCount);
    // Fewer than two along a side leaves no spacing; treat such a grid as no grid.
    if (columns < 2 || rows < 2) return false;
    const size_t count = static_cast<size_t>(columns) * static_cast<size_t>(rows);

    sineWeights = zeroed<float>(count);
    cosineWeights = zeroed<float>(count);
    if (!sineWeights || !cosineWeights) return false;
    for (int j = 0; j < rows; ++j) {
        for (int i = 0; i < columns; ++i) {
            float across = kPi * static_cast<float>(i) / static_cast<float>(columns - 1);
            float along = kPi * static_cast<float>(j) / static_cast<float>(rows - 1);
            sineWeights[j * columns + i] = 0.5f * std::sin(across) * std::sin(along);
            cosineWeights[j * columns + i] = 0.5f * std::cos(across) * std::cos(along);
        }
    }

    vertices = zeroed<SurfaceVertex>(count);
    history = zeroed<SurfaceVertex>(count);
    if (!vertices || !history) return false;
    for (int j = 0; j < rows; ++j) {
        for (int i = 0; i < columns; ++i) {
            float u = static_cast<float>(i) / static_cast<float>(columns - 1);
            float v = static_cast<float>(j) / static_cast<float>(rows - 1);
            vertices[j * columns + i] = SurfaceVertex{{50 * u - 25, 0, 50 * v - 25, 1},
                                                      {0, -1, 0, 1},
                                                      {1, 1, 1, 1},
                                                      {2 * u, 2 * v, 0, 0}};
        }
    }

    indices = zeroed<uint32_t>(static_cast<size_t>(rows - 1) * static_cast<size_t>(columns) * 2);
    if (!indices) return false;
    for (int r = 0; r + 1 < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            indices[2 * (r * columns + c)] = static_cast<uint32_t>((r + 1) * columns + c);
            indices[2 * (r * columns + c) + 1] = static_cast<uint32_t>(r * columns + c);
        }
    }
    return true;
}

void Oscilloscope::releaseGrid() {
    vertices.reset();
    history.reset();
    indices.reset();
    sineWeights.reset();
    cosineWeights.reset();
}

void Oscilloscope::applySamplingRate(const uint8_t (*samples)[kOscilloscopeSamples]) {
    waveform = samples;
    const SamplingRate& rate = settings_.oscSamplingRate.value();
    if (rate == currentSamplingRate) return;
    currentSamplingRate = rate;
    if (rate.known()) buildGrid(rate.columns, rate.rows);  // an unknown rate keeps the grid
}

void Oscilloscope::release() {
    releaseGrid();
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_INDEX_ARRAY);
    glDisableClientState(GL_EDGE_FLAG_ARRAY);
}

void Oscilloscope::updateSurface(float loudness) {
    const float* diffuse = lightColours_ + 3;
    switch (settings_.oscType.value()) {
        case OscilloscopeType::Waveform: updateWaveform(loudness, diffuse); break;
        case OscilloscopeType::NoFilter:
        case OscilloscopeType::SineFilter:
        case OscilloscopeType::CosineFilter: updateFiltered(diffuse); break;
        case OscilloscopeType::Unknown: break;  // the surface stays as it was
    }
}

void Oscilloscope::updateWaveform(float loudness, const float* diffuse) {
    const int columnStep = kOscilloscopeSamples / columns;
    const float gain = columnStep == 1 ? 1.0f : 1.0f / static_cast<float>(32 * (columnStep - 1));
    // The waterfall: every row moves one row on, the newest waveform enters at row 0.
    for (int r = rows - 2; r >= 0; --r)
        for (int c = 0; c < columns; ++c)
            history[(r + 1) * columns + c].position[1] = history[r * columns + c].position[1];
    for (int c = 0; c < columns; ++c) {
        int sum = blockSum(waveform[0], c * columnStep, columnStep) +
                  blockSum(waveform[1], c * columnStep, columnStep);
        history[c].position[1] = gain * static_cast<float>(sum);
    }

    const RenderingMode mode = settings_.oscRenderingMode.value();
    const bool water = mode == RenderingMode::Water || mode == RenderingMode::Wireframe;
    const bool sprites = mode == RenderingMode::Explosion || mode == RenderingMode::Smoke;
    const float amplitude = 4 * loudness;
    for (int j = 0; j < rows; ++j) {
        for (int i = 0; i < columns; ++i) {
            const int n = j * columns + i;
            float h = history[n].position[1];
            if (water) {
                // A fixed diagonal ripple, then a signed logarithmic compression.
                float ripple = std::sin(4 * kPi * (static_cast<float>(i) / columns +
                                                   static_cast<float>(j) / rows));
                float v = ripple * h * amplitude;
                h = v > 0 ? 2 * std::log(1 + v) : -2 * std::log(1 - v);
            } else if (sprites) {
                h *= 8;
            }
            vertices[n].position[1] = h;
            for (int k = 0; k < 3; ++k) vertices[n].colour[k] = sineWeights[n] * diffuse[k];
        }
    }
}

void Oscilloscope::updateFiltered(const float* diffuse) {
    const int columnStep = kOscilloscopeSamples / columns;
    const int rowStep = kOscilloscopeSamples / rows;
    const float gain = columnStep == 1 ? 1.0f : 1.0f / static_cast<float>(32 * (columnStep - 1));
    const OscilloscopeType type = settings_.oscType.value();
    const bool sine = type == OscilloscopeType::SineFilter;
    const bool cosine = type == OscilloscopeType::CosineFilter;
    for (int j = 0; j < rows; ++j) {
        // Row blocks of channel 1 are as long as the column blocks; on the tallest grids the
        // last ones would run past the buffer and are cut short at its end.
        int rowSum = blockSum(waveform[1], j * rowStep, columnStep);
        for (int i = 0; i < columns; ++i) {
            const int n = j * columns + i;
            float h = gain * static_cast<float>(blockSum(waveform[0], i * columnStep, columnStep) +
                                                rowSum);
            if (sine) h *= sineWeights[n];
            if (cosine) h *= cosineWeights[n];
            vertices[n].position[1] = h;
            float weight = cosine ? std::fabs(cosineWeights[n]) : sineWeights[n];
            for (int k = 0; k < 3; ++k) vertices[n].colour[k] = weight * diffuse[k];
        }
    }
}

void Oscilloscope::render(float loudness, float swayAngle) {
    if (!waveform || !hasGrid() || !settings_.oscOnOff) return;
    updateSurface(loudness);

    glPushMatrix();
    if (settings_.oscRotate) glRotatef(swayAngle, 0, 1, 0);
    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    const float* diffuse = lightColours_ + 3;
    glColor3f(0.2f * diffuse[0], 0.2f * diffuse[1], 0.2f * diffuse[2]);

    const RenderingMode mode = settings_.oscRenderingMode.value();
    if (mode == RenderingMode::Explosion) drawSprites(false);
    else if (mode == RenderingMode::Smoke) drawSprites(true);
    else if (mode != RenderingMode::Unknown) drawMesh(mode);

    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
    glPopMatrix();
}

// A sprite at every grid point, its frame chosen by row, sent as one batch.
void Oscilloscope::drawSprites(bool smoke) {
    glNormal3f(0, -1, 0);
    glBindTexture(GL_TEXTURE_2D, pulsarTexture);
    const float* diffuse = lightColours_ + 3;
    const float colour[4] = {0.2f * diffuse[0], 0.2f * diffuse[1], 0.2f * diffuse[2], 1};
    const float normal[3] = {0, -1, 0};
    sprites_.begin(spriteOutlines ? *spriteOutlines : wholeSquares_, colour, normal);
    Matrix4 surface;
    glGetFloatv(GL_MODELVIEW_MATRIX, surface.m);
    for (int j = 0; j < rows; ++j) {
        const int frame = smoke ? 9 : (rows - j) % 10;
        for (int i = 0; i < columns; ++i) {
            const float* p = vertices[j * columns + i].position;
            sprites_.add(surface.translated(p[0], p[1], p[2]).m, frame);
        }
    }
    sprites_.draw();
}

void Oscilloscope::drawMesh(RenderingMode mode) {
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_INDEX_ARRAY);
    glDisableClientState(GL_EDGE_FLAG_ARRAY);
    const GLsizei stride = sizeof(SurfaceVertex);
    glVertexPointer(3, GL_FLOAT, stride, vertices[0].position);
    glColorPointer(4, GL_FLOAT, stride, vertices[0].colour);
    glNormalPointer(GL_FLOAT, stride, vertices[0].normal);

    // The texture pattern scrolls with the waterfall, one row spacing a frame.
    if (settings_.oscType.value() == OscilloscopeType::Waveform) {
        textureOffset[1] -= 2.0f / static_cast<float>(rows - 1);
        if (textureOffset[1] <= 0) textureOffset[1] += 1;
        textureOffset[0] = textureOffset[2] = 0;
    } else {
        textureOffset[0] = textureOffset[1] = textureOffset[2] = 0;
    }

    glDisable(GL_CULL_FACE);
    const bool untextured = mode == RenderingMode::Plain || mode == RenderingMode::Wireframe;
    if (untextured) {
        glDisable(GL_TEXTURE_2D);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    } else {
        glBindTexture(GL_TEXTURE_2D, mode == RenderingMode::Striped   ? stripedTexture
                                     : mode == RenderingMode::Checked ? checkedTexture
                                                                      : waterTexture);
        glMatrixMode(GL_TEXTURE);
        glLoadIdentity();
        glTranslatef(textureOffset[0], textureOffset[1], textureOffset[2]);
        glMatrixMode(GL_MODELVIEW);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, stride, vertices[0].texture);
    }

    const bool locked = extensions_.compiledVertexArrays;
    if (locked) extensions_.lockArrays(0, vertexCount());
    const GLenum primitive = mode == RenderingMode::Wireframe ? GL_LINE_STRIP : GL_TRIANGLE_STRIP;
    for (int r = 0; r + 1 < rows; ++r)
        glDrawElements(primitive, 2 * columns, GL_UNSIGNED_INT, indices.get() + 2 * columns * r);
    if (locked) extensions_.unlockArrays();

    if (untextured) {
        glEnable(GL_TEXTURE_2D);
    } else {
        glMatrixMode(GL_TEXTURE);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
    }
    glEnable(GL_CULL_FACE);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_INDEX_ARRAY);
    glDisableClientState(GL_EDGE_FLAG_ARRAY);
}
