#include "audio/EndpointCapture.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <utility>

#include "audio/HeardClock.h"

namespace {

bool sameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

EndpointCapture::EndpointCapture(SoundEndpoints& endpoints, SampleRing& ring, std::string wanted, Now now)
    : endpoints_(endpoints), ring_(ring), wanted_(std::move(wanted)), now_(std::move(now)) {}

EndpointCapture::~EndpointCapture() { stop(); }

void EndpointCapture::start() {
    stop();
    stopping_ = false;
    thread_ = std::thread([this] {
        endpoints_.threadStarts();
        std::unique_lock<std::mutex> lock(wakeMutex_);
        while (!stopping_) {
            lock.unlock();
            const double wait = step();
            lock.lock();
            wake_.wait_for(lock, std::chrono::duration<double>(std::max(wait, 0.001)),
                           [this] { return stopping_; });
        }
        lock.unlock();
        stream_.reset();  // on the thread that made it
        endpoints_.threadEnds();
    });
}

void EndpointCapture::stop() {
    if (!thread_.joinable()) return;
    {
        std::lock_guard<std::mutex> lock(wakeMutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
    leadUs_ = 0;
}

double EndpointCapture::step() {
    const double now = now_();
    // Following the default output: another one was chosen since it was opened.
    if (stream_ && wanted_.empty() && endpoints_.defaultChanges() != changesSeen_) {
        changesSeen_ = endpoints_.defaultChanges();
        EndpointInfo next;
        std::string error;
        if (!endpoints_.defaultOutput(next, error) || next.id != current_.id) drop(now, 0);
    }
    if (!stream_) {
        if (now < retryAt_) return retryAt_ - now;
        openWanted(now);
        if (!stream_) return retryAt_ - now;
    }
    read(now);
    return kPoll;
}

bool EndpointCapture::resolve(EndpointInfo& endpoint, std::string& error) {
    if (wanted_.empty()) {
        std::string why;
        if (endpoints_.defaultOutput(endpoint, why)) return true;
        error = "no audio device (" + why + ")";
        return false;
    }
    std::vector<EndpointInfo> all;
    std::string why;
    if (!endpoints_.list(all, why)) {
        error = "no audio device (" + why + ")";
        return false;
    }
    for (const EndpointInfo& e : all) {
        if (sameName(e.name, wanted_) || sameName(e.id, wanted_)) {
            endpoint = e;
            return true;
        }
    }
    error = "no sound source named " + wanted_;
    return false;
}

void EndpointCapture::openWanted(double now) {
    changesSeen_ = endpoints_.defaultChanges();
    EndpointInfo endpoint;
    std::string error;
    std::unique_ptr<SoundStream> stream;
    if (resolve(endpoint, error)) {
        stream = endpoints_.open(endpoint, error);
        if (!stream) error = "cannot record " + endpoint.name + " (" + error + ")";
        else if (pcmFrameBytes(stream->format()) == 0 || stream->rate() <= 0)
            error = "cannot record " + endpoint.name + " (a sample format we do not take)", stream.reset();
    }
    if (!stream) {
        // Said once, until recording works again; tried again later, less and less often.
        if (!failureSaid_ && !lost_) tell(error + "; the scene runs on silence until it can record");
        failureSaid_ = true;
        retryAt_ = now + retryWait_;
        retryWait_ = std::min(retryWait_ * 2, kLongestRetry);
        return;
    }
    const bool moved = everRecorded_ && !lost_ && endpoint.id != current_.id;
    if (lost_ && endpoint.id == current_.id) tell("recording " + endpoint.name + " again");
    else if (moved || lost_ || failureSaid_) tell("now recording " + endpoint.name);
    stream_ = std::move(stream);
    current_ = endpoint;
    everRecorded_ = true;
    failureSaid_ = lost_ = false;
    retryWait_ = kFirstRetry;
    ring_.reset(historyFramesFor(stream_->rate()));
    converted_.resize(static_cast<size_t>(stream_->rate()) / 10 * 2);  // 100 ms a conversion
    leadUs_ = static_cast<int64_t>(std::max(0.0, stream_->leadSeconds()) * 1e6);
    std::lock_guard<std::mutex> lock(mutex_);
    recordingName_ = endpoint.name;
}

// Forgets the stream (the endpoint is kept, to tell a device back from another); the picture is
// silent until the next one delivers.
void EndpointCapture::drop(double now, double retryAfter) {
    stream_.reset();
    ring_.clear();
    leadUs_ = 0;
    retryAt_ = now + retryAfter;
    std::lock_guard<std::mutex> lock(mutex_);
    recordingName_.clear();
}

void EndpointCapture::read(double now) {
    const PcmFormat format = stream_->format();
    const size_t frameBytes = pcmFrameBytes(format);
    bool arrived = false;
    for (;;) {
        size_t frames = 0;
        bool silent = false;
        const PacketResult result = stream_->read(bytes_, frames, silent);
        if (result == PacketResult::Empty) break;
        if (result != PacketResult::Data) {
            tell("the sound device " + current_.name + " went away; the scene runs on silence until it is back");
            lost_ = true;
            drop(now, 0);
            return;
        }
        const uint8_t* data = bytes_.data();
        while (frames > 0) {
            const size_t n = std::min(frames, converted_.size() / 2);
            if (silent || bytes_.size() < n * frameBytes) std::fill(converted_.begin(), converted_.begin() + static_cast<long>(n * 2), 0);
            else toStereo16(data, n * frameBytes, format, converted_.data(), n);
            data += n * frameBytes;
            ring_.push(converted_.data(), n);
            frames -= n;
        }
        arrived = true;
    }
    // The newest frame is heard the stream's lead from now; while nothing arrives the clock
    // runs on past it, and the ring turns silent.
    if (arrived)
        ring_.setHeardClock(heardClockFromLead(ring_.framesPushed(), leadUs_.load() / 1e6, now, stream_->rate()));
}

void EndpointCapture::tell(const std::string& text) {
    std::lock_guard<std::mutex> lock(mutex_);
    messages_.push_back(text);
}

std::vector<std::string> EndpointCapture::takeMessages() {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::exchange(messages_, {});
}

std::string EndpointCapture::recording() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return recordingName_;
}
