#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <vector>

#include "host/Audio.h"
#include "tests/native/TestFiles.h"

namespace {

void put16(std::vector<char>& out, uint16_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>(v >> 8));
}
void put32(std::vector<char>& out, uint32_t v) {
    put16(out, static_cast<uint16_t>(v & 0xFFFF));
    put16(out, static_cast<uint16_t>(v >> 16));
}

// A WAV file with the given format and raw sample bytes, plus a chunk the reader must skip.
void writeWav(const std::string& path, uint16_t format, int channels, int bits,
              const std::vector<char>& samples) {
    std::vector<char> out;
    auto tag = [&](const char* t) { out.insert(out.end(), t, t + 4); };
    tag("RIFF");
    put32(out, static_cast<uint32_t>(4 + 24 + 10 + 8 + samples.size()));
    tag("WAVE");
    tag("fmt ");
    put32(out, 16);
    put16(out, format);
    put16(out, static_cast<uint16_t>(channels));
    put32(out, 8000);
    put32(out, static_cast<uint32_t>(8000 * channels * bits / 8));
    put16(out, static_cast<uint16_t>(channels * bits / 8));
    put16(out, static_cast<uint16_t>(bits));
    tag("LIST");
    put32(out, 1);  // odd-sized chunk: padded to an even length
    out.push_back('x');
    out.push_back(0);
    tag("data");
    put32(out, static_cast<uint32_t>(samples.size()));
    out.insert(out.end(), samples.begin(), samples.end());
    std::ofstream(path, std::ios::binary).write(out.data(), static_cast<std::streamsize>(out.size()));
}

TEST(Audio, ConvertsWavSamplesToSignedBytesPerChannel) {
    ScratchFolder folder;
    std::string error;

    // 16-bit stereo: the top byte of each sample; left and right apart.
    std::vector<char> stereo16;
    for (int i = 0; i < 1000; ++i) {
        put16(stereo16, static_cast<uint16_t>(static_cast<int16_t>(i * 32)));
        put16(stereo16, static_cast<uint16_t>(static_cast<int16_t>(-i * 32)));
    }
    writeWav(folder.path() + "s16.wav", 1, 2, 16, stereo16);
    AudioSource a;
    ASSERT_TRUE(a.loadWav(folder.path() + "s16.wav", error)) << error;
    EXPECT_FALSE(a.isBuiltIn());
    unsigned char wave[2][kBlockSamples];
    a.fillBlock(1000.0 * 100 / 8000, wave);  // starts at sample 100
    EXPECT_EQ(static_cast<int8_t>(wave[0][0]), static_cast<int8_t>((100 * 32) >> 8));
    EXPECT_EQ(static_cast<int8_t>(wave[1][0]), static_cast<int8_t>((-100 * 32) >> 8));
    a.fillBlock(1000.0 * 999 / 8000, wave);  // the file loops
    EXPECT_EQ(static_cast<int8_t>(wave[0][1]), 0);

    // 8-bit mono: unsigned around 128, copied to both channels.
    std::vector<char> mono8(700, static_cast<char>(200));
    writeWav(folder.path() + "m8.wav", 1, 1, 8, mono8);
    ASSERT_TRUE(a.loadWav(folder.path() + "m8.wav", error)) << error;
    a.fillBlock(0, wave);
    EXPECT_EQ(static_cast<int8_t>(wave[0][5]), 72);
    EXPECT_EQ(static_cast<int8_t>(wave[1][5]), 72);
}

TEST(Audio, RefusesWhatItCannotPlayAndKeepsTheSignalItHad) {
    ScratchFolder folder;
    std::string error;
    AudioSource a;
    EXPECT_FALSE(a.loadWav(folder.path() + "absent.wav", error));
    EXPECT_NE(error.find("cannot open"), std::string::npos);

    writeTextFile(folder.path() + "text.wav", "not a wav at all");
    EXPECT_FALSE(a.loadWav(folder.path() + "text.wav", error));

    writeWav(folder.path() + "float.wav", 3, 2, 32, std::vector<char>(64));
    EXPECT_FALSE(a.loadWav(folder.path() + "float.wav", error));

    writeWav(folder.path() + "empty.wav", 1, 2, 16, {});
    EXPECT_FALSE(a.loadWav(folder.path() + "empty.wav", error));
    EXPECT_TRUE(a.isBuiltIn());
}

TEST(Audio, BuiltInSignalIsRepeatableLoudAndDifferentPerChannel) {
    AudioSource a, b;
    unsigned char w1[2][kBlockSamples], w2[2][kBlockSamples];
    a.fillBlock(1250, w1);
    b.fillBlock(1250, w2);
    EXPECT_EQ(std::memcmp(w1, w2, sizeof w1), 0);
    int peak = 0, differ = 0;
    for (int i = 0; i < kBlockSamples; ++i) {
        int l = static_cast<int8_t>(w1[0][i]);
        peak = std::max(peak, std::abs(l));
        differ += w1[0][i] != w1[1][i];
    }
    EXPECT_GT(peak, 60);
    EXPECT_GT(differ, kBlockSamples / 2);
}

}  // namespace
