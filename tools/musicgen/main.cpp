// vzrm_musicgen OUTPUT.wav: writes our demo song as a 44.1 kHz 16-bit stereo WAV file.

#include <cstdio>
#include <string>

#include "tools/musicgen/Song.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: vzrm_musicgen OUTPUT.wav\n");
        return 2;
    }
    constexpr int kSampleRate = 44100;
    std::string error;
    if (!writeWav(argv[1], toPcm16(renderSong(kSampleRate)), kSampleRate, error)) {
        std::fprintf(stderr, "vzrm_musicgen: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
