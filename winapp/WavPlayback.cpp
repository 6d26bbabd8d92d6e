#include "winapp/WavPlayback.h"

#include <windows.h>

#include <mmsystem.h>

#include <algorithm>

bool WavPlayback::start(std::string& error) {
    const auto& pcm = music_.stereoPcm();
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 2;
    format.nSamplesPerSec = static_cast<DWORD>(music_.sampleRate());
    format.wBitsPerSample = 16;
    format.nBlockAlign = 4;
    format.nAvgBytesPerSec = format.nSamplesPerSec * 4;
    HWAVEOUT device = nullptr;
    const MMRESULT opened = waveOutOpen(&device, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL);
    if (opened != MMSYSERR_NOERROR) {
        error = opened == MMSYSERR_NODRIVER || opened == MMSYSERR_BADDEVICEID ? "no audio device"
                                                                             : "the output refuses the file";
        return false;
    }
    // The whole file in one buffer, played over and over when looping.
    auto* header = new WAVEHDR{};
    header->lpData = reinterpret_cast<LPSTR>(const_cast<int16_t*>(pcm.data()));
    header->dwBufferLength = static_cast<DWORD>(pcm.size() * sizeof(int16_t));
    if (loop_) {
        header->dwFlags = WHDR_BEGINLOOP | WHDR_ENDLOOP;
        header->dwLoops = 0xFFFFFFFF;
    }
    if (waveOutPrepareHeader(device, header, sizeof *header) != MMSYSERR_NOERROR ||
        waveOutWrite(device, header, sizeof *header) != MMSYSERR_NOERROR) {
        waveOutClose(device);
        delete header;
        error = "the output refuses the file";
        return false;
    }
    device_ = device;
    header_ = header;
    return true;
}

void WavPlayback::startSilent(double now) { silentFrom_ = now; }

void WavPlayback::stop() {
    if (!device_) return;
    auto device = static_cast<HWAVEOUT>(device_);
    auto* header = static_cast<WAVEHDR*>(header_);
    waveOutReset(device);
    waveOutUnprepareHeader(device, header, sizeof *header);
    waveOutClose(device);
    delete header;
    device_ = header_ = nullptr;
}

double WavPlayback::heardFrame(double now) const {
    if (!device_) return silentFrom_ < 0 ? 0 : (now - silentFrom_) * music_.sampleRate();
    MMTIME time{};
    time.wType = TIME_SAMPLES;
    waveOutGetPosition(static_cast<HWAVEOUT>(device_), &time, sizeof time);
    return time.wType == TIME_SAMPLES ? time.u.sample
           : time.wType == TIME_BYTES ? time.u.cb / 4.0
                                      : 0;
}

void WavPlayback::heardBlock(double now, uint8_t block[2][kWaveformSamples]) const {
    const double frame = std::max(0.0, heardFrame(now) - kWaveformSamples);
    music_.fillBlock(frame * 1000.0 / music_.sampleRate(), block);
}

bool WavPlayback::finished(double now) const {
    if (loop_) return false;
    if (device_) return (static_cast<WAVEHDR*>(header_)->dwFlags & WHDR_DONE) != 0;
    return silentFrom_ >= 0 && heardFrame(now) >= static_cast<double>(music_.stereoPcm().size() / 2);
}
