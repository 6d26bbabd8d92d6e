#include "audio/AudioSource.h"

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

uint32_t le32(const unsigned char* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}
uint16_t le16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

constexpr double kPi = 3.14159265358979323846;

}  // namespace

void builtInSample(double seconds, int8_t& left, int8_t& right) {
    double beat = std::fmod(seconds, 0.5);
    double thump = std::exp(-beat * 9.0) * std::sin(2 * kPi * 55.0 * beat);
    double bar = std::fmod(seconds, 8.0) / 8.0;  // a slow swell over eight seconds
    double swell = 0.35 + 0.25 * std::sin(2 * kPi * bar);
    double l = 0.55 * thump + swell * std::sin(2 * kPi * 220.0 * seconds) +
               0.12 * std::sin(2 * kPi * 1320.0 * seconds);
    double r = 0.55 * thump + swell * std::sin(2 * kPi * 330.0 * seconds + 0.7) +
               0.12 * std::sin(2 * kPi * 990.0 * seconds);
    auto toSample = [](double v) {
        v = std::fmax(-1.0, std::fmin(1.0, v));
        return static_cast<int8_t>(std::lround(v * 127.0));
    };
    left = toSample(l);
    right = toSample(r);
}

bool AudioSource::loadWav(const std::string& path, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open the WAV file " + path;
        return false;
    }
    std::vector<unsigned char> data((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
    if (data.size() < 12 || std::memcmp(data.data(), "RIFF", 4) != 0 ||
        std::memcmp(data.data() + 8, "WAVE", 4) != 0) {
        error = path + " is not a WAV file";
        return false;
    }
    int channels = 0, bits = 0, rate = 0;
    const unsigned char* samples = nullptr;
    size_t sampleBytes = 0;
    size_t pos = 12;
    while (pos + 8 <= data.size()) {
        const unsigned char* chunk = data.data() + pos;
        uint32_t size = le32(chunk + 4);
        size_t available = data.size() - pos - 8;
        size_t body = size < available ? size : available;
        if (std::memcmp(chunk, "fmt ", 4) == 0 && body >= 16) {
            uint16_t format = le16(chunk + 8);
            channels = le16(chunk + 10);
            rate = static_cast<int>(le32(chunk + 12));
            bits = le16(chunk + 22);
            bool extensiblePcm = format == 0xFFFE && body >= 40 && le16(chunk + 8 + 24) == 1;
            if (format != 1 && !extensiblePcm) {
                error = path + " is not uncompressed PCM";
                return false;
            }
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            samples = chunk + 8;
            sampleBytes = body;
        }
        pos += 8 + body + (body & 1);
    }
    if (channels < 1 || channels > 2 || (bits != 8 && bits != 16) || rate <= 0) {
        error = path + ": only 8 or 16-bit mono or stereo PCM is supported";
        return false;
    }
    size_t frameBytes = static_cast<size_t>(channels) * (bits / 8);
    size_t frames = samples ? sampleBytes / frameBytes : 0;
    if (frames == 0) {
        error = path + " holds no samples";
        return false;
    }
    left_.resize(frames);
    right_.resize(frames);
    pcm_.resize(frames * 2);
    for (size_t i = 0; i < frames; ++i) {
        for (int c = 0; c < 2; ++c) {
            const unsigned char* p = samples + i * frameBytes + (c < channels ? c : 0) * (bits / 8);
            // 8-bit WAV samples are unsigned around 128; 16-bit ones signed: keep the top byte.
            int8_t v = bits == 8 ? static_cast<int8_t>(p[0] - 128) : static_cast<int8_t>(p[1]);
            (c == 0 ? left_ : right_)[i] = v;
            pcm_[i * 2 + c] = bits == 8 ? static_cast<int16_t>(v * 256)
                                        : static_cast<int16_t>(le16(p));
        }
    }
    sampleRate_ = rate;
    return true;
}

void AudioSource::fillBlock(double timeMs, unsigned char waveform[2][kBlockSamples]) const {
    if (isBuiltIn()) {
        for (int i = 0; i < kBlockSamples; ++i) {
            int8_t l, r;
            builtInSample(timeMs / 1000.0 + static_cast<double>(i) / sampleRate_, l, r);
            waveform[0][i] = static_cast<unsigned char>(l);
            waveform[1][i] = static_cast<unsigned char>(r);
        }
        return;
    }
    size_t frames = left_.size();
    size_t start = static_cast<size_t>(timeMs < 0 ? 0 : timeMs * sampleRate_ / 1000.0) % frames;
    for (int i = 0; i < kBlockSamples; ++i) {
        size_t at = (start + static_cast<size_t>(i)) % frames;
        waveform[0][i] = static_cast<unsigned char>(left_[at]);
        waveform[1][i] = static_cast<unsigned char>(right_[at]);
    }
}
