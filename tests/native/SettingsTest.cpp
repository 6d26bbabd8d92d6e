#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/headless/PlatformHeadless.h"
#include "settings/ProfileFile.h"
#include "settings/Settings.h"
#include "settings/SettingsMailbox.h"
#include "settings/SettingsSaver.h"
#include "tests/common/SettingsKeys.h"
#include "tests/native/TestFiles.h"

namespace {

class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override { platform::headless::setExecutableFolder(folder.path()); }
    void TearDown() override { platform::headless::setExecutableFolder(""); }
    void read(Settings& s, const std::string& text) {
        writeTextFile(path, text);
        s.read(kSettingsFile, kSettingsSection);
    }

    ScratchFolder folder;
    const std::string path = folder.path() + "Plugins/vis_vzrm/Configurations/vis_vzrm_config.ini";
};

// The keys and their order in a written file are checked on the real plug-in under Wine.
TEST_F(SettingsFile, MissingFileGivesTheDefaultsAndAWriteCreatesTheFile) {
    Settings s;
    EXPECT_EQ(s.oscRotate, 1u);  // a new record's values differ from a missing file's
    EXPECT_EQ(s.mdlName, "");
    EXPECT_TRUE(s.read(kSettingsFile, kSettingsSection));  // a missing file is no failure
    EXPECT_FALSE(s.dimFirstRead);
    EXPECT_EQ(s.vzrVersion, 0u);
    EXPECT_EQ(s.oscRotate, 0u);
    EXPECT_EQ(s.mdlEffectsOnOff, 0u);
    EXPECT_EQ(s.mdlDynamicTextureOnOff, 1u);
    EXPECT_EQ(s.texBits, 16u);
    EXPECT_EQ(s.bgrName, "Late Afternoon");
    EXPECT_EQ(s.mdlName, "Vizorama");
    EXPECT_EQ(s.dimResolution, "1x1");
    EXPECT_EQ(s.dimWidth, 275);
    EXPECT_EQ(s.dimHeight, 116);
    std::filesystem::create_directories(folder.path() + "Plugins/vis_vzrm/Configurations");
    EXPECT_TRUE(s.write(kSettingsFile, kSettingsSection));
    const std::string text = readTextFile(path);
    EXPECT_EQ(text.rfind("[Vizorama]\r\nvzrVersion=151\r\n", 0), 0u) << text;
    EXPECT_NE(text.find("lhtSpecularRight=0x00ff7f00\r\n"), std::string::npos) << text;
}

TEST_F(SettingsFile, ReadsValuesCutsLongOnesKeepsTheGeometryAndTheRestOfTheFile) {
    Settings s;
    read(s,
         "[Player]\r\nvolume=7\r\n\r\n[Vizorama]\r\nvzrVersion=120\r\nmine=kept\r\n"
         "dimLeft=-40\r\ndimTop=30\r\ndimWidth=550\r\ndimHeight=232\r\ndimResolution=\r\n"
         "texBits=\r\nlhtAmbient=0x003f7fff\r\ncamPosition=" +
             std::string(300, 'c') + "\r\n");
    EXPECT_EQ(s.vzrVersion, 120);
    EXPECT_EQ(s.dimResolution, "");  // present but empty: not the default
    EXPECT_EQ(s.texBits, 16u);       // an empty number reads as its default
    EXPECT_EQ(s.camPosition, std::string(259, 'c'));
    EXPECT_FLOAT_EQ(s.ambientRgb.r, 1.0f);
    EXPECT_NEAR(s.ambientRgb.g, 0.498, 0.001);
    EXPECT_NEAR(s.ambientRgb.b, 0.247, 0.001);
    for (uint32_t v = 0; v < 256; ++v) {  // every byte of a colour survives the round trip
        Rgb c = unpackColour(v | v << 8 | v << 16 | 0xAB000000u);
        EXPECT_EQ(packColour(c.r, c.g, c.b), v | v << 8 | v << 16) << v;
    }
    s.write(kSettingsFile, kSettingsSection);
    const std::string text = readTextFile(path);
    EXPECT_EQ(text.rfind("[Player]\r\nvolume=7\r\n\r\n[Vizorama]\r\nvzrVersion=151\r\nmine=kept\r\n"
                         "dimLeft=-40\r\n",
                         0),
              0u);
    EXPECT_NE(text.find("lhtAmbient=0x003f7fff\r\n"), std::string::npos);

    // Later reads leave the window geometry alone: the running plug-in owns it.
    read(s, "[Vizorama]\r\ndimLeft=1\r\ndimTop=2\r\ndimWidth=3\r\ndimHeight=4\r\n");
    EXPECT_EQ(std::vector<int>({s.dimLeft, s.dimTop, s.dimWidth, s.dimHeight}),
              std::vector<int>({-40, 30, 550, 232}));
    EXPECT_EQ(s.dimResolution, "1x1");
}

TEST_F(SettingsFile, NeitherLosesAnUnreadableFileNorWritesWhereItShouldNot) {
    Settings s;
    s.vumType = "Beam";
    EXPECT_FALSE(s.write(kSettingsFile, kSettingsSection));  // no configuration folder
    EXPECT_FALSE(std::filesystem::exists(path));
    // A folder where the file should be cannot be read: no defaults read, nothing replaced.
    std::filesystem::create_directories(path);
    EXPECT_FALSE(s.read(kSettingsFile, kSettingsSection));
    EXPECT_EQ(s.vumType, "Beam");
    EXPECT_FALSE(s.write(kSettingsFile, kSettingsSection));
    EXPECT_TRUE(std::filesystem::is_directory(path));
    // A file of 10 MB and one of binary garbage are read, and a write keeps all of them.
    std::filesystem::remove(path);
    std::string garbage(4096, '\0');
    uint32_t seed = 7;
    for (char& c : garbage) c = static_cast<char>((seed = seed * 1103515245u + 12345u) >> 23);
    for (const std::string& text :
         {std::string(10 << 20, 'x') + "\r\n[Vizorama]\r\nvumType=Big\r\n", garbage}) {
        Settings t;
        read(t, text);
        EXPECT_EQ(t.vumType, text == garbage ? "Double Fixed Point" : "Big");
        ASSERT_TRUE(t.write(kSettingsFile, kSettingsSection));
        EXPECT_EQ(readTextFile(path).compare(0, text.size(), text), 0);
    }
    // A file past the bound (millions of short lines, far more than memory holds as lines in a
    // 32-bit process) is one that cannot be read: values kept, nothing written over it.
    {
        const std::string huge = "[Vizorama]\r\nvumType=Huge\r\n" +
                                 std::string(ProfileFile::kMaxFileBytes, '\n');
        writeTextFile(path, huge);
        Settings t;
        t.vumType = "Beam";
        EXPECT_FALSE(t.read(kSettingsFile, kSettingsSection));
        EXPECT_EQ(t.vumType, "Beam");
        EXPECT_FALSE(t.write(kSettingsFile, kSettingsSection));
        EXPECT_EQ(std::filesystem::file_size(path), huge.size());
        ProfileFile file;
        EXPECT_EQ(file.load(path), platform::ReadResult::Failed);
        EXPECT_EQ(file.value("Vizorama", "vumType", "absent", 260), "absent");
    }
    // A path beyond the platform's limit: nothing is written.
    std::string deep = folder.path() + std::string(200, 'd') + "/";
    std::filesystem::create_directories(deep + "Plugins/vis_vzrm/Configurations");
    platform::headless::setExecutableFolder(deep);
    s.write(kSettingsFile, kSettingsSection);
    EXPECT_TRUE(std::filesystem::is_empty(deep + "Plugins/vis_vzrm/Configurations"));
}

TEST_F(SettingsFile, ChoicesTakeTheirValueWithTheTextAndKeepUnknownTextToWriteBack) {
    Settings s;
    read(s, "[Vizorama]\r\ncamPosition=View From Above\r\noscSamplingRate=3x2\r\n"
            "dimResolution=1152x864\r\nvumType=beam\r\nmdlColorMap=BRG\r\n");
    EXPECT_EQ(s.camPosition.value(), CameraMotion::ViewFromAbove);
    EXPECT_EQ(s.oscSamplingRate.value(), (SamplingRate{30, 20}));
    EXPECT_EQ(s.dimResolution.value().width, 1152);
    EXPECT_TRUE(s.dimResolution.value().fullScreen());
    EXPECT_EQ(s.mdlColorMap.value(), ColourMap::BRG);
    EXPECT_EQ(s.vumType.value(), VuMeterType::Unknown);  // names compare exactly
    EXPECT_EQ(choiceValue<WindowSize>("2x3").placement, WindowSize::Placement::Windowed);
    EXPECT_EQ(choiceValue<WindowSize>("2x3").height, 3);
    EXPECT_EQ(choiceValue<WindowSize>("4x4").placement, WindowSize::Placement::Unknown);
    s.write(kSettingsFile, kSettingsSection);  // an unknown value goes back as it came
    EXPECT_NE(readTextFile(path).find("vumType=beam\r\n"), std::string::npos);

    // The key table: every key once, in the order a write stores them, each text key's
    // field answering for it.
    std::vector<std::string> names, look;
    for (const SettingKey& k : settingKeys()) {
        if (inKeySet(k, KeySet::Player)) names.push_back(k.name);
        if (inKeySet(k, KeySet::Look)) look.push_back(k.name);
    }
    EXPECT_EQ(names, std::vector<std::string>(std::begin(kSettingsWriteOrder),
                                              std::end(kSettingsWriteOrder)));
    // A look: every key from tofOnOff to oscRenderingMode, the sky, the model, the camera and
    // the lights; no geometry, window size or texture depth.
    EXPECT_EQ(look.size(), 25u);
    for (const char* notInLook : {"dimLeft", "dimResolution", "texBits", "vzrVersion", "lookName"})
        EXPECT_EQ(std::count(look.begin(), look.end(), notInLook), 0) << notInLook;
    findSettingKey("oscType")->setText(s, "Cosine Filter");
    EXPECT_EQ(s.oscType.value(), OscilloscopeType::CosineFilter);
    EXPECT_EQ(findSettingKey("nothing"), nullptr);

    // A loaded name sees a change of setting only when the text changes, whatever the stamps.
    LoadedName loaded;
    s.mdlName = "Knot";
    loaded.take(s.mdlName);
    EXPECT_FALSE(loaded.differsFrom(s.mdlName));
    Settings other;
    other.mdlName = "Knot";  // the same name, set anew
    EXPECT_FALSE(loaded.differsFrom(other.mdlName));
    other.mdlName = "Vizorama";
    EXPECT_TRUE(loaded.differsFrom(other.mdlName));
    s = other;
    EXPECT_TRUE(loaded.differsFrom(s.mdlName));
}

TEST(SettingsMailboxTest, HandsOverWholeChoicesButNotTheGeometry) {
    Settings live, read;
    live.dimLeft = 10;
    read.dimLeft = 99;
    read.oscType = "Sine Filter";
    SettingsMailbox mailbox;
    EXPECT_FALSE(mailbox.adoptInto(live));
    mailbox.post(read);
    EXPECT_TRUE(mailbox.adoptInto(live));
    EXPECT_FALSE(mailbox.adoptInto(live));
    EXPECT_EQ(live.oscType, "Sine Filter");
    EXPECT_EQ(live.dimLeft, 10);
}

// Saves made off the caller's thread land in the order asked for, each only its keys; the caller
// learns when they have landed, and whether one failed, at finish(), after which it saves again.
TEST(SettingsSaverTest, WritesInOrderOffTheCallersThreadAndTellsAFailureAtTheEnd) {
    ScratchFolder folder;
    const std::string path = folder.path() + "vis_vzrm_config.ini";
    writeTextFile(path, "[Vizorama]\r\nmine=1\r\n");
    SettingsSaver saver;
    EXPECT_FALSE(saver.pending());
    Settings s;
    for (const char* name : {"First", "Second", "Third"}) {
        s.lookName = name;
        saver.save(path, kSettingsSection, s, KeySet::LookFeatures);
    }
    s.lookName = "Not saved";  // the saver wrote its own copies
    EXPECT_TRUE(saver.finish());
    EXPECT_FALSE(saver.pending());
    const std::string text = readTextFile(path);
    EXPECT_NE(text.find("lookName=Third\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("mine=1"), std::string::npos);
    EXPECT_EQ(text.find("oscType="), std::string::npos);  // not of the set

    // A file that cannot be replaced (a folder stands there) is told once, and the next save
    // after it goes through.
    const std::string blocked = folder.path() + "blocked.ini";
    std::filesystem::create_directory(blocked);
    saver.save(blocked, kSettingsSection, s, KeySet::LookFeatures);
    EXPECT_FALSE(saver.finish());
    EXPECT_TRUE(saver.finish());
    saver.save(path, kSettingsSection, s, KeySet::LookFeatures);
    EXPECT_TRUE(saver.finish());
    EXPECT_NE(readTextFile(path).find("lookName=Not saved\r\n"), std::string::npos);
}

// The handover as the plug-in runs it: the configuration entry (any thread) reads the file into
// a record of its own and posts it; the frame thread adopts what was posted, reads the file
// again and now and then writes its record back; meanwhile the utility replaces the file.
// Each version gives the four colours and two texts one value, so a record that mixed versions
// shows. Also built alone under ThreadSanitizer (preset native-tsan).
TEST(SettingsMailboxTest, ConfigReadsWhileFramesReadAndWriteAndTheFileIsReplaced) {
    ScratchFolder folder;
    const std::string path = folder.path() + "vis_vzrm_config.ini";
    auto whole = [](const Settings& s) {
        const uint32_t v = s.lhtAmbient;
        return s.lhtDiffuse == v && s.lhtSpecularLeft == v && s.lhtSpecularRight == v &&
               s.vumType == std::to_string(v) && s.camPosition == s.vumType.text();
    };
    auto writeVersion = [&](ProfileFile& file, uint32_t v) {
        for (const char* key : {"lhtAmbient", "lhtDiffuse", "lhtSpecularLeft", "lhtSpecularRight",
                                "vumType", "camPosition"})
            file.set(kSettingsSection, key, std::to_string(v));
        file.save(path);
    };
    ProfileFile utilityFile;
    writeVersion(utilityFile, 0);

    constexpr int kRounds = 1500;
    std::atomic<bool> framesDone{false};
    SettingsMailbox mailbox;
    std::thread utility([&] {
        for (uint32_t v = 1; !framesDone; ++v) writeVersion(utilityFile, v);
    });
    std::thread config([&] {
        while (!framesDone) mailbox.readAndPost(path);
    });
    Settings live;
    SettingsReadCache frameCache;  // what the frames keep between their reads
    int torn = 0;
    std::set<uint32_t> seen;
    for (int frame = 0; frame < kRounds; ++frame) {
        if (mailbox.adoptInto(live)) torn += !whole(live);
        live.readFile(path, kSettingsSection, frameCache);
        torn += !whole(live);
        seen.insert(live.lhtAmbient);
        if (frame % 50 == 0) live.writeFile(path, kSettingsSection);
    }
    framesDone = true;
    utility.join();
    config.join();
    EXPECT_EQ(torn, 0);
    EXPECT_GT(seen.size(), 10u);
}

}  // namespace
