#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "audio/AudioSource.h"
#include "tests/native/TestFiles.h"

namespace {

// A WAV file: the format chunk, an odd-sized chunk to skip, then the samples.
std::string wav(uint32_t format, uint32_t channels, uint32_t bits, const std::string& samples) {
    auto le = [](size_t value, int bytes) {
        std::string out;
        for (int i = 0; i < bytes; ++i) out += static_cast<char>(value >> (8 * i));
        return out;
    };
    return "RIFF" + le(46 + samples.size(), 4) + "WAVEfmt " + le(16, 4) + le(format, 2) +
           le(channels, 2) + le(8000, 4) + le(8000 * channels * bits / 8, 4) +
           le(channels * bits / 8, 2) + le(bits, 2) + std::string("LIST\1\0\0\0x\0", 10) + "data" +
           le(samples.size(), 4) + samples;
}

TEST(Audio, ConvertsWavSamplesRefusesWhatItCannotPlayAndHasABuiltInSignal) {
    ScratchFolder folder;
    auto load = [&](AudioSource& a, const std::string& file) {
        writeTextFile(folder.path() + "in.wav", file);
        std::string error;
        bool ok = a.loadWav(folder.path() + "in.wav", error);
        EXPECT_EQ(ok, error.empty()) << error;
        return ok;
    };
    unsigned char wave[2][kWaveformSamples];
    auto at = [&](int channel, int i) { return static_cast<int8_t>(wave[channel][i]); };
    // 16-bit stereo: the top byte of each sample; left and right apart; the file loops.
    std::string stereo16;
    for (int i = 0; i < 1000; ++i)
        stereo16 += {'\0', static_cast<char>(i / 8), '\0', static_cast<char>(-i / 8)};
    AudioSource a;
    ASSERT_TRUE(load(a, wav(1, 2, 16, stereo16)));
    a.fillBlock(1000.0 * 100 / 8000, wave);  // starts at sample 100
    EXPECT_EQ(at(0, 0) * 1000 + at(1, 0), 12 * 1000 - 12);
    a.fillBlock(1000.0 * 999 / 8000, wave);
    EXPECT_EQ(at(0, 1), 0);
    // 8-bit mono: unsigned around 128, copied to both channels.
    ASSERT_TRUE(load(a, wav(1, 1, 8, std::string(700, static_cast<char>(200)))));
    a.fillBlock(0, wave);
    EXPECT_EQ(at(0, 5) * 1000 + at(1, 5), 72 * 1000 + 72);

    // No WAV, floating point, no samples, no file: refused, and the built-in signal stays, the
    // same on every run, loud and different on the two channels.
    AudioSource b;
    for (const std::string& bad :
         {std::string("not a wav at all"), wav(3, 2, 32, std::string(64, '\0')), wav(1, 2, 16, "")})
        EXPECT_FALSE(load(b, bad));
    std::string error;
    EXPECT_FALSE(b.loadWav(folder.path() + "absent.wav", error));
    EXPECT_TRUE(b.isBuiltIn());
    unsigned char again[2][kWaveformSamples];
    b.fillBlock(1250, wave);
    AudioSource().fillBlock(1250, again);
    EXPECT_EQ(std::memcmp(wave, again, sizeof wave), 0);
    int peak = 0, differ = 0;
    for (int i = 0; i < kWaveformSamples; ++i) {
        peak = std::max(peak, std::abs(at(0, i)));
        differ += wave[0][i] != wave[1][i];
    }
    EXPECT_TRUE(peak > 60 && differ > kWaveformSamples / 2) << peak << " " << differ;
}

}  // namespace
