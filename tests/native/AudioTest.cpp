#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "host/Audio.h"
#include "tests/native/TestFiles.h"

namespace {

// A WAV file with the given format and sample bytes, and an odd-sized chunk to skip.
std::string wav(uint32_t format, uint32_t channels, uint32_t bits, const std::string& samples) {
    std::string out;
    auto put = [&](size_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) out += static_cast<char>(value >> (8 * i));
    };
    out += "RIFF";
    put(4 + 24 + 10 + 8 + samples.size(), 4);
    out += "WAVEfmt ";
    put(16, 4);
    put(format, 2);
    put(channels, 2);
    put(8000, 4);
    put(8000 * channels * bits / 8, 4);
    put(channels * bits / 8, 2);
    put(bits, 2);
    out += std::string("LIST\1\0\0\0x\0", 10) + "data";
    put(samples.size(), 4);
    return out + samples;
}

int8_t at(const unsigned char (&wave)[2][kBlockSamples], int channel, int i) {
    return static_cast<int8_t>(wave[channel][i]);
}

TEST(Audio, ConvertsWavSamplesToSignedBytesAndRefusesWhatItCannotPlay) {
    ScratchFolder folder;
    auto load = [&](AudioSource& a, const std::string& file) {
        writeTextFile(folder.path() + "in.wav", file);
        std::string error;
        bool ok = a.loadWav(folder.path() + "in.wav", error);
        EXPECT_EQ(ok, error.empty()) << error;
        return ok;
    };
    // 16-bit stereo: the top byte of each sample; left and right apart; the file loops.
    std::string stereo16;
    for (int i = 0; i < 1000; ++i)
        stereo16 += {'\0', static_cast<char>(i / 8), '\0', static_cast<char>(-i / 8)};
    AudioSource a;
    ASSERT_TRUE(load(a, wav(1, 2, 16, stereo16)));
    unsigned char wave[2][kBlockSamples];
    a.fillBlock(1000.0 * 100 / 8000, wave);  // starts at sample 100
    EXPECT_EQ(at(wave, 0, 0) * 1000 + at(wave, 1, 0), 12 * 1000 - 12);
    a.fillBlock(1000.0 * 999 / 8000, wave);
    EXPECT_EQ(at(wave, 0, 1), 0);
    // 8-bit mono: unsigned around 128, copied to both channels.
    ASSERT_TRUE(load(a, wav(1, 1, 8, std::string(700, static_cast<char>(200)))));
    a.fillBlock(0, wave);
    EXPECT_EQ(at(wave, 0, 5) * 1000 + at(wave, 1, 5), 72 * 1000 + 72);

    // A missing file, no WAV, floating point, no samples: refused, the signal stays.
    AudioSource b;
    std::string error;
    EXPECT_FALSE(b.loadWav(folder.path() + "absent.wav", error));
    EXPECT_NE(error.find("cannot open"), std::string::npos);
    for (const std::string& bad :
         {std::string("not a wav at all"), wav(3, 2, 32, std::string(64, '\0')), wav(1, 2, 16, "")})
        EXPECT_FALSE(load(b, bad));
    EXPECT_TRUE(b.isBuiltIn());
}

TEST(Audio, BuiltInSignalIsRepeatableLoudAndDifferentPerChannel) {
    AudioSource a, b;
    unsigned char w1[2][kBlockSamples], w2[2][kBlockSamples];
    a.fillBlock(1250, w1);
    b.fillBlock(1250, w2);
    EXPECT_EQ(std::memcmp(w1, w2, sizeof w1), 0);
    int peak = 0, differ = 0;
    for (int i = 0; i < kBlockSamples; ++i) {
        peak = std::max(peak, std::abs(at(w1, 0, i)));
        differ += w1[0][i] != w1[1][i];
    }
    EXPECT_GT(peak, 60);
    EXPECT_GT(differ, kBlockSamples / 2);
}

}  // namespace
