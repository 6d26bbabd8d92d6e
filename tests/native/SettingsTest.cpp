#include <gtest/gtest.h>

#include "tests/common/SettingsKeys.h"

#include <filesystem>
#include <sstream>
#include <thread>
#include <vector>

#include "platform/headless/PlatformHeadless.h"
#include "settings/Settings.h"
#include "settings/SettingsMailbox.h"
#include "tests/native/TestFiles.h"

namespace {


class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override { platform::headless::setExecutableFolder(folder.path()); }
    void TearDown() override { platform::headless::setExecutableFolder(""); }

    std::string filePath() const {
        return folder.path() + "Plugins/vis_vzrm/Configurations/vis_vzrm_config.ini";
    }
    void writeFile(const std::string& text) const { writeTextFile(filePath(), text); }
    std::string fileText() const { return readTextFile(filePath()); }

    ScratchFolder folder;
};

TEST_F(SettingsFile, MissingFileGivesTheMissingColumnAndWriteCreatesAllKeysInOrder) {
    Settings s;
    EXPECT_EQ(s.oscRotate, 1u);  // a new record's values differ from a missing file's
    EXPECT_EQ(s.mdlEffectsOnOff, 1u);
    EXPECT_EQ(s.mdlDynamicTextureOnOff, 0u);
    EXPECT_EQ(s.bgrName, "");
    EXPECT_EQ(s.mdlName, "");

    EXPECT_TRUE(s.read(kSettingsFile, kSettingsSection));  // a missing file is no failure
    EXPECT_FALSE(s.dimFirstRead);
    EXPECT_EQ(s.vzrVersion, 0);
    EXPECT_EQ(s.oscRotate, 0u);
    EXPECT_EQ(s.mdlEffectsOnOff, 0u);
    EXPECT_EQ(s.mdlDynamicTextureOnOff, 1u);
    EXPECT_EQ(s.bgrName, "Late Afternoon");
    EXPECT_EQ(s.mdlName, "Vizorama");
    EXPECT_EQ(s.dimWidth, 275);
    EXPECT_EQ(s.dimHeight, 116);
    EXPECT_EQ(s.dimResolution, "1x1");
    EXPECT_EQ(s.texBits, 16u);

    std::filesystem::create_directories(folder.path() + "Plugins/vis_vzrm/Configurations");
    EXPECT_TRUE(s.write(kSettingsFile, kSettingsSection));
    std::istringstream lines(fileText());
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "[Vizorama]\r");
    std::vector<std::string> keys;
    while (std::getline(lines, line)) keys.push_back(line.substr(0, line.find('=')));
    ASSERT_EQ(keys.size(), 32u);
    for (size_t i = 0; i < keys.size(); ++i) EXPECT_EQ(keys[i], kSettingsWriteOrder[i]);
    const std::string text = fileText();
    EXPECT_NE(text.find("vzrVersion=151\r\n"), std::string::npos);
    EXPECT_NE(text.find("vumType=Double Fixed Point\r\n"), std::string::npos);
    EXPECT_NE(text.find("lhtAmbient=0x003f7fff\r\n"), std::string::npos);
    EXPECT_NE(text.find("lhtSpecularLeft=0x0000ff00\r\n"), std::string::npos);
    EXPECT_NE(text.find("lhtSpecularRight=0x00ff7f00\r\n"), std::string::npos);
}

TEST_F(SettingsFile, ReadsValuesVersionsAndCutsAndKeepsTheRestOfTheFile) {
    writeFile(
        "[Player]\r\nvolume=7\r\n\r\n"
        "[Vizorama]\r\n"
        "vzrVersion=120\r\n"
        "dimLeft=-40\r\ndimTop=30\r\ndimWidth=550\r\ndimHeight=232\r\n"
        "dimResolution=\r\n"
        "texBits=\r\n"
        "lhtAmbient=0x003f7fff\r\n"
        "lhtDiffuse=0\r\n"
        "camPosition=" + std::string(300, 'c') + "\r\n"
        "somethingElse=kept\r\n");
    Settings s;
    s.read(kSettingsFile, kSettingsSection);
    EXPECT_EQ(s.vzrVersion, 120);
    EXPECT_EQ(s.dimLeft, -40);
    EXPECT_EQ(s.dimWidth, 550);
    EXPECT_EQ(s.dimResolution, "");  // present but empty: not the default
    EXPECT_EQ(s.texBits, 16u);       // an empty number reads as its default
    EXPECT_EQ(s.camPosition, std::string(259, 'c'));
    EXPECT_FLOAT_EQ(s.ambientRgb.r, 1.0f);
    EXPECT_NEAR(s.ambientRgb.g, 0.498, 0.001);
    EXPECT_NEAR(s.ambientRgb.b, 0.247, 0.001);

    // Later reads leave the window geometry alone: the running plug-in owns it.
    writeFile("[Vizorama]\r\ndimLeft=1\r\ndimTop=2\r\ndimWidth=3\r\ndimHeight=4\r\n");
    s.read(kSettingsFile, kSettingsSection);
    EXPECT_EQ(s.dimLeft, -40);
    EXPECT_EQ(s.dimTop, 30);
    EXPECT_EQ(s.dimWidth, 550);
    EXPECT_EQ(s.dimHeight, 232);
    EXPECT_EQ(s.dimResolution, "1x1");

    writeFile("[Player]\r\nvolume=7\r\n\r\n[Vizorama]\r\nvzrVersion=120\r\nmine=kept\r\n"
              "lhtAmbient=0x003f7fff\r\n");
    s.read(kSettingsFile, kSettingsSection);
    s.write(kSettingsFile, kSettingsSection);
    const std::string text = fileText();
    EXPECT_EQ(text.rfind("[Player]\r\nvolume=7\r\n\r\n[Vizorama]\r\nvzrVersion=151\r\nmine=kept\r\n"
                         "lhtAmbient=0x003f7fff\r\n",
                         0),
              0u);
    EXPECT_NE(text.find("dimLeft=-40\r\n"), std::string::npos);
}

TEST_F(SettingsFile, AnUnreadableFileIsNeitherReadAsDefaultsNorReplaced) {
    // A folder where the file should be cannot be read as a file.
    std::filesystem::create_directories(filePath());
    Settings s;
    s.vumType = "Beam";
    EXPECT_FALSE(s.read(kSettingsFile, kSettingsSection));
    EXPECT_EQ(s.vumType, "Beam");
    EXPECT_FALSE(s.write(kSettingsFile, kSettingsSection));
    EXPECT_TRUE(std::filesystem::is_directory(filePath()));
}

TEST_F(SettingsFile, WritesNothingWithoutTheConfigurationFolderOrBeyondThePathLimit) {
    Settings s;
    EXPECT_FALSE(s.write(kSettingsFile, kSettingsSection));
    EXPECT_FALSE(std::filesystem::exists(filePath()));

    std::string deep = folder.path() + std::string(200, 'd') + "/";
    std::filesystem::create_directories(deep + "Plugins/vis_vzrm/Configurations");
    platform::headless::setExecutableFolder(deep);
    s.write(kSettingsFile, kSettingsSection);
    EXPECT_TRUE(std::filesystem::is_empty(deep + "Plugins/vis_vzrm/Configurations"));
}

TEST(SettingsColours, PackAndUnpackRoundTripEveryByte) {
    for (uint32_t v = 0; v < 256; ++v) {
        Rgb c = unpackColour(v | v << 8 | v << 16 | 0xAB000000u);
        EXPECT_EQ(packColour(c.r, c.g, c.b), v | v << 8 | v << 16) << v;
    }
    Rgb c = unpackColour(0x00ff7f00);
    EXPECT_FLOAT_EQ(c.r, 0.0f);
    EXPECT_NEAR(c.g, 127 / 255.0, 1e-6);
    EXPECT_FLOAT_EQ(c.b, 1.0f);
}

TEST(SettingsMailboxTest, HandsOverChoicesButNotTheGeometry) {
    Settings live;
    live.dimLeft = 10;
    live.dimWidth = 550;
    Settings read;
    read.dimLeft = 99;
    read.dimWidth = 1;
    read.oscType = "Sine Filter";
    read.lhtAmbient = 0x123456;

    SettingsMailbox mailbox;
    EXPECT_FALSE(mailbox.adoptInto(live));
    mailbox.post(read);
    EXPECT_TRUE(mailbox.adoptInto(live));
    EXPECT_FALSE(mailbox.adoptInto(live));
    EXPECT_EQ(live.oscType, "Sine Filter");
    EXPECT_EQ(live.lhtAmbient, 0x123456u);
    EXPECT_EQ(live.dimLeft, 10);
    EXPECT_EQ(live.dimWidth, 550);

    // One thread posting while another adopts: every adopted record is whole.
    live.vumType = live.camPosition = "";
    int torn = 0;
    std::thread poster([&] {
        Settings s;
        for (int i = 0; i < 2000; ++i) {
            s.vumType = std::string(static_cast<size_t>(i % 50), 'v');
            s.camPosition = s.vumType;
            mailbox.post(s);
        }
    });
    for (int i = 0; i < 2000; ++i) {
        mailbox.adoptInto(live);
        torn += live.vumType != live.camPosition;
    }
    poster.join();
    EXPECT_EQ(torn, 0);
}

}  // namespace
