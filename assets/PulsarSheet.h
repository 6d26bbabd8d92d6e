#pragma once
// The pulsar sheet: a 4 x 4 grid of glow sprites in one texture, of which the first ten cells
// are the frames drawn by the pulsars, the VU meter and the oscilloscope's sprite modes.

inline constexpr int kSpriteFrames = 10;

// One cell of the sheet in texture coordinates: frame i is column i mod 4 from s = 0 and row
// i div 4 from t = 1.
struct SpriteFrame {
    float s0, s1, t0, t1;
};

inline SpriteFrame spriteFrame(int index) {
    SpriteFrame f;
    f.s0 = 0.25f * static_cast<float>(index % 4);
    f.s1 = f.s0 + 0.25f;
    f.t1 = 1 - 0.25f * static_cast<float>(index / 4);
    f.t0 = f.t1 - 0.25f;
    return f;
}
