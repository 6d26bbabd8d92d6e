#include "audio/PcmConvert.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

size_t sampleBytes(SampleType type) {
    switch (type) {
        case SampleType::U8: return 1;
        case SampleType::S16: return 2;
        case SampleType::S24: return 3;
        case SampleType::S24In32:
        case SampleType::S32:
        case SampleType::F32: return 4;
    }
    return 0;
}

int16_t fromFloat(const unsigned char* p) {
    const uint32_t bits = p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
    float v;
    std::memcpy(&v, &bits, sizeof v);
    if (std::isnan(v)) return 0;
    // Rounded down, as a 32-bit sample's shift rounds; beyond full scale it clips.
    const float scaled = std::floor(v * 32768.0f);
    if (scaled >= 32767.0f) return 32767;
    if (scaled <= -32768.0f) return -32768;
    return static_cast<int16_t>(scaled);
}

int16_t sampleAt(const unsigned char* p, SampleType type) {
    switch (type) {
        case SampleType::U8: return static_cast<int16_t>((p[0] - 128) * 256);
        case SampleType::S16: return static_cast<int16_t>(p[0] | p[1] << 8);
        case SampleType::S24:      // the top 16 of 24 bits, in both
        case SampleType::S24In32: return static_cast<int16_t>(p[1] | p[2] << 8);
        case SampleType::S32: return static_cast<int16_t>(p[2] | p[3] << 8);  // the top 16 bits
        case SampleType::F32: return fromFloat(p);
    }
    return 0;
}

}  // namespace

size_t pcmFrameBytes(PcmFormat format) {
    if (format.channels < 1 || format.channels > 65535) return 0;
    return static_cast<size_t>(format.channels) * sampleBytes(format.type);
}

size_t toStereo16(const void* bytes, size_t size, PcmFormat format, int16_t* out, size_t outFrames) {
    const size_t frameBytes = pcmFrameBytes(format);
    if (frameBytes == 0) return 0;
    const size_t frames = std::min(size / frameBytes, outFrames);
    const size_t right = format.channels > 1 ? sampleBytes(format.type) : 0;
    const unsigned char* p = static_cast<const unsigned char*>(bytes);
    for (size_t i = 0; i < frames; ++i, p += frameBytes) {
        out[i * 2] = sampleAt(p, format.type);
        out[i * 2 + 1] = sampleAt(p + right, format.type);
    }
    return frames;
}
