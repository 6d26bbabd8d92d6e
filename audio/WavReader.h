#pragma once
// The chunks of a RIFF WAVE file: its sample format, rate and where its samples are. Only
// uncompressed 8 or 16-bit PCM in one or two channels is taken.

#include <cstddef>

#include "audio/PcmConvert.h"

enum class WavError { None, NotWav, NotPcm, UnsupportedFormat, NoSamples };

struct WavContents {
    PcmFormat format;
    int rate = 0;
    const unsigned char* samples = nullptr;  // within the bytes read
    size_t frames = 0;                       // whole frames there
};

// Reads a WAV file's bytes[0..size). Every chunk is bounded by the bytes present: a chunk that
// says it is longer ends with the file.
WavError readWav(const unsigned char* bytes, size_t size, WavContents& wav);
