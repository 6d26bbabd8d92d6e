#include "audio/WaveformBlock.h"

#include <algorithm>
#include <cstring>

void blockFromFrames(const int16_t* frames, size_t count, uint8_t block[2][kWaveformSamples]) {
    const size_t n = std::min<size_t>(count, kWaveformSamples);
    const size_t silent = kWaveformSamples - n;
    std::memset(block[0], 0, silent);
    std::memset(block[1], 0, silent);
    const int16_t* from = frames + (count - n) * 2;
    for (size_t i = 0; i < n; ++i) {
        block[0][silent + i] = blockSample(from[i * 2]);
        block[1][silent + i] = blockSample(from[i * 2 + 1]);
    }
}
