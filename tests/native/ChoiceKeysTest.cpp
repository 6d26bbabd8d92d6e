#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "readers/AssetFolder.h"
#include "settings/ChoiceKeys.h"
#include "settings/Choices.h"
#include "tests/native/TestFiles.h"

namespace {

TEST(ChoiceKeys, KeysStepThroughEveryChoiceOffAndBackAndShiftStepsBackwards) {
    Settings s;
    AssetNames names{{"Late Afternoon", "My Sky"}, {"Knot", "Vizorama"}};

    // The oscilloscope: each type in turn, then off, then the first type again.
    ASSERT_EQ(s.oscType, "Waveform");
    EXPECT_EQ(applyChoiceKey('O', false, s, names), "Oscilloscope: No Filter");
    EXPECT_EQ(applyChoiceKey('O', false, s, names), "Oscilloscope: Sine Filter");
    EXPECT_EQ(applyChoiceKey('O', false, s, names), "Oscilloscope: Cosine Filter");
    EXPECT_EQ(applyChoiceKey('O', false, s, names), "Oscilloscope: off");
    EXPECT_EQ(s.oscOnOff, 0u);
    EXPECT_EQ(s.oscType, "Cosine Filter");  // the type stays for when it comes back
    EXPECT_EQ(applyChoiceKey('O', false, s, names), "Oscilloscope: Waveform");
    EXPECT_EQ(s.oscOnOff, 1u);
    EXPECT_EQ(applyChoiceKey('O', true, s, names), "Oscilloscope: off");
    EXPECT_EQ(applyChoiceKey('O', true, s, names), "Oscilloscope: Cosine Filter");

    // Skies and models from the names found on disk, off between the last and the first.
    ASSERT_EQ(s.bgrOnOff, 0u);
    EXPECT_EQ(applyChoiceKey('B', false, s, names), "Skybox: Late Afternoon");
    EXPECT_EQ(s.bgrOnOff, 1u);
    EXPECT_EQ(applyChoiceKey('B', false, s, names), "Skybox: My Sky");
    EXPECT_EQ(applyChoiceKey('B', false, s, names), "Skybox: off");
    EXPECT_EQ(applyChoiceKey('N', true, s, names), "Model: Vizorama");
    // A name that is no longer on disk steps to the first.
    s.mdlName = "Gone";
    EXPECT_EQ(applyChoiceKey('N', false, s, names), "Model: Knot");
    AssetNames none;
    EXPECT_EQ(applyChoiceKey('N', false, s, none), "Model: off");
    EXPECT_EQ(applyChoiceKey('N', false, s, none), "Model: off");  // nothing to switch on

    // Lists without "off" wrap round; every value of each list is reached once a round.
    auto fullRound = [&](char key, const std::string& field, std::vector<std::string> list) {
        const std::string start = field;
        std::vector<std::string> seen;
        for (size_t i = 0; i < list.size(); ++i) {
            applyChoiceKey(key, false, s, names);
            seen.push_back(field);
        }
        EXPECT_EQ(field, start) << key;
        std::sort(seen.begin(), seen.end());
        std::sort(list.begin(), list.end());
        EXPECT_EQ(seen, list) << key;
        applyChoiceKey(key, false, s, names);
        applyChoiceKey(key, true, s, names);
        EXPECT_EQ(field, start) << key;
    };
    auto listOf = [](const auto& names) {
        return std::vector<std::string>(std::begin(names), std::end(names));
    };
    fullRound('M', s.oscRenderingMode.text(), listOf(choices::kRenderingModes));
    fullRound('C', s.camPosition.text(), listOf(choices::kCameraMotions));
    fullRound('R', s.oscSamplingRate.text(), listOf(choices::kSamplingRates));

    // Toggles, and the stroboscope's steps 0..10 round in both directions (an odd file value
    // counts as the most).
    EXPECT_EQ(applyChoiceKey('L', false, s, names), "Lights: on");
    EXPECT_EQ(applyChoiceKey('L', false, s, names), "Lights: off");
    EXPECT_EQ(applyChoiceKey('T', false, s, names), "Feathers: on");
    EXPECT_EQ(applyChoiceKey('D', false, s, names), "Live texture: on");
    EXPECT_EQ(applyChoiceKey('S', false, s, names), "Stroboscope: 1");
    EXPECT_EQ(applyChoiceKey('S', true, s, names), "Stroboscope: off");
    EXPECT_EQ(applyChoiceKey('S', true, s, names), "Stroboscope: 10");
    s.lhtStroboscope = 4000000000u;
    EXPECT_EQ(applyChoiceKey('S', false, s, names), "Stroboscope: off");
    EXPECT_EQ(applyChoiceKey('V', false, s, names), "Meter: Beam");
    EXPECT_EQ(applyChoiceKey('E', false, s, names), "Model effect: Motion Blur");

    EXPECT_EQ(applyChoiceKey('Q', false, s, names), "");
    for (const std::string& line : currentChoices(s)) EXPECT_FALSE(line.empty());
    EXPECT_EQ(currentChoices(s)[1], "Meter: Beam");
}

TEST(ChoiceKeys, FolderNamesJoinOursAndTheUsersSortedOnceEachWithoutFiles) {
    ScratchFolder folder;
    namespace fs = std::filesystem;
    fs::create_directories(folder.path() + "ours/Skyboxes/Late Afternoon");
    fs::create_directories(folder.path() + "ours/Skyboxes/Both");
    fs::create_directories(folder.path() + "mine/Both");
    fs::create_directories(folder.path() + "mine/A Sky");
    writeTextFile(folder.path() + "mine/readme.txt", "not a sky");
    AssetFolders folders{folder.path() + "ours/", {folder.path() + "mine/", folder.path() + "missing/", ""}, {}, {}};
    EXPECT_EQ(folders.namesOf(AssetKind::Skybox),
              (std::vector<std::string>{"A Sky", "Both", "Late Afternoon"}));
    EXPECT_TRUE(folders.namesOf(AssetKind::Model).empty());
}

}  // namespace
