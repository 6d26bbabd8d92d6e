#include <gtest/gtest.h>

#include <cmath>

#include "audio/AudioSource.h"
#include "tests/native/TestFiles.h"
#include "tools/musicgen/Song.h"

namespace {

// Root-mean-square of both channels over [from, to) seconds.
double rms(const StereoBuffer& song, double from, double to) {
    size_t a = static_cast<size_t>(from * song.sampleRate) * 2;
    size_t b = static_cast<size_t>(to * song.sampleRate) * 2;
    double sum = 0;
    for (size_t i = a; i < b; ++i) sum += song.samples[i] * song.samples[i];
    return std::sqrt(sum / static_cast<double>(b - a));
}

}  // namespace

// What the visualisation needs of the demo song: about a minute, loud but never clipped, a beat
// it can see, quieter and louder passages, and two channels that differ.
TEST(DemoSong, IsAMinuteOfStereoMusicWithABeat) {
    const int rate = 8000;  // the score is the same at any rate; a low one keeps the test quick
    StereoBuffer song = renderSong(rate);
    double seconds = static_cast<double>(song.frames()) / rate;
    EXPECT_NEAR(seconds, 66.0, 0.01);

    float peak = 0;
    double sideEnergy = 0;
    for (size_t i = 0; i < song.frames(); ++i) {
        float l = song.samples[2 * i], r = song.samples[2 * i + 1];
        peak = std::fmax(peak, std::fmax(std::fabs(l), std::fabs(r)));
        sideEnergy += (l - r) * (l - r);
    }
    EXPECT_NEAR(peak, 0.891f, 0.001f);
    EXPECT_GT(sideEnergy / static_cast<double>(song.frames()), 1e-4);

    // Each beat of the intro (kick and pads, two seconds a bar) starts loud and dies away.
    for (double beat = 0; beat < 4.0; beat += 0.5)
        EXPECT_GT(rms(song, beat, beat + 0.05), 3 * rms(song, beat + 0.4, beat + 0.5)) << beat;
    // The breakdown (bars 16 to 19, without kick and snare) is well below the full band.
    EXPECT_LT(rms(song, 32, 40), 0.75 * rms(song, 48, 56));

    // The same score gives the same samples.
    EXPECT_EQ(renderSong(rate).samples, song.samples);
}

TEST(DemoSong, WavFileIsReadByTheHost) {
    ScratchFolder folder;
    StereoBuffer song = renderSong(8000);
    std::vector<int16_t> pcm = toPcm16(song);
    std::string error;
    ASSERT_TRUE(writeWav(folder.path() + "song.wav", pcm, 8000, error)) << error;

    AudioSource audio;
    ASSERT_TRUE(audio.loadWav(folder.path() + "song.wav", error)) << error;
    EXPECT_EQ(audio.sampleRate(), 8000);
    unsigned char block[2][kWaveformSamples];
    audio.fillBlock(1000.0, block);  // one second in: frame 8000
    for (int i = 0; i < kWaveformSamples; i += 97)
        for (int c = 0; c < 2; ++c)
            EXPECT_EQ(static_cast<int8_t>(block[c][i]),
                      static_cast<int8_t>(pcm[(8000 + static_cast<size_t>(i)) * 2 + c] >> 8))
                << i << " " << c;
}
