#include "tools/musicgen/Song.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

constexpr double kBeat = 60.0 / kSongTempo;  // seconds
constexpr double kBar = 4 * kBeat;
constexpr double kEighth = kBeat / 2;

// One note of a phrase: start and length in eighths of its bar, MIDI note number.
struct Note {
    int start, length, pitch;
};

// The chords, one a bar: A minor, F major, C major, G major. Roots for the bass, and the pad's
// voicing (kept close together so the changes glide).
constexpr int kBassRoot[4] = {45, 41, 48, 43};
constexpr int kPadChord[4][3] = {{57, 60, 64}, {53, 57, 60}, {55, 60, 64}, {55, 59, 62}};

// The melody: a four-bar phrase and its answer, an octave's reach higher.
const std::vector<Note> kPhraseA[4] = {
    {{0, 2, 76}, {2, 1, 81}, {3, 1, 79}, {4, 2, 76}, {6, 1, 72}, {7, 1, 74}},
    {{0, 3, 72}, {3, 1, 69}, {4, 1, 72}, {5, 1, 77}, {6, 2, 76}},
    {{0, 2, 79}, {2, 1, 76}, {3, 1, 79}, {4, 2, 84}, {6, 1, 83}, {7, 1, 79}},
    {{0, 6, 74}, {6, 1, 71}, {7, 1, 74}},
};
const std::vector<Note> kPhraseB[4] = {
    {{0, 1, 81}, {1, 1, 79}, {2, 1, 76}, {3, 1, 81}, {4, 2, 84}, {6, 1, 83}, {7, 1, 81}},
    {{0, 2, 81}, {2, 1, 77}, {3, 1, 81}, {4, 1, 84}, {5, 1, 81}, {6, 2, 79}},
    {{0, 1, 76}, {1, 1, 79}, {2, 1, 84}, {3, 1, 88}, {4, 2, 86}, {6, 2, 84}},
    {{0, 2, 83}, {2, 2, 86}, {4, 2, 83}, {6, 2, 79}},
};

// What plays in each bar. Intro: drums and pads; then the bass; the melody; a breakdown
// without kick and snare; the full band with the answering phrase; a last chord.
struct Arrangement {
    bool kick, snare, hats, bass, pad, melody, answer;
    float bassBrightness;
};

Arrangement arrangementOf(int bar) {
    if (bar < 4) return {true, false, bar >= 2, false, true, false, false, 0.0f};
    if (bar < 8) return {true, bar >= 6, true, true, true, false, false, 0.5f};
    if (bar < 16) return {true, true, true, true, true, true, false, 0.7f};
    if (bar < 20) return {false, false, true, true, true, true, false, 0.25f};
    if (bar < 31) return {true, true, true, true, true, bar >= 24, bar >= 24, 1.0f};
    return {true, false, false, true, true, false, false, 1.0f};
}

void drums(StereoBuffer& out, int bar, const Arrangement& a) {
    double t0 = bar * kBar;
    uint32_t seed = 1000u + static_cast<uint32_t>(bar) * 16u;
    for (int beat = 0; beat < 4; ++beat) {
        double t = t0 + beat * kBeat;
        if (a.kick) kick(out, t, 0.8f);
        if (a.snare && (beat == 1 || beat == 3)) snare(out, t, 0.6f, seed + beat);
    }
    if (a.kick && bar % 4 == 3) kick(out, t0 + 3.5 * kBeat, 0.7f);  // a pickup into the next phrase
    if (a.snare && bar % 8 == 7)                                    // a short fill
        for (int i = 0; i < 4; ++i)
            snare(out, t0 + 3 * kBeat + i * kEighth / 2, 0.3f + 0.1f * i, seed + 8 + i);
    if (a.hats)
        for (int e = 0; e < 8; ++e)
            hiHat(out, t0 + e * kEighth, e % 2 ? 0.35f : 0.22f, e == 7 && bar % 2 == 1,
                  seed + 4 + e);
}

void bassLine(StereoBuffer& out, int bar, const Arrangement& a) {
    // Root, root, octave, root, fifth, root, octave, fifth: an eighth-note walk on each chord.
    static constexpr int kSteps[8] = {0, 0, 12, 0, 7, 0, 12, 7};
    int root = kBassRoot[bar % 4];
    for (int e = 0; e < 8; ++e)
        bass(out, bar * kBar + e * kEighth, kEighth * 0.85, root + kSteps[e], e % 2 ? 0.4f : 0.5f,
             a.bassBrightness);
}

void melody(StereoBuffer& out, int bar, const std::vector<Note>& phrase, float gain) {
    for (const Note& n : phrase) {
        double start = bar * kBar + n.start * kEighth;
        double length = n.length * kEighth * 0.92;
        lead(out, start, length, n.pitch, gain, 0.38f);
        // A dotted-eighth echo on the other side.
        lead(out, start + 1.5 * kEighth, length, n.pitch, gain * 0.35f, 0.8f);
    }
}

}  // namespace

StereoBuffer renderSong(int sampleRate) {
    StereoBuffer out;
    out.sampleRate = sampleRate;
    double seconds = kSongBars * kBar + 2.0;  // room for the last chord to ring
    out.samples.assign(static_cast<size_t>(seconds * sampleRate) * 2, 0.0f);

    for (int bar = 0; bar < kSongBars; ++bar) {
        Arrangement a = arrangementOf(bar);
        drums(out, bar, a);
        if (a.bass) bassLine(out, bar, a);
        bool last = bar == kSongBars - 1;
        if (a.pad)
            for (int note : kPadChord[last ? 0 : bar % 4])
                pad(out, bar * kBar, last ? kBar + 1.0 : kBar * 0.98, note, 0.3f);
        if (a.melody)
            melody(out, bar, a.answer && bar % 8 >= 4 ? kPhraseB[bar % 4] : kPhraseA[bar % 4],
                   bar < 20 && bar >= 16 ? 0.22f : 0.3f);
        if (last) lead(out, bar * kBar, kBar, 81, 0.3f, 0.38f);  // the closing A
    }

    float peak = 0;
    for (float s : out.samples) peak = std::fmax(peak, std::fabs(s));
    float scale = peak > 0 ? 0.891f / peak : 1.0f;  // -1 dBFS
    for (float& s : out.samples) s *= scale;
    return out;
}

std::vector<int16_t> toPcm16(const StereoBuffer& song) {
    std::vector<int16_t> pcm(song.samples.size());
    for (size_t i = 0; i < pcm.size(); ++i) {
        float v = std::fmax(-1.0f, std::fmin(1.0f, song.samples[i]));
        pcm[i] = static_cast<int16_t>(std::lround(v * 32767.0f));
    }
    return pcm;
}

bool writeWav(const std::string& path, const std::vector<int16_t>& pcm, int sampleRate,
              std::string& error) {
    auto le32 = [](unsigned char* p, uint32_t v) {
        for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
    };
    auto le16 = [](unsigned char* p, uint16_t v) {
        p[0] = static_cast<unsigned char>(v);
        p[1] = static_cast<unsigned char>(v >> 8);
    };
    uint32_t dataBytes = static_cast<uint32_t>(pcm.size() * 2);
    unsigned char header[44] = {'R', 'I', 'F', 'F', 0,  0, 0, 0, 'W', 'A', 'V', 'E',
                                'f', 'm', 't', ' ', 16, 0, 0, 0, 1,   0,   2,   0};
    le32(header + 4, 36 + dataBytes);
    le32(header + 24, static_cast<uint32_t>(sampleRate));
    le32(header + 28, static_cast<uint32_t>(sampleRate) * 4);  // bytes a second
    le16(header + 32, 4);                                      // bytes a frame
    le16(header + 34, 16);                                     // bits a sample
    std::memcpy(header + 36, "data", 4);
    le32(header + 40, dataBytes);

    std::vector<unsigned char> data(dataBytes);
    for (size_t i = 0; i < pcm.size(); ++i)
        le16(data.data() + 2 * i, static_cast<uint16_t>(pcm[i]));

    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        error = "cannot create " + path;
        return false;
    }
    bool ok = std::fwrite(header, 1, sizeof header, file) == sizeof header &&
              std::fwrite(data.data(), 1, data.size(), file) == data.size();
    ok = std::fclose(file) == 0 && ok;
    if (!ok) error = "cannot write " + path;
    return ok;
}
