#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <thread>

#include "audio/BuiltInSignal.h"
#include "platform/headless/OffscreenContext.h"
#include "readers/LookLibrary.h"
#include "scene/SceneState.h"
#include "tests/native/TestFiles.h"
#include "tools/render/HeadlessRenderer.h"

namespace {

namespace fs = std::filesystem;

double gNow = 0;
double testClock() { return gNow; }

// A front end without a window: looks from two folders, the settings file written as the
// plug-in writes it, failures counted.
class FakeHost : public SceneHost {
public:
    explicit FakeHost(const std::string& folder)
        : folders{folder + "own/", {}, {}, folder + "own/Looks/Mine/"}, settingsFile(folder + "settings.ini") {}
    void refreshSettings(Settings&) override {}
    void presentLoadingScreen() override {}
    void layoutAndMoveWindow() override {}
    std::string findPluginFolder() override { return folders.own; }
    std::string assetFolder(AssetKind kind, const std::string& name) override {
        return folders.folderFor(kind, name);
    }
    bool saveSettings(Settings& settings, KeySet keys) override {
        ++saves;
        return settings.writeFile(settingsFile, kSettingsSection, keys);
    }
    void showError(const char* text, const char*) override { errors.push_back(text); }
    std::unique_ptr<platform::LivePicture> openLivePicture() override { return nullptr; }

    AssetFolders folders;
    std::string settingsFile;
    int saves = 0;
    std::vector<std::string> errors;
};

// Our looks: each a model of its own name on a different camera.
void writeOurLooks(const std::string& folder, const std::vector<std::string>& names) {
    fs::create_directories(folder + "own/Looks");
    int n = 0;
    for (const std::string& name : names) {
        Settings look;
        look.mdlOnOff = 1;
        look.mdlName = name;
        look.camPosition = choices::kCameraMotions[n++ % 7];
        ASSERT_TRUE(look.writeFile(folder + "own/Looks/" + name + ".ini", kSettingsSection, KeySet::Look));
    }
}

// The mean of every fourth pixel's red, green and blue, 0..765.
double meanBrightness(const OffscreenContext& gl) {
    double sum = 0;
    int n = 0;
    for (int y = 0; y < gl.height(); y += 4)
        for (int x = 0; x < gl.width(); x += 4, ++n) {
            const OffscreenContext::Rgba p = gl.pixel(x, y);
            sum += p.r + p.g + p.b;
        }
    return sum / n;
}

// A frame of both channels at one level (0..127 as FrameState measures it).
FrameState& advanceAt(FrameState& f, int level) {
    uint8_t block[2][kWaveformSamples];
    for (int i = 0; i < kWaveformSamples; ++i)
        block[0][i] = block[1][i] = static_cast<uint8_t>(static_cast<int8_t>(i % 2 ? level / 2 : -level / 2));
    f.advance(block);
    return f;
}

TEST(Looks, SettingsKeysReadAsDefaultsWhenBadAndThePlayersWritesLeaveThemAlone) {
    ScratchFolder folder;
    const std::string path = folder.path() + "settings.ini";
    Settings s;
    writeTextFile(path, "[Vizorama]\r\nlookChange=Sometimes\r\nlookSeconds=601\r\nlookOrder=random\r\n");
    ASSERT_TRUE(s.readFile(path, kSettingsSection));
    EXPECT_EQ(s.lookChangeMode(), LookChange::Off);
    EXPECT_EQ(s.lookSeconds, 30u);
    EXPECT_EQ(s.lookOrderMode(), LookOrder::Shuffle);
    writeTextFile(path, "[Vizorama]\r\nlookChange=Beat\r\nlookSeconds=5\r\nlookOrder=In Turn\r\nlookName=Deep Water\r\n");
    ASSERT_TRUE(s.readFile(path, kSettingsSection));
    EXPECT_EQ(s.lookChangeMode(), LookChange::Beat);
    EXPECT_EQ(s.lookSeconds, 5u);
    EXPECT_EQ(s.lookOrderMode(), LookOrder::InTurn);
    writeTextFile(path, "[Vizorama]\r\nlookSeconds=4\r\n");
    ASSERT_TRUE(s.readFile(path, kSettingsSection));
    EXPECT_EQ(s.lookSeconds, 30u);
    EXPECT_EQ(s.lookName, "");

    // The player's write stores its 32 keys and none of the looks' (the text of a write to a new
    // file is what it always was); a change of look writes the look's keys and its name only.
    fs::remove(path);
    s.lookChange = "Timer";
    s.lookName = "Deep Water";
    ASSERT_TRUE(s.writeFile(path, kSettingsSection));
    const std::string player = readTextFile(path);
    EXPECT_EQ(player.find("look"), std::string::npos) << player;
    EXPECT_EQ(std::count(player.begin(), player.end(), '\n'), 33);  // the section and 32 keys
    fs::remove(path);
    ASSERT_TRUE(s.writeFile(path, kSettingsSection, KeySet::LookAndName));
    const std::string change = readTextFile(path);
    EXPECT_EQ(std::count(change.begin(), change.end(), '\n'), 27) << change;
    EXPECT_NE(change.find("lookName=Deep Water\r\n"), std::string::npos);
    EXPECT_EQ(change.find("lookChange"), std::string::npos);
    EXPECT_EQ(change.find("dimWidth"), std::string::npos);
}

TEST(Looks, TheLibraryListsOursAndTheUsersReadsMatchesSavesAndRefusesNames) {
    ScratchFolder folder;
    writeOurLooks(folder.path(), {"Deep Water", "Aurora", "Knot Dance"});
    FakeHost host(folder.path());
    fs::create_directories(host.folders.userLooks);
    writeTextFile(host.folders.userLooks + "Aurora.ini", "[Vizorama]\r\nmdlName=Mine\r\n");  // ours win
    writeTextFile(host.folders.userLooks + "Quiet.INI", "[Vizorama]\r\nvumOnOff=0\r\n");
    writeTextFile(host.folders.userLooks + "notes.txt", "not a look");
    LookLibrary library;
    library.refresh(host.assetFolder(AssetKind::Looks, ""), host.assetFolder(AssetKind::UserLooks, ""));
    std::vector<std::string> names;
    for (const LookEntry& l : library.looks()) names.push_back(l.name + (l.ours ? "" : " (mine)"));
    EXPECT_EQ(names, (std::vector<std::string>{"Aurora", "Deep Water", "Knot Dance", "Quiet (mine)"}));

    Settings look;
    ASSERT_TRUE(library.read(library.find("Deep Water"), look));
    EXPECT_EQ(look.mdlName, "Deep Water");
    EXPECT_EQ(library.matching(look), library.find("Deep Water"));
    look.texBits = 32;  // not a look's key
    look.dimWidth = 1;
    EXPECT_EQ(library.matching(look), library.find("Deep Water"));
    look.lhtAmbient = 0x123456;  // a colour counts by its unpacked value, as a write stores it
    look.ambientRgb = unpackColour(0x123456);
    EXPECT_EQ(library.matching(look), LookLibrary::npos);

    EXPECT_EQ(library.freeUserName(), "My look");
    ASSERT_TRUE(library.save("My look", look));
    EXPECT_EQ(library.freeUserName(), "My look 2");
    EXPECT_EQ(library.matching(look), library.find("My look"));
    EXPECT_EQ(lookFileProblem(library.pathOf(library.find("My look"))), "");
    for (const char* refused : {"", "  ", "..", "a/b", "a\\b", "C:x", "CON", "nul.txt", "com7", "LPT1",
                                "Deep Water", "what?"})
        EXPECT_NE(library.lookNameProblem(refused), nullptr) << refused;
    for (const char* allowed : {"Quiet", "Console", "COM10", "My look"})
        EXPECT_EQ(library.lookNameProblem(allowed), nullptr) << allowed;
    // Windows' device names whatever their case, extension or blanks; our names in any case.
    for (const char* refused : {"con", "Con.txt", "CON .ini", "prn.x.y", "aux", "NUL ", "COM1", "com9.log",
                                "lpt5", "LPT9 ", "deep water", "DEEP WATER", "tab\there"})
        EXPECT_NE(library.lookNameProblem(refused), nullptr) << refused;
    for (const char* allowed : {"COM0", "LPT", "LPT10", "CONS", "Aux Lights", "Null", "x.con", "Deep Waters"})
        EXPECT_EQ(library.lookNameProblem(allowed), nullptr) << allowed;
    EXPECT_EQ(library.findAnyCase("deep WATER"), library.find("Deep Water"));
    EXPECT_FALSE(library.remove("Deep Water"));  // ours stay
    EXPECT_TRUE(library.remove("My look"));
    EXPECT_EQ(library.find("My look"), LookLibrary::npos);

    // A look file with every key valid, and the faults a bad one is told by.
    EXPECT_EQ(lookFileProblem(library.pathOf(library.find("Deep Water"))), "");
    EXPECT_EQ(lookFileProblem(library.pathOf(library.find("Quiet"))), "tofOnOff is missing");
    const std::string good = readTextFile(library.pathOf(library.find("Deep Water")));
    const std::string bad = folder.path() + "bad.ini";
    for (auto [from, to, problem] :
         {std::tuple{"camPosition=Scan Left", "camPosition=Dolly", "camPosition=Dolly is not one of its choices"},
          std::tuple{"mdlName=Deep Water", "mdlName=..", "mdlName=.. leads out of its folder"},
          std::tuple{"lhtStroboscope=0", "lhtStroboscope=11", "lhtStroboscope=11 is not 0 to 10"},
          std::tuple{"mdlOnOff=1", "mdlOnOff=2", "mdlOnOff=2 is not 0 to 1"}}) {
        std::string text = good;
        ASSERT_NE(text.find(from), std::string::npos) << from;
        text.replace(text.find(from), std::string(from).size(), to);
        writeTextFile(bad, text);
        EXPECT_EQ(lookFileProblem(bad), problem);
    }
}

TEST(Looks, TheTimerAndTheBeatChangeOnTheClockInTurnOrShuffledEachOnceARound) {
    ScratchFolder folder;
    const std::vector<std::string> ours = {"A", "B", "C", "D", "E"};
    writeOurLooks(folder.path(), ours);
    FakeHost host(folder.path());
    LookLibrary library;
    library.refresh(host.assetFolder(AssetKind::Looks, ""), "");
    Settings s;
    ASSERT_TRUE(library.read(library.find("C"), s));
    s.lookName = "C";
    LookChanger changer(testClock);
    FrameState f;

    // Timer, every 5 s, in turn: nothing before the time, then one change, written at once.
    // The frame it falls due copies its picture, the next brings the new look, and the old
    // picture fades out over it in a second. Each look's picture here: red or green.
    OffscreenContext gl(64, 32);
    ASSERT_TRUE(gl.ok());
    s.lookOrder = "In Turn";
    s.lookChange = "Timer";
    s.lookSeconds = 5;
    const std::string start = s.lookName.text();
    std::vector<std::string> shown;
    int halfway = -1;
    for (int frame = 0; frame <= 60 * 11; ++frame) {
        gNow = 100 + frame / 60.0;
        if (changer.frame(s, advanceAt(f, 40), host)) {
            shown.push_back(s.lookName.text() + "@" + std::to_string(frame));
            Settings file;
            ASSERT_TRUE(file.readFile(host.settingsFile, kSettingsSection));
            EXPECT_EQ(file.lookName.text(), s.lookName.text());
            EXPECT_TRUE(sameKeys(file, s, KeySet::Look));
            halfway = frame + 30;
        }
        glClearColor(changer.changes() % 2 ? 0 : 1, changer.changes() % 2 ? 1 : 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        changer.endFrame();
        if (frame == halfway) {
            const OffscreenContext::Rgba p = gl.pixel(32, 16);
            EXPECT_NEAR(p.r, 128, 12) << "the old look's red, half faded";
            EXPECT_NEAR(p.g, 127, 12);
            EXPECT_TRUE(changer.blending());
        }
        if (frame == halfway + 31) {
            EXPECT_FALSE(changer.blending());
        }
    }
    const size_t at = std::find(ours.begin(), ours.end(), start) - ours.begin();
    EXPECT_EQ(shown, (std::vector<std::string>{ours[(at + 1) % 5] + "@301", ours[(at + 2) % 5] + "@602"}));
    EXPECT_TRUE(glIsEnabled(GL_BLEND) == GL_FALSE);

    // Beat: the time passes without a beat, then the first strong beat changes it on its frame;
    // a beat before the time changes nothing.
    s.lookChange = "Beat";
    changer.frame(s, advanceAt(f, 40), host);  // the new mode starts the count
    const double from = gNow;
    int changedAt = -1;
    for (int frame = 1; frame < 60 * 8 && changedAt < 0; ++frame) {
        gNow = from + frame / 60.0;
        const bool loud = frame == 120 || frame == 420;  // at 2 s, and at 7 s
        if (changer.frame(s, advanceAt(f, loud ? 120 : 40), host)) changedAt = frame;
    }
    EXPECT_EQ(changedAt, 420);
    EXPECT_TRUE(changer.lastChangeOnBeat());

    // Shuffle by hand: every look once a round, in a new order each round.
    s.lookChange = "Off";
    s.lookOrder = "Shuffle";
    changer.seed(7);
    std::vector<std::string> sequence = {s.lookName.text()};
    for (int i = 0; i < 5 * 4 - 1; ++i) {
        ASSERT_TRUE(changer.step(1, s, host));
        sequence.push_back(s.lookName.text());
    }
    std::set<std::vector<std::string>> orders;
    for (size_t round = 0; round < 4; ++round) {
        std::vector<std::string> r(sequence.begin() + round * 5, sequence.begin() + round * 5 + 5);
        orders.insert(r);
        std::sort(r.begin(), r.end());
        EXPECT_EQ(r, ours) << "round " << round;
        if (round > 0) {
            EXPECT_NE(sequence[round * 5], sequence[round * 5 - 1]);
        }
    }
    EXPECT_GT(orders.size(), 1u);
    // Left goes back to the look before.
    ASSERT_TRUE(changer.step(-1, s, host));
    EXPECT_EQ(s.lookName, sequence[sequence.size() - 2]);
    // The next automatic one is known in advance.
    const std::string upcoming = changer.upcoming(s, host);
    ASSERT_TRUE(changer.step(1, s, host));
    EXPECT_EQ(s.lookName, upcoming);
    EXPECT_TRUE(host.errors.empty());
}

TEST(Looks, TheUsersOwnSettingsAreSavedOnceAsMyLookBeforeTheFirstChange) {
    ScratchFolder folder;
    writeOurLooks(folder.path(), {"A", "B"});
    FakeHost host(folder.path());
    Settings s;
    s.vumType = "Beam";  // the user's own, like no look
    s.lookOrder = "In Turn";
    const Settings mine = s;
    LookChanger changer(testClock);
    for (int i = 0; i < 6; ++i) ASSERT_TRUE(changer.step(1, s, host));
    LookLibrary library;
    library.refresh("", host.folders.userLooks);
    ASSERT_EQ(library.size(), 1u);
    EXPECT_EQ(library.looks()[0].name, "My look");
    Settings saved;
    ASSERT_TRUE(library.read(0, saved));
    EXPECT_TRUE(sameKeys(saved, mine, KeySet::Look));
    // My look is one of the looks now; a new change by hand is saved as the next one.
    s.oscRenderingMode = "Smoke";
    s.lookName = "";
    ASSERT_TRUE(changer.step(1, s, host));
    library.refresh("", host.folders.userLooks);
    EXPECT_EQ(library.size(), 2u);
    EXPECT_NE(library.find("My look 2"), LookLibrary::npos);

    // Where they cannot be saved the look stays, the user hears of it once, and the beats wait.
    FakeHost stuck(folder.path());
    writeTextFile(folder.path() + "file", "");
    stuck.folders.userLooks = folder.path() + "file/Looks/";
    s.oscRenderingMode = "Plain";
    s.lookChange = "Beat";
    s.lookSeconds = 5;
    FrameState f;
    const std::string before = s.lookName.text();
    for (int frame = 0; frame < 60 * 20; ++frame) {
        gNow = 1000 + frame / 60.0;
        EXPECT_FALSE(changer.frame(s, advanceAt(f, frame % 60 ? 40 : 120), stuck));
    }
    EXPECT_EQ(s.lookName, before);
    EXPECT_EQ(stuck.errors.size(), 1u);
}

TEST(Looks, TheSceneChangesItsLookOnTheTimerBlendingAndNamesItOnlyAtTheChange) {
    ScratchFolder folder;
    const std::string plugin = folder.path() + "Plugins/vis_vzrm/";
    fs::create_directories(plugin + "Configurations");
    fs::copy(VZRM_TEXTURE_FOLDER, plugin, fs::copy_options::recursive);
    fs::remove_all(plugin + "Looks");
    fs::create_directories(plugin + "Looks");
    const std::string water = "[Vizorama]\r\noscOnOff=1\r\noscRenderingMode=Water\r\nvumOnOff=0\r\n";
    writeTextFile(plugin + "Looks/Water.ini", water);
    writeTextFile(plugin + "Looks/Knot At Dusk.ini",
                  "[Vizorama]\r\noscOnOff=0\r\nvumOnOff=0\r\nbgrOnOff=1\r\nbgrName=Late Afternoon\r\n"
                  "mdlOnOff=1\r\nmdlName=Knot\r\nlhtOnOff=1\r\n");
    writeTextFile(plugin + "Configurations/vis_vzrm_config.ini",
                  water + "lookName=Water\r\nlookChange=Timer\r\nlookSeconds=5\r\nlookOrder=In Turn\r\n");
    HeadlessRenderer r(folder.path(), 320, 160);
    ASSERT_TRUE(r.ok());
    r.scene.looks.setClock(testClock);
    gNow = 0;
    r.start();
    uint8_t block[2][kWaveformSamples];
    for (int i = 0; i < kWaveformSamples; ++i)
        block[0][i] = block[1][i] = static_cast<uint8_t>(static_cast<int8_t>(60 * std::sin(i * 0.1)));
    double before = 0;
    for (int frame = 0; frame < 60 * 5 + 31; ++frame) {
        gNow = frame / 60.0;
        r.frame(block);
        // The next look's model is read ahead on the worker (waited for here so that a busy
        // machine cannot fail the test) and drawn once out of sight before the change.
        if (frame == 200)
            for (int wait = 0; wait < 2000 && !r.scene.preload->ready(); ++wait)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (frame == 299) {
            before = meanBrightness(r.context());
            EXPECT_NE(r.scene.preloadDrawn, nullptr);
        }
        // A start's frames stay as they were: no name in the corner before the change.
        if (frame < 301) {
            EXPECT_EQ(r.scene.looks.changes(), 0);
        }
    }
    // Half a second after the change: the new look under the old one half faded, and its name.
    EXPECT_EQ(r.scene.looks.changes(), 1);
    EXPECT_TRUE(r.scene.looks.blending());
    fs::create_directories(VZRM_FRAME_FOLDER);
    EXPECT_TRUE(r.context().savePng(std::string(VZRM_FRAME_FOLDER) + "/look-blend.png"));
    const std::string text = readTextFile(plugin + "Configurations/vis_vzrm_config.ini");
    EXPECT_NE(text.find("lookName=Knot At Dusk\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("mdlName=Knot\r\n"), std::string::npos);
    EXPECT_TRUE(r.scene.skybox->showsCurrentName());
    EXPECT_EQ(r.scene.preload->uploadedModel(), nullptr);  // the change took it
    for (int frame = 331; frame < 60 * 6 + 31; ++frame) {
        gNow = frame / 60.0;
        r.frame(block);
    }
    EXPECT_FALSE(r.scene.looks.blending());
    EXPECT_NE(meanBrightness(r.context()), before);
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE) && glIsEnabled(GL_DEPTH_TEST) && glIsEnabled(GL_TEXTURE_2D) &&
                !glIsEnabled(GL_BLEND));
}

TEST(Looks, AStrongBeatIsTheFirstLoudFrameAboveWhatCameBefore) {
    // Blocks of known levels: beats at the frames that jump, not while loud, not in near silence.
    StrongBeat beats;
    FrameState f;
    std::vector<int> found;
    const std::vector<int> levels = {10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 100, 100, 100, 40, 40, 40,
                                     40, 40, 40, 40, 40, 40, 40, 90, 40, 40, 40, 40, 40, 40, 40, 40,
                                     5,  5,  5,  5,  5,  5,  5,  5,  5,  5,  30, 5};
    for (size_t i = 0; i < levels.size(); ++i)
        if (beats.take(advanceAt(f, levels[i]))) found.push_back(static_cast<int>(i));
    EXPECT_EQ(found, (std::vector<int>{10, 23}));

    // The built-in signal thumps every half second under its tones: at 50 frames a second the
    // beats fall on the thumps (within two frames after), and most thumps are found.
    StrongBeat signalBeats;
    FrameState g;
    int onThump = 0, elsewhere = 0;
    for (int frame = 0; frame < 50 * 16; ++frame) {
        const double t = frame / 50.0;
        uint8_t block[2][kWaveformSamples];
        for (int i = 0; i < kWaveformSamples; ++i) {
            int8_t l, r;
            builtInSample(t + i / 44100.0, l, r);
            block[0][i] = static_cast<uint8_t>(l);
            block[1][i] = static_cast<uint8_t>(r);
        }
        g.advance(block);
        if (!signalBeats.take(g)) continue;
        const double sinceThump = std::fmod(t, 0.5);
        (sinceThump < 0.045 ? onThump : elsewhere)++;
    }
    EXPECT_EQ(elsewhere, 0);
    EXPECT_GE(onThump, 28) << "of 32 thumps";
}

}  // namespace
