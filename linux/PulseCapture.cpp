#include "linux/PulseCapture.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <utility>

#include "audio/HeardClock.h"
#include "audio/PcmConvert.h"
#include "linux/Say.h"

namespace {

// Waits between attempts to reach the server: a quarter of a second, doubling up to two.
constexpr pa_usec_t kFirstRetryUs = 250000, kLongestRetryUs = 2000000;
// How often a monitored output's latency is asked for.
constexpr pa_usec_t kLatencyPeriodUs = 200000;

// How we take a source's own sample format; false for those we let the server convert to
// floats (big-endian, A-law, mu-law), at the source's own rate.
bool sampleTypeOf(pa_sample_format_t format, SampleType& type) {
    switch (format) {
        case PA_SAMPLE_U8: type = SampleType::U8; return true;
        case PA_SAMPLE_S16LE: type = SampleType::S16; return true;
        case PA_SAMPLE_S24LE: type = SampleType::S24; return true;
        case PA_SAMPLE_S24_32LE: type = SampleType::S24In32; return true;
        case PA_SAMPLE_S32LE: type = SampleType::S32; return true;
        case PA_SAMPLE_FLOAT32LE: type = SampleType::F32; return true;
        default: return false;
    }
}

}  // namespace

// Everything below runs on the client library's thread (its callbacks), or with its lock held.
struct PulseCapture::Loop {
    pa_threaded_mainloop* mainloop = nullptr;
    pa_mainloop_api* api = nullptr;
    pa_context* context = nullptr;
    pa_stream* stream = nullptr;
    pa_time_event* retry = nullptr;
    pa_time_event* latencyTimer = nullptr;
    SampleRing* ring = nullptr;
    std::string wanted;     // the named source; empty: the default output's monitor
    std::string recording;  // the source the stream records
    bool ready = false, everReady = false, lostSaid = false, absentSaid = false, found = false;
    pa_usec_t retryUs = kFirstRetryUs;
    int rate = 0;
    uint32_t monitorOf = PA_INVALID_INDEX;  // the output whose monitor is recorded
    bool latencyAsked = false;
    HeardClock anchor;  // from the output's latency last reported; rate 0: none yet
    PcmFormat format;
    size_t frameBytes = 0;
    std::vector<int16_t> converted;

    std::atomic<int64_t> leadUs{0};
    std::mutex messagesMutex;  // the picture's thread takes the messages
    std::vector<std::string> messages;

    void tell(const std::string& text) {
        std::lock_guard<std::mutex> lock(messagesMutex);
        messages.push_back(text);
    }

    void connect();
    void lose();
    void scheduleRetry(pa_usec_t delay);
    void startTimer(pa_time_event*& event, pa_usec_t delay, pa_time_event_cb_t callback);
    void resolve();
    void record(const pa_source_info& info);
    void dropStream();
    void silence() {
        ring->clear();
        leadUs = 0;
    }
    void read();
    void close();

    static void onContextState(pa_context* c, void* user);
    static void onEvent(pa_context*, pa_subscription_event_type_t type, uint32_t, void* user);
    static void onServerInfo(pa_context*, const pa_server_info* info, void* user);
    static void onSinkInfo(pa_context*, const pa_sink_info* info, int eol, void* user);
    static void onSourceInfo(pa_context*, const pa_source_info* info, int eol, void* user);
    static void onStreamState(pa_stream* s, void* user);
    static void onRead(pa_stream*, size_t, void* user) { static_cast<Loop*>(user)->read(); }
    static void onRetry(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* user);
    static void onLatencyTimer(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* user);
    static void onOutputLatency(pa_context*, const pa_sink_info* info, int eol, void* user);
};

void PulseCapture::Loop::connect() {
    context = pa_context_new(api, "Vizorama");
    if (!context) {
        scheduleRetry(retryUs);
        return;
    }
    pa_context_set_state_callback(context, onContextState, this);
    // A connection refused at once may already have been lost through the state callback.
    if (pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0 && context) lose();
}

// The server is not there, or went away: silence, a line for the user once, and another try.
void PulseCapture::Loop::lose() {
    if (!context) return;
    const std::string why = pa_strerror(pa_context_errno(context));
    dropStream();
    pa_context_set_state_callback(context, nullptr, nullptr);
    pa_context_set_subscribe_callback(context, nullptr, nullptr);
    pa_context_disconnect(context);
    pa_context_unref(context);
    context = nullptr;
    silence();
    if (ready) {
        tell("lost the sound server; the scene runs on silence until it is back");
        lostSaid = true;
        retryUs = kFirstRetryUs;
    } else if (!everReady && !absentSaid) {
        tell("no sound server (" + why + "); the scene runs on silence until one starts");
        absentSaid = true;
    }
    ready = false;
    scheduleRetry(retryUs);
    retryUs = std::min(retryUs * 2, kLongestRetryUs);
}

void PulseCapture::Loop::scheduleRetry(pa_usec_t delay) { startTimer(retry, delay, onRetry); }

// Time events fire once each time they are started.
void PulseCapture::Loop::startTimer(pa_time_event*& event, pa_usec_t delay, pa_time_event_cb_t callback) {
    timeval when{};
    pa_timeval_add(pa_gettimeofday(&when), delay);
    if (event) api->time_restart(event, &when);
    else event = api->time_new(api, &when, callback, this);
}

void PulseCapture::Loop::onRetry(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* user) {
    Loop& l = *static_cast<Loop*>(user);
    if (!l.context) l.connect();
    else if (l.ready) l.resolve();  // a stream that failed while the server stayed
}

void PulseCapture::Loop::onContextState(pa_context* c, void* user) {
    Loop& l = *static_cast<Loop*>(user);
    switch (pa_context_get_state(c)) {
        case PA_CONTEXT_READY:
            if (l.lostSaid) l.tell("the sound server is back");
            else if (l.absentSaid) l.tell("found a sound server");
            l.ready = l.everReady = true;
            l.lostSaid = l.absentSaid = false;
            l.retryUs = kFirstRetryUs;
            pa_context_set_subscribe_callback(c, onEvent, &l);
            if (pa_operation* o = pa_context_subscribe(
                    c, static_cast<pa_subscription_mask_t>(PA_SUBSCRIPTION_MASK_SERVER | PA_SUBSCRIPTION_MASK_SOURCE),
                    nullptr, nullptr))
                pa_operation_unref(o);
            l.resolve();
            break;
        case PA_CONTEXT_FAILED:
        case PA_CONTEXT_TERMINATED:
            l.lose();
            break;
        default:
            break;
    }
}

// A server change may be another default output; a new source may be the one we wait for.
void PulseCapture::Loop::onEvent(pa_context*, pa_subscription_event_type_t type, uint32_t, void* user) {
    Loop& l = *static_cast<Loop*>(user);
    const unsigned facility = type & PA_SUBSCRIPTION_EVENT_FACILITY_MASK;
    const unsigned kind = type & PA_SUBSCRIPTION_EVENT_TYPE_MASK;
    if ((facility == PA_SUBSCRIPTION_EVENT_SERVER && l.wanted.empty()) ||
        (facility == PA_SUBSCRIPTION_EVENT_SOURCE && kind == PA_SUBSCRIPTION_EVENT_NEW && !l.stream))
        l.resolve();
}

// Finds the source to record: the named one, or the default output's monitor (the server's
// default sink, then its monitor source). The answers come in the order asked, so the last
// question asked decides.
void PulseCapture::Loop::resolve() {
    pa_operation* o = wanted.empty() ? pa_context_get_server_info(context, onServerInfo, this)
                                     : pa_context_get_source_info_by_name(context, wanted.c_str(), onSourceInfo, this);
    if (o) pa_operation_unref(o);
}

void PulseCapture::Loop::onServerInfo(pa_context* c, const pa_server_info* info, void* user) {
    if (!info || !info->default_sink_name) return;  // no output at all: nothing to follow
    if (pa_operation* o = pa_context_get_sink_info_by_name(c, info->default_sink_name, onSinkInfo, user))
        pa_operation_unref(o);
}

void PulseCapture::Loop::onSinkInfo(pa_context* c, const pa_sink_info* info, int eol, void* user) {
    if (eol || !info || !info->monitor_source_name) return;
    if (pa_operation* o = pa_context_get_source_info_by_name(c, info->monitor_source_name, onSourceInfo, user))
        pa_operation_unref(o);
}

void PulseCapture::Loop::onSourceInfo(pa_context*, const pa_source_info* info, int eol, void* user) {
    Loop& l = *static_cast<Loop*>(user);
    if (!eol && info) {
        l.found = true;
        l.record(*info);
        return;
    }
    // The end of one answer: a named source that was not there.
    if (!l.found && !l.wanted.empty() && !l.stream)
        l.tell("no sound source named " + l.wanted + "; the scene runs on silence until it appears");
    l.found = false;
}

void PulseCapture::Loop::record(const pa_source_info& info) {
    if (stream && recording == info.name) return;
    const bool moving = stream != nullptr;
    dropStream();
    pa_sample_spec spec = info.sample_spec;
    SampleType type = SampleType::F32;
    if (!sampleTypeOf(spec.format, type)) spec.format = PA_SAMPLE_FLOAT32LE;
    format = {type, spec.channels};
    frameBytes = pcmFrameBytes(format);
    rate = static_cast<int>(spec.rate);
    if (frameBytes == 0 || rate <= 0) return;  // a format the server should never report
    // The server's rate and format: nothing resampled. Fragments of kCaptureFragmentMs, and the
    // source's latency adjusted to them: a monitored output left to itself may mix up to two
    // seconds ahead in one go, which no history holds and no picture follows smoothly.
    pa_buffer_attr attr;
    attr.maxlength = attr.tlength = attr.prebuf = attr.minreq = static_cast<uint32_t>(-1);
    attr.fragsize = static_cast<uint32_t>(pa_usec_to_bytes(kCaptureFragmentMs * 1000, &spec));
    stream = pa_stream_new(context, "Visualisation input", &spec, &info.channel_map);
    if (!stream) return;
    pa_stream_set_state_callback(stream, onStreamState, this);
    pa_stream_set_read_callback(stream, onRead, this);
    const int flags = PA_STREAM_ADJUST_LATENCY | (wanted.empty() ? 0 : PA_STREAM_DONT_MOVE);
    if (pa_stream_connect_record(stream, info.name, &attr, static_cast<pa_stream_flags_t>(flags)) < 0) {
        dropStream();
        return;
    }
    recording = info.name;
    monitorOf = info.monitor_of_sink;
    anchor = HeardClock{};
    latencyAsked = false;
    if (monitorOf != PA_INVALID_INDEX) startTimer(latencyTimer, 0, onLatencyTimer);
    converted.resize(static_cast<size_t>(rate) / 10 * 2);  // 100 ms a conversion
    ring->reset(historyFramesFor(rate));
    if (moving)
        tell(std::string("now recording ") + (info.description ? info.description : info.name));
}

void PulseCapture::Loop::onStreamState(pa_stream* s, void* user) {
    Loop& l = *static_cast<Loop*>(user);
    const pa_stream_state_t state = pa_stream_get_state(s);
    if (state != PA_STREAM_FAILED && state != PA_STREAM_TERMINATED) return;
    if (!l.ready || pa_context_get_state(l.context) != PA_CONTEXT_READY) return;  // lose() follows
    // The source went away (an output unplugged, a module unloaded).
    const std::string gone = l.recording;
    l.dropStream();
    l.silence();
    if (!l.wanted.empty()) l.tell("the sound source " + gone + " went away; the scene runs on silence until it is back");
    else l.scheduleRetry(kFirstRetryUs);
}

void PulseCapture::Loop::dropStream() {
    if (!stream) return;
    pa_stream_set_state_callback(stream, nullptr, nullptr);
    pa_stream_set_read_callback(stream, nullptr, nullptr);
    pa_stream_disconnect(stream);
    pa_stream_unref(stream);
    stream = nullptr;
    recording.clear();
    monitorOf = PA_INVALID_INDEX;
    anchor = HeardClock{};
}

// Takes everything the server has handed over into the ring, then tells the ring which frame
// is heard now: as the output's latency last said, or the newest frame (a source that is no
// monitor, or before the first answer).
void PulseCapture::Loop::read() {
    const void* data = nullptr;
    size_t size = 0;
    while (pa_stream_peek(stream, &data, &size) == 0 && size > 0) {
        size_t frames = size / frameBytes;
        const auto* bytes = static_cast<const unsigned char*>(data);
        while (frames > 0) {
            const size_t n = std::min(frames, converted.size() / 2);
            if (bytes) {
                toStereo16(bytes, n * frameBytes, format, converted.data(), n);
                bytes += n * frameBytes;
            } else {  // a hole: frames the server dropped, silent
                std::fill(converted.begin(), converted.begin() + static_cast<long>(n * 2), 0);
            }
            ring->push(converted.data(), n);
            frames -= n;
        }
        pa_stream_drop(stream);
    }
    HeardClock clock = anchor.rate > 0 ? anchor : heardClockFromLead(ring->framesPushed(), 0, seconds(), rate);
    clock.arrivedAt = seconds();
    ring->setHeardClock(clock);
}

// A monitor hands over each frame as its output mixes it; the output plays it its latency
// later. The server's monitor stream reports no negative latency (PulseAudio clamps it to
// zero), so the output's own latency is asked for: the frame heard now is the frames read so
// far less that many. One question at a time, so a stopped server gathers none.
void PulseCapture::Loop::onLatencyTimer(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* user) {
    Loop& l = *static_cast<Loop*>(user);
    if (!l.stream || l.monitorOf == PA_INVALID_INDEX) return;
    if (!l.latencyAsked) {
        if (pa_operation* o = pa_context_get_sink_info_by_index(l.context, l.monitorOf, onOutputLatency, &l)) {
            pa_operation_unref(o);
            l.latencyAsked = true;
        }
    }
    l.startTimer(l.latencyTimer, kLatencyPeriodUs, onLatencyTimer);
}

void PulseCapture::Loop::onOutputLatency(pa_context*, const pa_sink_info* info, int eol, void* user) {
    Loop& l = *static_cast<Loop*>(user);
    if (eol) {
        l.latencyAsked = false;
        return;
    }
    if (!info || !l.stream || info->index != l.monitorOf) return;
    const double lead = static_cast<double>(info->latency) / 1e6;
    l.anchor = heardClockFromLead(l.ring->framesPushed(), lead, seconds(), l.rate);
    l.leadUs = static_cast<int64_t>(info->latency);
}

// Leaves the server without waiting for it: a stopped or hung server cannot hold up the end.
void PulseCapture::Loop::close() {
    dropStream();
    if (context) {
        pa_context_set_state_callback(context, nullptr, nullptr);
        pa_context_set_subscribe_callback(context, nullptr, nullptr);
        pa_context_disconnect(context);
        pa_context_unref(context);
        context = nullptr;
    }
    for (pa_time_event** event : {&retry, &latencyTimer}) {
        if (*event) api->time_free(*event);
        *event = nullptr;
    }
    ready = false;
}

PulseCapture::PulseCapture() : loop_(std::make_unique<Loop>()) {}

PulseCapture::~PulseCapture() { stop(); }

bool PulseCapture::start(const std::string& source, SampleRing& ring, std::string& error) {
    stop();
    Loop& l = *loop_;
    l.mainloop = pa_threaded_mainloop_new();
    if (!l.mainloop || pa_threaded_mainloop_start(l.mainloop) < 0) {
        error = "the sound library cannot start its thread";
        if (l.mainloop) pa_threaded_mainloop_free(l.mainloop);
        l.mainloop = nullptr;
        return false;
    }
    pa_threaded_mainloop_lock(l.mainloop);
    l.api = pa_threaded_mainloop_get_api(l.mainloop);
    l.ring = &ring;
    l.wanted = source;
    l.everReady = l.lostSaid = l.absentSaid = l.found = false;
    l.retryUs = kFirstRetryUs;
    l.connect();
    pa_threaded_mainloop_unlock(l.mainloop);
    return true;
}

void PulseCapture::stop() {
    Loop& l = *loop_;
    if (!l.mainloop) return;
    pa_threaded_mainloop_lock(l.mainloop);
    l.close();
    pa_threaded_mainloop_unlock(l.mainloop);
    pa_threaded_mainloop_stop(l.mainloop);
    pa_threaded_mainloop_free(l.mainloop);
    l.mainloop = nullptr;
    l.leadUs = 0;
}

std::vector<std::string> PulseCapture::takeMessages() {
    std::lock_guard<std::mutex> lock(loop_->messagesMutex);
    return std::exchange(loop_->messages, {});
}

int64_t PulseCapture::leadUs() const { return loop_->leadUs.load(); }
