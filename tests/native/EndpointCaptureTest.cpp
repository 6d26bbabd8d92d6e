#include <gtest/gtest.h>

#include <deque>
#include <map>

#include "audio/EndpointCapture.h"
#include "scene/FrameState.h"

namespace {

constexpr int kRate = 10000;  // 16-bit stereo; a packet is 10 ms, 100 frames

// Endpoints of the test's own: outputs whose packets the test queues, a default it changes,
// devices it unplugs.
struct FakeEndpoints : SoundEndpoints {
    struct Device {
        EndpointInfo info;
        std::deque<int16_t> packets;  // one sample value a packet (both channels, 100 frames)
        bool invalid = false, refuses = false;
        double lead = 0;
    };
    std::map<std::string, Device> devices;
    std::string defaultId;
    unsigned changes = 0;
    int opened = 0;

    void add(const std::string& id, double lead = 0) { devices[id] = {{id, "Speakers " + id, true}, {}, false, false, lead}; }
    bool list(std::vector<EndpointInfo>& out, std::string&) override {
        for (auto& [id, d] : devices) out.push_back(d.info);
        return true;
    }
    bool defaultOutput(EndpointInfo& e, std::string& error) override {
        if (!devices.count(defaultId)) return error = "none plugged in", false;
        e = devices[defaultId].info;
        return true;
    }
    unsigned defaultChanges() const override { return changes; }

    struct Stream : SoundStream {
        FakeEndpoints& owner;
        std::string id;
        Stream(FakeEndpoints& o, std::string i) : owner(o), id(std::move(i)) {}
        PcmFormat format() const override { return {SampleType::S16, 2}; }
        int rate() const override { return kRate; }
        double leadSeconds() const override { return owner.devices.at(id).lead; }
        PacketResult read(std::vector<uint8_t>& bytes, size_t& frames, bool& silent) override {
            auto found = owner.devices.find(id);
            if (found == owner.devices.end() || found->second.invalid) return PacketResult::Invalidated;
            auto& queue = found->second.packets;
            if (queue.empty()) return PacketResult::Empty;
            std::vector<int16_t> samples(200, queue.front());
            queue.pop_front();
            bytes.assign(reinterpret_cast<uint8_t*>(samples.data()), reinterpret_cast<uint8_t*>(samples.data() + 200));
            frames = 100;
            silent = false;
            return PacketResult::Data;
        }
    };
    std::unique_ptr<SoundStream> open(const EndpointInfo& e, std::string& error) override {
        if (!devices.count(e.id) || devices[e.id].refuses) return error = "refused", nullptr;
        devices[e.id].invalid = false;
        ++opened;
        return std::make_unique<Stream>(*this, e.id);
    }
};

struct Rig {
    FakeEndpoints fake;
    SampleRing ring;
    double now = 100;
    EndpointCapture capture{fake, ring, "", [this] { return now; }};
    uint8_t block[2][kWaveformSamples];
    // The picture's level now (0 silent).
    int level() {
        ring.heardBlock(now, block);
        return channelLevel(block[0]);
    }
    void play(const std::string& id, int16_t value, int packets = 10) {
        for (int i = 0; i < packets; ++i) fake.devices[id].packets.push_back(value);
    }
};

TEST(EndpointCapture, RecordsTheDefaultOutputFollowsAChangeAndIsSilentWhenNothingPlays) {
    Rig r;
    r.fake.add("a");
    r.fake.add("b");
    r.fake.defaultId = "a";
    r.play("a", 8000);
    r.capture.step();
    EXPECT_EQ(r.capture.recording(), "Speakers a");
    EXPECT_GT(r.level(), 40);

    // Nothing plays: no packets. The last sound lasts no longer than the ring's stale time.
    r.now += SampleRing::kStaleSeconds + 0.05;
    r.capture.step();
    EXPECT_EQ(r.level(), 0);

    // Another default output: recorded from the next step, and said.
    r.fake.defaultId = "b";
    ++r.fake.changes;
    r.play("a", 8000);
    r.play("b", 16000);
    r.capture.step();
    EXPECT_EQ(r.capture.recording(), "Speakers b");
    EXPECT_GT(r.level(), 100);  // b's louder sound, not a's
    EXPECT_EQ(r.capture.takeMessages(), std::vector<std::string>{"now recording Speakers b"});
    // A change notice that leaves the same default output keeps the stream.
    ++r.fake.changes;
    r.capture.step();
    EXPECT_EQ(r.fake.opened, 2);
}

TEST(EndpointCapture, ADeviceThatGoesAwayIsSilentThenRecordedAgainAndFailuresAreSaidOnce) {
    Rig r;
    r.fake.add("a");
    r.fake.defaultId = "a";
    r.play("a", 8000);
    r.capture.step();
    ASSERT_GT(r.level(), 40);

    // Invalidated, and no output to fall back on: silence at once, said once, retried with a
    // growing wait.
    r.fake.devices["a"].invalid = true;
    r.fake.defaultId = "";
    r.capture.step();
    EXPECT_EQ(r.level(), 0);
    EXPECT_EQ(r.capture.recording(), "");
    double first = r.capture.step(), second = 0;
    r.now += first;
    second = r.capture.step();
    EXPECT_GT(second, first);
    r.now += second;
    r.capture.step();
    EXPECT_EQ(r.capture.takeMessages(),
              std::vector<std::string>{"the sound device Speakers a went away; the scene runs on silence until it is back"});

    // Plugged in again: recorded again once the wait is over.
    r.fake.defaultId = "a";
    r.play("a", 8000);
    r.now += EndpointCapture::kLongestRetry;
    r.capture.step();
    EXPECT_GT(r.level(), 40);
    EXPECT_EQ(r.capture.takeMessages(), std::vector<std::string>{"recording Speakers a again"});

    // No output at the start, then one that refuses: one message, the scene runs on silence.
    Rig none;
    none.capture.step();
    none.fake.add("x");
    none.fake.defaultId = "x";
    none.fake.devices["x"].refuses = true;
    none.now += EndpointCapture::kLongestRetry;
    none.capture.step();
    const auto said = none.capture.takeMessages();
    ASSERT_EQ(said.size(), 1u);
    EXPECT_EQ(said[0], "no audio device (none plugged in); the scene runs on silence until it can record");
    EXPECT_EQ(none.level(), 0);
}

TEST(EndpointCapture, ThePictureIsDelayedByTheOutputsLeadSoThatItShowsWhatIsHeard) {
    Rig r;
    r.fake.add("a", 0.2);
    r.fake.defaultId = "a";
    r.play("a", 0, 100);    // a second of silence
    r.play("a", 16000, 5);  // then 50 ms of sound, handed over now and heard 200 ms later
    r.capture.step();
    EXPECT_EQ(r.capture.leadUs(), 200000);
    EXPECT_EQ(r.level(), 0);
    r.now += 0.1;
    EXPECT_EQ(r.level(), 0);  // still the silence before it
    r.now += 0.11;
    EXPECT_GT(r.level(), 100);
}

TEST(EndpointCapture, ANamedSourceIsFoundByNameOrIdAndAnUnknownOneIsSaid) {
    Rig r;
    r.fake.add("{line}");
    r.fake.devices["{line}"].info = {"{line}", "Line In", false};
    EndpointCapture byName(r.fake, r.ring, "line in", [&] { return r.now; });
    byName.step();
    EXPECT_EQ(byName.recording(), "Line In");
    EndpointCapture unknown(r.fake, r.ring, "Phono", [&] { return r.now; });
    unknown.step();
    EXPECT_EQ(unknown.recording(), "");
    EXPECT_EQ(unknown.takeMessages(),
              std::vector<std::string>{"no sound source named Phono; the scene runs on silence until it can record"});
}

}  // namespace
