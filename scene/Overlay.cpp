#include "scene/Overlay.h"

#include <algorithm>
#include <cmath>

#include "platform/GlHeaders.h"
#include "sprites/PixelFont.h"
#include "sprites/TextQuads.h"

namespace {

constexpr float kMargin = 10;  // around the text, inside the panel
constexpr float kColumnGap = 24;

float lineHeight(float scale) { return (kGlyphHeight + 3) * scale; }

// Window points in whole pixels (at least one), so that every font pixel is a sharp square.
float pixels(float points, float pixelRatio) {
    return std::max(1.0f, std::round(points * std::max(pixelRatio, 1.0f)));
}

void drawQuads(const std::vector<float>& corners) {
    if (corners.empty()) return;
    glVertexPointer(2, GL_FLOAT, 0, corners.data());
    glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(corners.size() / 2));
}

}  // namespace

OverlayLayout layoutOverlay(const std::vector<size_t>& lineLengths, int width, int height,
                            float pixelRatio) {
    OverlayLayout layout;
    const float margin = pixels(kMargin, pixelRatio), gap = pixels(kColumnGap, pixelRatio);
    for (float scale : {pixels(2, pixelRatio), pixels(1, pixelRatio)})
        for (int columns = 1; columns <= 3; ++columns) {
            const size_t rows = (lineLengths.size() + columns - 1) / columns;
            float panelWidth = 2 * margin + (columns - 1) * gap;
            for (int c = 0; c < columns; ++c) {
                size_t longest = 0;
                for (size_t i = c * rows; i < std::min(lineLengths.size(), (c + 1) * rows); ++i)
                    longest = std::max(longest, lineLengths[i]);
                panelWidth += longest * (kGlyphWidth + 1) * scale;
            }
            const float panelHeight = 2 * margin + rows * lineHeight(scale);
            layout = {scale, columns};
            if (panelWidth <= width && panelHeight <= height) return layout;
        }
    return layout;
}

void Overlay::show(const std::vector<std::string>& lines, double now, double seconds,
                   Corner corner) {
    lines_ = lines;
    corner_ = corner;
    laidOutWidth_ = laidOutHeight_ = -1;
    until_ = now + seconds;
}

void Overlay::layOut(int width, int height, float pixelRatio) {
    if (width == laidOutWidth_ && height == laidOutHeight_ && pixelRatio == laidOutRatio_) return;
    laidOutWidth_ = width;
    laidOutHeight_ = height;
    laidOutRatio_ = pixelRatio;
    std::vector<size_t> lengths;
    for (const std::string& line : lines_) lengths.push_back(line.size());
    const OverlayLayout layout = layoutOverlay(lengths, width, height, pixelRatio);
    const float margin = pixels(kMargin, pixelRatio), gap = pixels(kColumnGap, pixelRatio);
    const size_t rows = (lines_.size() + layout.columns - 1) / layout.columns;
    title_.clear();
    body_.clear();
    float left = margin, columnWidth = 0;
    panelHeight_ = 0;
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (i > 0 && i % rows == 0) {  // the next column
            left += columnWidth + gap;
            columnWidth = 0;
        }
        const float top = margin + (i % rows) * lineHeight(layout.scale);
        columnWidth = std::max(columnWidth, appendTextQuads(lines_[i], left, top, layout.scale,
                                                            i ? body_ : title_));
        panelHeight_ = std::max(panelHeight_, top + kGlyphHeight * layout.scale + margin);
    }
    panelWidth_ = left + columnWidth + margin;
}

void Overlay::draw(int width, int height, double now, float pixelRatio) {
    if (!visible(now) || width <= 0 || height <= 0) return;
    layOut(width, height, pixelRatio);
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, width, height, 0, -1, 1);  // window pixels, y down
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    if (corner_ == Corner::BottomLeft) glTranslatef(0, static_cast<float>(height) - panelHeight_, 0);
    glViewport(0, 0, width, height);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glDisable(GL_FOG);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_VERTEX_ARRAY);

    // Fades out over its last half second.
    const float fade = static_cast<float>(std::min(1.0, (until_ - now) / 0.5));
    const float panel[8] = {0, 0, panelWidth_, 0, panelWidth_, panelHeight_, 0, panelHeight_};
    glColor4f(0, 0, 0, 0.7f * fade);
    glVertexPointer(2, GL_FLOAT, 0, panel);
    glDrawArrays(GL_QUADS, 0, 4);
    glColor4f(1.0f, 0.85f, 0.3f, fade);
    drawQuads(title_);
    glColor4f(0.9f, 0.9f, 0.9f, fade);
    drawQuads(body_);

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopClientAttrib();
    glPopAttrib();
}
