#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "audio/PcmConvert.h"

namespace {

// The samples' bytes, little-endian, each as wide as T.
template <typename T>
std::vector<unsigned char> bytesOf(const std::vector<T>& samples) {
    std::vector<unsigned char> out(samples.size() * sizeof(T));
    for (size_t i = 0; i < samples.size(); ++i) {
        uint32_t bits = 0;
        std::memcpy(&bits, &samples[i], sizeof(T));
        for (size_t b = 0; b < sizeof(T); ++b) out[i * sizeof(T) + b] = static_cast<unsigned char>(bits >> (8 * b));
    }
    return out;
}

std::vector<int16_t> convert(const std::vector<unsigned char>& bytes, SampleType type, int channels,
                             size_t outFrames = 64) {
    std::vector<int16_t> out(outFrames * 2, 0x5555);
    out.resize(toStereo16(bytes.data(), bytes.size(), {type, channels}, out.data(), outFrames) * 2);
    return out;
}

TEST(PcmConvert, EveryFormatGivesTheSameFramesUpToItsBits) {
    const std::vector<int16_t> s16 = {0, 32767, -32768, 256, -1, 12345, -300, 77};  // 4 frames
    std::vector<int32_t> s32;
    std::vector<float> f32;
    std::vector<uint8_t> u8;
    std::vector<int16_t> topBytes;
    for (int16_t v : s16) {
        s32.push_back(v * 65536 + (v & 0x7FFF));  // low bits a 16-bit frame cannot keep
        f32.push_back(static_cast<float>(v) / 32768.0f);
        u8.push_back(static_cast<uint8_t>((v >> 8) + 128));
        topBytes.push_back(static_cast<int16_t>(v & ~0xFF));
    }
    EXPECT_EQ(convert(bytesOf(s16), SampleType::S16, 2), s16);
    EXPECT_EQ(convert(bytesOf(s32), SampleType::S32, 2), s16);
    EXPECT_EQ(convert(bytesOf(f32), SampleType::F32, 2), s16);  // WASAPI's mix format
    EXPECT_EQ(convert(bytesOf(u8), SampleType::U8, 2), topBytes);
    // 24-bit samples as sound servers record them: packed in three bytes, or in the low three
    // of four with the sign extended into the top one.
    std::vector<unsigned char> s24, s24in32;
    for (int16_t v : s16) {
        const int32_t wide = v * 256 + 0x5A;  // low bits a 16-bit frame cannot keep
        for (int b = 0; b < 4; ++b) {
            const auto byte = static_cast<unsigned char>(static_cast<uint32_t>(wide) >> (8 * b));
            if (b < 3) s24.push_back(byte);
            s24in32.push_back(byte);
        }
    }
    EXPECT_EQ(convert(s24, SampleType::S24, 2), s16);
    EXPECT_EQ(convert(s24in32, SampleType::S24In32, 2), s16);
    EXPECT_EQ(pcmFrameBytes({SampleType::S24, 6}), 18u);
    EXPECT_EQ(convert(s24, SampleType::S24, 3).size(), 2u * 2);  // 24 bytes: two frames of three
    // Mono heard on both sides; of six channels the first two.
    EXPECT_EQ(convert(bytesOf(std::vector<int16_t>{5, -6}), SampleType::S16, 1),
              (std::vector<int16_t>{5, 5, -6, -6}));
    EXPECT_EQ(convert(bytesOf(std::vector<float>{0.5f, -0.25f, 1, 1, 1, 1}), SampleType::F32, 6),
              (std::vector<int16_t>{16384, -8192}));

    // Floats beyond full scale clip, NaN is silence; below a 16-bit step they round down, as a
    // 32-bit sample's shift does.
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(convert(bytesOf(std::vector<float>{1, -1, 2.5f, -7, inf, -inf, std::nanf(""), -1e-9f}),
                      SampleType::F32, 2),
              (std::vector<int16_t>{32767, -32768, 32767, -32768, 32767, -32768, 0, -1}));
    EXPECT_EQ(convert(bytesOf(std::vector<int32_t>{-3, 65535}), SampleType::S32, 2),
              convert(bytesOf(std::vector<float>{-3.0f / 2147483648.0f, 65535.0f / 2147483648.0f}),
                      SampleType::F32, 2));
}

TEST(PcmConvert, TakesWholeFramesWithinBothBuffersAndRefusesFormatsItCannotName) {
    const std::vector<unsigned char> bytes(4 * 5 + 3, 0x40);  // five 16-bit stereo frames and a bit
    EXPECT_EQ(convert(bytes, SampleType::S16, 2).size(), 5u * 2);
    EXPECT_EQ(convert(bytes, SampleType::S16, 2, 3).size(), 3u * 2);  // no room for more
    EXPECT_EQ(convert(bytes, SampleType::F32, 6).size(), 0u);         // not one whole frame
    for (int channels : {0, -1, 65536, std::numeric_limits<int>::max()}) {
        EXPECT_EQ(pcmFrameBytes({SampleType::F32, channels}), 0u) << channels;
        EXPECT_TRUE(convert(bytes, SampleType::S16, channels).empty()) << channels;
    }
    // The most channels a format can name: one frame of 8-bit samples, then of floats.
    std::vector<unsigned char> wide(65535 * 4, 128);
    EXPECT_EQ(pcmFrameBytes({SampleType::F32, 65535}), wide.size());
    EXPECT_EQ(convert(wide, SampleType::U8, 65535), (std::vector<int16_t>{0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(convert(wide, SampleType::F32, 65535).size(), 2u);
}

}  // namespace
