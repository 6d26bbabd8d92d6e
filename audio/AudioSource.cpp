#include "audio/AudioSource.h"

#include <fstream>
#include <iterator>

#include "audio/BuiltInSignal.h"
#include "audio/PcmConvert.h"
#include "audio/WavReader.h"

bool AudioSource::loadWav(const std::string& path, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open the WAV file " + path;
        return false;
    }
    const std::vector<unsigned char> data((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
    WavContents wav;
    switch (readWav(data.data(), data.size(), wav)) {
        case WavError::None: break;
        case WavError::NotWav: error = path + " is not a WAV file"; return false;
        case WavError::NotPcm: error = path + " is not uncompressed PCM"; return false;
        case WavError::UnsupportedFormat:
            error = path + ": only 8 or 16-bit mono or stereo PCM is supported";
            return false;
        case WavError::NoSamples: error = path + " holds no samples"; return false;
    }
    // No more frames than the file has bytes: twice that cannot overflow.
    pcm_.resize(wav.frames * 2);
    toStereo16(wav.samples, wav.frames * pcmFrameBytes(wav.format), wav.format, pcm_.data(), wav.frames);
    sampleRate_ = wav.rate;
    return true;
}

void AudioSource::fillBlock(double timeMs, unsigned char waveform[2][kWaveformSamples]) const {
    if (isBuiltIn()) {
        for (int i = 0; i < kWaveformSamples; ++i) {
            int8_t l, r;
            builtInSample(timeMs / 1000.0 + static_cast<double>(i) / sampleRate_, l, r);
            waveform[0][i] = static_cast<unsigned char>(l);
            waveform[1][i] = static_cast<unsigned char>(r);
        }
        return;
    }
    size_t frames = pcm_.size() / 2;
    size_t start = static_cast<size_t>(timeMs < 0 ? 0 : timeMs * sampleRate_ / 1000.0) % frames;
    for (int i = 0; i < kWaveformSamples; ++i) {
        size_t at = (start + static_cast<size_t>(i)) % frames;
        waveform[0][i] = blockSample(pcm_[at * 2]);
        waveform[1][i] = blockSample(pcm_[at * 2 + 1]);
    }
}
