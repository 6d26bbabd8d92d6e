#pragma once
// PCM of the common formats turned into the 16-bit stereo frames (left first) that the block and
// the sample ring take: what a WAV file holds, what a sound server records, what WASAPI hands
// over (its usual mix format is 32-bit float stereo at 48 kHz).

#include <cstddef>
#include <cstdint>

// How one sample is stored, little-endian: unsigned 8-bit around 128, signed 16, 24 (three
// bytes, packed), 24 in the low three bytes of 32 (sign-extended into the fourth) or 32-bit, or
// 32-bit float with full scale at -1 and 1. These are the formats sound servers' sources
// record in (PulseAudio's S16LE, S24LE, S24_32LE, S32LE, FLOAT32LE, U8).
enum class SampleType { U8, S16, S24, S24In32, S32, F32 };

struct PcmFormat {
    SampleType type = SampleType::S16;
    int channels = 2;  // interleaved; one is heard on both sides, beyond two the first two are taken
};

// The bytes of one frame (a sample of every channel); 0 when the format is none we take: no
// channels, or more than the 65535 a WAV or WASAPI format can name.
size_t pcmFrameBytes(PcmFormat format);

// Converts the whole frames in bytes[0..size), at most outFrames of them, into out (room for
// outFrames stereo frames). Returns the frames written; a partial frame at the end is left.
// Each sample keeps its top 16 bits (a float's full scale as a 32-bit sample's), so the same
// sound in any of the formats gives the same frames, up to the bits a format has.
size_t toStereo16(const void* bytes, size_t size, PcmFormat format, int16_t* out, size_t outFrames);
