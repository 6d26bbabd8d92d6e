#include "linux/Pulse.h"

#include <pulse/error.h>
#include <pulse/pulseaudio.h>
#include <pulse/simple.h>

namespace {

// 16-bit stereo; the rate is the caller's.
const pa_sample_spec kSpec = {PA_SAMPLE_S16LE, 44100, 2};

std::string describe(int code) { return pa_strerror(code); }

}  // namespace

PulsePlayback::~PulsePlayback() { close(); }

bool PulsePlayback::open(int rate, std::string& error) {
    close();
    pa_sample_spec format = kSpec;
    format.rate = static_cast<uint32_t>(rate);
    // 150 ms in the server's buffer: enough not to drop out while a busy machine keeps the
    // writing thread waiting. The picture follows what is heard whatever the buffer holds (the
    // position is the frames written minus the server's latency).
    pa_buffer_attr attr;
    attr.maxlength = static_cast<uint32_t>(-1);
    attr.tlength = static_cast<uint32_t>(pa_usec_to_bytes(150000, &format));
    attr.prebuf = attr.minreq = static_cast<uint32_t>(-1);
    attr.fragsize = static_cast<uint32_t>(-1);
    int code = 0;
    stream_ = pa_simple_new(nullptr, "Vizorama", PA_STREAM_PLAYBACK, nullptr, "Music", &format,
                            nullptr, &attr, &code);
    if (!stream_) {
        error = describe(code);
        return false;
    }
    return true;
}

bool PulsePlayback::write(const int16_t* frames, size_t count) {
    int code = 0;
    return stream_ && pa_simple_write(stream_, frames, count * 4, &code) == 0;
}

uint64_t PulsePlayback::latencyUs() {
    int code = 0;
    pa_usec_t latency = stream_ ? pa_simple_get_latency(stream_, &code) : 0;
    return latency == static_cast<pa_usec_t>(-1) ? 0 : latency;
}

void PulsePlayback::drain() {
    int code = 0;
    if (stream_) pa_simple_drain(stream_, &code);
}

void PulsePlayback::close() {
    if (stream_) pa_simple_free(stream_);
    stream_ = nullptr;
}

namespace {

struct ListState {
    std::vector<SourceInfo>* sources;
    bool done = false, failed = false, timedOut = false;
};

// A server that accepts the connection but never answers (stopped, hung) must not hold us.
constexpr pa_usec_t kListDeadlineUs = 5000000;

void onDeadline(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* user) {
    static_cast<ListState*>(user)->timedOut = true;
}

void onSource(pa_context*, const pa_source_info* info, int eol, void* user) {
    auto* state = static_cast<ListState*>(user);
    if (eol != 0) {
        state->failed = eol < 0;
        state->done = true;
        return;
    }
    state->sources->push_back({info->name ? info->name : "",
                               info->description ? info->description : "",
                               info->monitor_of_sink != PA_INVALID_INDEX});
}

}  // namespace

bool listPulseSources(std::vector<SourceInfo>& sources, std::string& error) {
    pa_mainloop* loop = pa_mainloop_new();
    if (!loop) {
        error = "out of memory";
        return false;
    }
    pa_context* context = pa_context_new(pa_mainloop_get_api(loop), "Vizorama");
    bool ok = context && pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0;
    ListState state{&sources};
    pa_operation* operation = nullptr;
    pa_mainloop_api* api = pa_mainloop_get_api(loop);
    timeval deadline{};
    pa_timeval_add(pa_gettimeofday(&deadline), kListDeadlineUs);
    pa_time_event* timer = api->time_new(api, &deadline, onDeadline, &state);
    while (ok && !state.done) {
        if (pa_mainloop_iterate(loop, 1, nullptr) < 0 || state.timedOut) ok = false;
        pa_context_state_t s = pa_context_get_state(context);
        if (!PA_CONTEXT_IS_GOOD(s)) ok = false;
        if (ok && s == PA_CONTEXT_READY && !operation) {
            operation = pa_context_get_source_info_list(context, onSource, &state);
            if (!operation) ok = false;
        }
    }
    if (state.timedOut) error = "the sound server does not answer";
    else if (!ok || state.failed) error = context ? describe(pa_context_errno(context)) : "no context";
    if (timer) api->time_free(timer);
    if (operation) pa_operation_unref(operation);
    if (context) {
        pa_context_disconnect(context);
        pa_context_unref(context);
    }
    pa_mainloop_free(loop);
    return ok && !state.failed;
}
