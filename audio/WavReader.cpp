#include "audio/WavReader.h"

#include <cstdint>
#include <cstring>

namespace {

uint32_t le32(const unsigned char* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}
uint16_t le16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

}  // namespace

WavError readWav(const unsigned char* bytes, size_t size, WavContents& wav) {
    if (size < 12 || std::memcmp(bytes, "RIFF", 4) != 0 || std::memcmp(bytes + 8, "WAVE", 4) != 0)
        return WavError::NotWav;
    int channels = 0, bits = 0, rate = 0;
    const unsigned char* samples = nullptr;
    size_t sampleBytes = 0;
    size_t pos = 12;
    while (pos + 8 <= size) {
        const unsigned char* chunk = bytes + pos;
        uint32_t length = le32(chunk + 4);
        size_t available = size - pos - 8;
        size_t body = length < available ? length : available;
        if (std::memcmp(chunk, "fmt ", 4) == 0 && body >= 16) {
            uint16_t format = le16(chunk + 8);
            channels = le16(chunk + 10);
            rate = static_cast<int>(le32(chunk + 12));
            bits = le16(chunk + 22);
            bool extensiblePcm = format == 0xFFFE && body >= 40 && le16(chunk + 8 + 24) == 1;
            if (format != 1 && !extensiblePcm) return WavError::NotPcm;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            samples = chunk + 8;
            sampleBytes = body;
        }
        pos += 8 + body + (body & 1);
    }
    if (channels < 1 || channels > 2 || (bits != 8 && bits != 16) || rate <= 0)
        return WavError::UnsupportedFormat;
    // 8-bit WAV samples are unsigned around 128; 16-bit ones signed.
    const PcmFormat format{bits == 8 ? SampleType::U8 : SampleType::S16, channels};
    const size_t frames = samples ? sampleBytes / pcmFrameBytes(format) : 0;
    if (frames == 0) return WavError::NoSamples;
    wav.format = format;
    wav.rate = rate;
    wav.samples = samples;
    wav.frames = frames;
    return WavError::None;
}
