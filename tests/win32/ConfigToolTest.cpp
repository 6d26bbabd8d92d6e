// The configuration utility's real dialog under Wine, driven by messages from this process:
// what its pages show for a prepared settings file, and what "Apply", "OK", "Cancel" and
// "Reset" leave in the file.
#include <gtest/gtest.h>

#include <windows.h>

#include <colordlg.h>
#include <commctrl.h>

#include <algorithm>

#include "tests/win32/UtilityDriver.h"
#include "tests/win32/WineSupport.h"

namespace {

using Entries = std::vector<std::string>;

// A file the plug-in wrote (geometry and all), with a value off every default, a second
// section, a comment and a key the utility does not know.
const char* kPreparedFile =
    "; kept as it is\r\n"
    "[Other]\r\nkeep=me\r\n\r\n"
    "[Vizorama]\r\n"
    "vzrVersion=151\r\ndimLeft=-40\r\ndimTop=300\r\ndimWidth=550\r\ndimHeight=232\r\n"
    "dimResolution=2x3\r\ntofOnOff=1\r\nvumOnOff=0\r\nvumType=Beam\r\noscOnOff=0\r\n"
    "oscRotate=1\r\noscType=sine\r\noscSamplingRate=3x2\r\noscRenderingMode=Smoke\r\n"
    "bgrOnOff=1\r\nbgrName=Late Afternoon\r\nmdlOnOff=1\r\nmdlBeat=0\r\nmdlEffectsOnOff=1\r\n"
    "mdlEffectsType=Motion Blur\r\nmdlDynamicTextureOnOff=0\r\nmdlColorMap=GBR\r\n"
    "mdlName=Test\r\ncamPosition=View From Beneath\r\ntexBits=32\r\nlhtOnOff=1\r\n"
    "lhtRotate=0\r\nlhtStroboscope=10\r\nlhtAmbient=0x000000ff\r\nlhtDiffuse=0x0000ff00\r\n"
    "lhtSpecularLeft=0x00ff0000\r\nlhtSpecularRight=0x00ffffff\r\nunknownKey=stays\r\n";

// A control of a page and what it shows or is set to: a check box ("1" checked, "0" not), a
// list or a drop-down list (the selected entry's text, "" for none).
enum Kind { kCheck, kList, kDropDown };
struct Control {
    int page;
    int id;
    Kind kind;
    const char* value;
};

std::string shown(HWND page, const Control& c) {
    if (c.kind == kCheck) return isChecked(page, c.id) ? "1" : "0";
    return c.kind == kList ? listSelection(page, c.id) : dropDownSelection(page, c.id);
}

void set(HWND page, const Control& c) {
    if (c.kind == kCheck) setChecked(page, c.id, c.value[0] == '1');
    else if (c.kind == kList) selectListText(page, c.id, c.value);
    else selectDropDownText(page, c.id, c.value);
}

// A key of the settings file and its value.
using Keys = std::vector<std::pair<const char*, const char*>>;

class ConfigTool : public ::testing::Test {
protected:
    void SetUp() override {
        endAllUtilities();  // one open copy would make every other one end at once
        tree.installUtility();
        tree.installModels();
        writeFileText(tree.settingsPath(), kPreparedFile);
        // Besides our models, a folder named "[Test]" and a plain file; a second sky whose name
        // begins with the first one's.
        CreateDirectoryA((plugin + "Models\\[Test]").c_str(), nullptr);
        writeFileText(plugin + "Models\\notes.txt", "not a model");
        CreateDirectoryA((plugin + "Skyboxes\\Late Afternoon 2").c_str(), nullptr);
    }
    void TearDown() override { endAllUtilities(); }

    void expectFile(const Keys& keys) const {
        std::string text = readFileText(tree.settingsPath());
        for (auto [key, expected] : keys) EXPECT_EQ(settingsValue(text, key), expected) << key;
    }

    InstallTree tree;
    const std::string plugin = tree.folder() + "Plugins\\vis_vzrm\\";
};

// The colour shown on the screen at the middle of a control, or at its top left corner.
COLORREF screenColour(HWND control, bool corner = false) {
    RECT r;
    GetWindowRect(control, &r);
    HDC screen = GetDC(nullptr);
    COLORREF c = corner ? GetPixel(screen, r.left, r.top)
                        : GetPixel(screen, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    ReleaseDC(nullptr, screen);
    return c;
}

TEST_F(ConfigTool, PagesShowTheFileAndCancelOrResetThenCancelLeaveItUntouched) {
    Utility utility(tree);
    HWND dialog = utility.dialog();
    ASSERT_TRUE(dialog) << "the utility did not show its dialog";
    for (auto [id, text] : {std::pair{IDOK, "OK"}, std::pair{IDCANCEL, "Cancel"},
                            std::pair{1002, "Apply"}, std::pair{1006, "Reset"}})
        EXPECT_EQ(textOf(GetDlgItem(dialog, id)), text);
    EXPECT_EQ(utility.tabLabels(),
              (Entries{"About", "Effects", "Graphics", "3D Models", "Misc", "Looks"}));
    Entries about = childTexts(utility.page(kAboutPage));
    EXPECT_NE(std::find(about.begin(), about.end(), "Version 1.51"), about.end());
    EXPECT_TRUE(utility.savePicture("config-about.bmp"));

    const Control expected[] = {
        {kEffectsPage, 1009, kCheck, "0"}, {kEffectsPage, 1010, kCheck, "1"},
        {kEffectsPage, 1011, kDropDown, "Sine Filter"},  // "sine" begins it
        {kEffectsPage, 1014, kList, "3x2"}, {kEffectsPage, 1013, kDropDown, "Smoke"},
        {kEffectsPage, 1017, kCheck, "0"}, {kEffectsPage, 1019, kDropDown, "Beam"},
        {kEffectsPage, 1018, kCheck, "1"}, {kEffectsPage, 1007, kCheck, "1"},
        {kEffectsPage, 1008, kCheck, "0"},
        {kGraphicsPage, 1009, kCheck, "1"},
        {kGraphicsPage, 1014, kList, "Late Afternoon"},  // not "Late Afternoon 2"
        {kGraphicsPage, 1021, kCheck, "0"}, {kGraphicsPage, 1022, kCheck, "1"},
        {kGraphicsPage, 1041, kCheck, "1"},  // "2x3" is a windowed size
        {kGraphicsPage, 1042, kCheck, "0"}, {kGraphicsPage, 1043, kCheck, "0"},
        {kGraphicsPage, 1013, kList, "2x3"},
        {kModelsPage, 1013, kList, "Test"}, {kModelsPage, 1012, kCheck, "1"},
        {kModelsPage, 1026, kCheck, "0"}, {kModelsPage, 1017, kCheck, "1"},
        {kModelsPage, 1030, kDropDown, "Motion Blur"}, {kModelsPage, 1014, kList, "GBR"},
        {kModelsPage, 1018, kCheck, "0"},
        {kMiscPage, 1024, kDropDown, "View From Beneath"}};
    for (const Control& c : expected)
        EXPECT_EQ(shown(utility.page(c.page), c), c.value) << "page " << c.page << " id " << c.id;

    HWND effects = utility.page(kEffectsPage);
    Entries texts = childTexts(effects);
    for (const char* label : {"Oscilloscope", "VU Meter", "Tail Of Feathers", "Pulsar", "Type",
                              "Sampling Rate", "Rendering Mode", "On/Off", "Rotate"})
        EXPECT_NE(std::find(texts.begin(), texts.end(), label), texts.end()) << label;
    EXPECT_EQ(dropDownEntries(effects, 1011),
              (Entries{"Waveform", "No Filter", "Sine Filter", "Cosine Filter"}));
    EXPECT_EQ(listEntries(effects, 1014),
              (Entries{"1x1", "2x1", "3x1", "4x1", "1x2", "2x2", "3x2", "4x2", "1x3", "2x3", "3x3",
                       "4x3", "1x4", "2x4", "3x4", "4x4"}));
    EXPECT_TRUE(utility.savePicture("config-effects.bmp"));
    HWND graphics = utility.page(kGraphicsPage);
    EXPECT_EQ(listEntries(graphics, 1014), (Entries{"Late Afternoon", "Late Afternoon 2"}));
    EXPECT_EQ(listEntries(graphics, 1013),
              (Entries{"1x1", "1x2", "1x3", "2x1", "2x2", "2x3", "3x1", "3x2", "3x3"}));
    EXPECT_TRUE(utility.savePicture("config-graphics.bmp"));
    HWND models = utility.page(kModelsPage);
    // "[Test]" on disk is listed unwrapped; the parent folder never.
    EXPECT_EQ(listEntries(models, 1013),
              (Entries{"Knot", "notes.txt", "Ringed Planet", "Test", "Vizorama"}));
    EXPECT_EQ(listEntries(models, 1014), (Entries{"RGB", "RBG", "GRB", "GBR", "BRG", "BGR"}));
    EXPECT_TRUE(utility.savePicture("config-models.bmp"));
    HWND misc = utility.page(kMiscPage);
    EXPECT_EQ(SendMessageW(GetDlgItem(misc, 1012), TBM_GETPOS, 0, 0), 10);  // "Always"
    EXPECT_EQ(SendMessageW(GetDlgItem(misc, 1012), TBM_GETRANGEMAX, 0, 0), 10);
    EXPECT_TRUE(utility.savePicture("config-misc.bmp"));
    // The light colour swatches, each edged in black.
    const std::pair<int, COLORREF> swatches[] = {{1002, RGB(255, 0, 0)}, {1006, RGB(0, 255, 0)},
                                                 {1003, RGB(0, 0, 255)},
                                                 {1004, RGB(255, 255, 255)}};
    for (auto [id, colour] : swatches) {
        EXPECT_EQ(screenColour(GetDlgItem(misc, id)), colour) << id;
        EXPECT_EQ(screenColour(GetDlgItem(misc, id), true), RGB(0, 0, 0)) << id;
    }

    // A second copy ends by itself, showing nothing, and leaves this one as it was.
    RECT before, after;
    GetWindowRect(dialog, &before);
    {
        Utility second(tree);
        EXPECT_EQ(second.dialog(), nullptr);
        EXPECT_EQ(second.waitForExit(10000), 0u);
    }
    GetWindowRect(dialog, &after);
    EXPECT_EQ(findUtilityDialog(), dialog);
    EXPECT_TRUE(EqualRect(&before, &after));

    // "Reset" shows the record's values; "Cancel" then writes nothing.
    click(dialog, 1006);
    EXPECT_TRUE(isChecked(effects, 1009));
    EXPECT_EQ(listSelection(models, 1013), "");
    EXPECT_EQ(SendMessageW(GetDlgItem(misc, 1012), TBM_GETPOS, 0, 0), 0);
    click(dialog, IDCANCEL);
    EXPECT_EQ(utility.waitForExit(10000), 0u);
    EXPECT_EQ(readFileText(tree.settingsPath()), kPreparedFile);
}

TEST_F(ConfigTool, ApplyAndOkWriteWhatThePagesShowAndKeepTheRestOfTheFile) {
    Utility utility(tree);
    HWND dialog = utility.dialog();
    ASSERT_TRUE(dialog);
    const Control changes[] = {
        {kEffectsPage, 1009, kCheck, "1"}, {kEffectsPage, 1010, kCheck, "0"},
        {kEffectsPage, 1011, kDropDown, "Cosine Filter"}, {kEffectsPage, 1014, kList, "4x4"},
        {kEffectsPage, 1013, kDropDown, "Wireframe"}, {kEffectsPage, 1017, kCheck, "1"},
        {kEffectsPage, 1019, kDropDown, "Single Fixed Point"}, {kEffectsPage, 1018, kCheck, "0"},
        {kEffectsPage, 1007, kCheck, "0"}, {kEffectsPage, 1008, kCheck, "1"},
        {kGraphicsPage, 1009, kCheck, "0"}, {kGraphicsPage, 1014, kList, "Late Afternoon 2"},
        {kModelsPage, 1012, kCheck, "0"}, {kModelsPage, 1026, kCheck, "1"},
        {kModelsPage, 1017, kCheck, "0"}, {kModelsPage, 1030, kDropDown, "Ghost"},
        {kModelsPage, 1014, kList, "BRG"}, {kModelsPage, 1018, kCheck, "1"},
        {kModelsPage, 1013, kList, "Knot"}, {kMiscPage, 1024, kDropDown, "Spin"}};
    for (const Control& c : changes) set(utility.page(c.page), c);
    HWND misc = utility.page(kMiscPage);
    SendMessageW(GetDlgItem(misc, 1012), TBM_SETPOS, TRUE, 3);
    HWND graphics = utility.page(kGraphicsPage);
    click(graphics, 1021);  // "16-bits"
    click(graphics, 1042);  // "Fullscreen": "2x3" is not among its sizes, so the first
    EXPECT_EQ(listEntries(graphics, 1013), (Entries{"640x480", "800x600", "1024x768", "1152x864",
                                                    "1280x1024", "1600x1200"}));
    EXPECT_EQ(listSelection(graphics, 1013), "640x480");
    selectListText(graphics, 1013, "1024x768");

    click(dialog, 1002);  // "Apply"
    expectFile({{"oscOnOff", "1"}, {"oscRotate", "0"}, {"oscType", "Cosine Filter"},
                {"oscSamplingRate", "4x4"}, {"oscRenderingMode", "Wireframe"}, {"vumOnOff", "1"},
                {"vumType", "Single Fixed Point"}, {"tofOnOff", "0"}, {"lhtOnOff", "0"},
                {"lhtRotate", "1"}, {"bgrOnOff", "0"}, {"bgrName", "Late Afternoon 2"},
                {"texBits", "16"}, {"dimResolution", "1024x768"}, {"mdlOnOff", "0"},
                {"mdlBeat", "1"}, {"mdlEffectsOnOff", "0"}, {"mdlEffectsType", "Ghost"},
                {"mdlColorMap", "BRG"}, {"mdlDynamicTextureOnOff", "1"}, {"mdlName", "Knot"},
                {"camPosition", "Spin"}, {"lhtStroboscope", "3"}, {"lhtAmbient", "0x000000ff"},
                {"lhtSpecularRight", "0x00ffffff"},
                // The geometry the plug-in wrote, and what the utility does not know, stay.
                {"dimLeft", "-40"}, {"dimTop", "300"}, {"dimWidth", "550"}, {"dimHeight", "232"},
                {"unknownKey", "stays"}, {"keep", "me"}});
    EXPECT_EQ(readFileText(tree.settingsPath()).rfind("; kept as it is\r\n[Other]\r\n", 0), 0u);

    selectDropDownText(misc, 1024, "Scan Up");
    click(dialog, IDOK);
    EXPECT_EQ(utility.waitForExit(10000), 0u);
    expectFile({{"camPosition", "Scan Up"}, {"dimLeft", "-40"}, {"dimWidth", "550"}});
}

TEST_F(ConfigTool, ResetThenApplyWritesTheRecordDefaults) {
    Utility utility(tree);
    ASSERT_TRUE(utility.dialog());
    click(utility.dialog(), 1006);  // "Reset"
    click(utility.dialog(), 1002);  // "Apply"
    expectFile({{"vzrVersion", "151"}, {"dimLeft", "0"}, {"dimTop", "0"}, {"dimWidth", "275"},
                {"dimHeight", "116"}, {"dimResolution", "1x1"}, {"tofOnOff", "0"},
                {"vumOnOff", "1"}, {"vumType", "Double Fixed Point"}, {"oscOnOff", "1"},
                {"oscRotate", "1"}, {"oscType", "Waveform"}, {"oscSamplingRate", "1x3"},
                {"oscRenderingMode", "Water"}, {"bgrOnOff", "0"}, {"bgrName", ""},
                {"mdlOnOff", "0"}, {"mdlBeat", "1"}, {"mdlEffectsOnOff", "1"},
                {"mdlEffectsType", "Ghost"}, {"mdlDynamicTextureOnOff", "0"},
                {"mdlColorMap", "RGB"}, {"mdlName", ""}, {"camPosition", "Spin"},
                {"texBits", "16"}, {"lhtOnOff", "0"}, {"lhtRotate", "1"},
                {"lhtStroboscope", "0"}, {"lhtAmbient", "0x003f7fff"},
                {"lhtDiffuse", "0x003f3f3f"}, {"lhtSpecularLeft", "0x0000ff00"},
                {"lhtSpecularRight", "0x00ff7f00"}});
}

TEST_F(ConfigTool, ValuesOutsideTheListsAreKeptAndMissingFoldersListNothing) {
    // No "Models" folder, and values that no list or drop-down list offers.
    ASSERT_TRUE(MoveFileA((plugin + "Models").c_str(), (plugin + "Models away").c_str()));
    writeFileText(tree.settingsPath(),
                  "[Vizorama]\r\ndimResolution=5x5\r\noscType=Foo\r\noscSamplingRate=9x9\r\n"
                  "mdlColorMap=XYZ\r\nmdlName=Gone\r\nbgrName=Missing Sky\r\ncamPosition=Fly\r\n");
    Utility utility(tree);
    ASSERT_TRUE(utility.dialog());
    HWND graphics = utility.page(kGraphicsPage);
    for (int mode : {1041, 1042, 1043}) EXPECT_FALSE(isChecked(graphics, mode)) << mode;
    EXPECT_TRUE(listEntries(graphics, 1013).empty());
    EXPECT_EQ(listSelection(graphics, 1014), "");
    EXPECT_TRUE(listEntries(utility.page(kModelsPage), 1013).empty());

    click(utility.dialog(), 1002);  // "Apply"
    expectFile({{"dimResolution", "5x5"}, {"oscType", "Foo"}, {"oscSamplingRate", "9x9"},
                {"mdlColorMap", "XYZ"}, {"mdlName", "Gone"}, {"bgrName", "Missing Sky"},
                {"camPosition", "Fly"}, {"vumType", "Double Fixed Point"}});
}

TEST_F(ConfigTool, PickingPureRedStoresItForTheLight) {
    Utility utility(tree);
    ASSERT_TRUE(utility.dialog());
    HWND misc = utility.page(kMiscPage);
    postClick(misc, 1006);  // "D": the picker waits for the user
    HWND picker = utility.waitForWindow("Color", 5000);
    ASSERT_TRUE(picker) << "no colour picker";
    // It starts at the light's colour, green.
    EXPECT_EQ(textOf(GetDlgItem(picker, COLOR_GREEN)), "255");
    EXPECT_EQ(textOf(GetDlgItem(picker, COLOR_RED)), "0");
    for (auto [id, text] : {std::pair{COLOR_RED, L"255"}, std::pair{COLOR_GREEN, L"0"},
                            std::pair{COLOR_BLUE, L"0"}})
        SendMessageW(GetDlgItem(picker, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    PostMessageW(GetDlgItem(picker, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(picker); }, 5000));
    Sleep(200);
    EXPECT_EQ(screenColour(GetDlgItem(misc, 1006)), RGB(255, 0, 0));

    click(utility.dialog(), 1002);  // "Apply"
    expectFile({{"lhtDiffuse", "0x000000ff"}, {"lhtAmbient", "0x000000ff"},
                {"lhtSpecularLeft", "0x00ff0000"}});
}

TEST_F(ConfigTool, AnUnreadableFileIsNotReplacedAndTheUserIsTold) {
    // Another program holds the file open and shares nothing.
    HANDLE held = CreateFileA(tree.settingsPath().c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    Utility utility(tree);
    ASSERT_TRUE(utility.dialog());
    EXPECT_NE(answerMessageBox(utility).find("could not be read"), std::string::npos);

    // Not even once the file can be read again: the pages hold defaults, not the file's values.
    CloseHandle(held);
    postClick(utility.dialog(), 1002);  // "Apply"
    EXPECT_NE(answerMessageBox(utility).find("not saved"), std::string::npos);
    postClick(utility.dialog(), IDOK);
    EXPECT_NE(answerMessageBox(utility).find("not saved"), std::string::npos);
    EXPECT_TRUE(IsWindow(utility.dialog())) << "\"OK\" closed the dialog without saving";
    EXPECT_EQ(readFileText(tree.settingsPath()), kPreparedFile);
}

TEST_F(ConfigTool, TheLooksPageUsesSavesAndDeletesLooksAndApplyWritesWhatItShows) {
    tree.installLooks();  // ours as the build staged them, and two of the test's own
    const std::string looks = plugin + "Looks\\";
    makeFolders(looks + "Mine\\");
    writeFileText(looks + "Test Beam.ini",
                  "[Vizorama]\r\nvumOnOff=1\r\nvumType=Beam\r\nbgrOnOff=0\r\ntofOnOff=0\r\n");
    writeFileText(looks + "Test Plain.ini", "[Vizorama]\r\noscRenderingMode=Plain\r\n");
    writeFileText(looks + "Mine\\Quiet.ini", "[Vizorama]\r\nvumOnOff=0\r\n");
    writeFileText(tree.settingsPath(), std::string(kPreparedFile) +
                                           "lookName=Test Plain\r\nlookChange=Timer\r\n"
                                           "lookSeconds=45\r\nlookOrder=In Turn\r\n");
    Utility utility(tree);
    HWND dialog = utility.dialog();
    ASSERT_TRUE(dialog);
    HWND page = utility.page(kLooksPage);
    const auto lastThree = [&] {
        Entries all = listEntries(page, 1050);
        return all.size() < 3 ? all : Entries(all.end() - 3, all.end());
    };
    EXPECT_GT(listEntries(page, 1050).size(), 3u);
    EXPECT_EQ(lastThree(), (Entries{"Test Beam", "Test Plain", "Quiet (mine)"}));
    EXPECT_EQ(listSelection(page, 1050), "Test Plain");
    EXPECT_EQ(textOf(GetDlgItem(page, 1054)), "Chosen look: Test Plain");
    EXPECT_EQ(dropDownSelection(page, 1055) + ", " + textOf(GetDlgItem(page, 1056)) + ", " +
                  dropDownSelection(page, 1058),
              "Timer, 45, In Turn");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, 1053))) << "ours cannot be deleted";
    EXPECT_TRUE(utility.savePicture("config-looks.bmp"));

    // Use: the look shows on the other pages at once; an unsaved edit of what a look does not
    // hold stays; the file changes only on "Apply".
    HWND graphics = utility.page(kGraphicsPage);
    click(graphics, 1021);  // "16-bits"
    page = utility.page(kLooksPage);
    selectListText(page, 1050, "Test Beam");
    click(page, 1051);
    HWND effects = utility.page(kEffectsPage);
    EXPECT_TRUE(isChecked(effects, 1017));
    EXPECT_EQ(dropDownSelection(effects, 1019), "Beam");
    EXPECT_FALSE(isChecked(graphics, 1009));
    EXPECT_TRUE(isChecked(graphics, 1021));
    EXPECT_EQ(textOf(GetDlgItem(page, 1054)), "Chosen look: Test Beam");
    expectFile({{"lookName", "Test Plain"}, {"vumType", "Beam"}, {"bgrOnOff", "1"}});

    // Save current as...: names Windows or we hold are refused, and the dialog stays.
    page = utility.page(kLooksPage);
    postClick(page, 1052);
    HWND ask = utility.waitForWindow("Save Current Look As", 5000);
    ASSERT_TRUE(ask) << "no name asked for";
    HWND name = GetDlgItem(ask, 1060);
    EXPECT_EQ(textOf(name), "My look");
    const std::pair<const char*, const char*> refusals[] = {
        {"  ", "needs a name"}, {"CON", "reserves"}, {"con.txt", "reserves"},
        {"CON .ini", "reserves"}, {"Lpt9", "reserves"}, {"..", "cannot hold"},
        {"..\\Outside", "cannot hold"}, {"test beam", "One of our looks"}};
    for (auto [refused, why] : refusals) {
        SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(refused));
        PostMessageW(GetDlgItem(ask, IDOK), BM_CLICK, 0, 0);
        EXPECT_NE(answerMessageBox(utility, 5000, "Looks").find(why), std::string::npos) << refused;
        EXPECT_TRUE(IsWindow(ask)) << refused;
    }
    SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(" Evening "));
    PostMessageW(GetDlgItem(ask, IDOK), BM_CLICK, 0, 0);
    // Saved once the dialog is gone and the list shows it.
    ASSERT_TRUE(waitUntil([&] { return listSelection(page, 1050) == "Evening (mine)"; }, 5000));
    EXPECT_FALSE(IsWindow(ask));
    const std::string evening = readFileText(looks + "Mine\\Evening.ini");
    EXPECT_EQ(settingsValue(evening, "vumType") + ", " + settingsValue(evening, "texBits"),
              "Beam, <absent>");
    EXPECT_EQ(lastThree(), (Entries{"Test Plain", "Evening (mine)", "Quiet (mine)"}));

    // Delete: a look of the user's, its file gone at once.
    selectListText(page, 1050, "Quiet (mine)");
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, 1053)));
    postClick(page, 1053);
    EXPECT_NE(answerMessageBox(utility, 5000, "Looks", IDYES).find("\"Quiet\""), std::string::npos);
    EXPECT_TRUE(waitUntil([&] { return !fileExists(looks + "Mine\\Quiet.ini"); }, 5000));
    EXPECT_EQ(lastThree(), (Entries{"Test Beam", "Test Plain", "Evening (mine)"}));

    // "Apply" writes the look, the texture depth kept, and how looks change (seconds held to
    // their range); an edit of a look's key on another page leaves the user's own settings.
    selectDropDownText(page, 1055, "Beat");
    selectDropDownText(page, 1058, "Shuffle");
    SendMessageA(GetDlgItem(page, 1056), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("900"));
    click(dialog, 1002);
    expectFile({{"lookName", "Evening"}, {"vumType", "Beam"}, {"bgrOnOff", "0"}, {"texBits", "16"},
                {"lookChange", "Beat"}, {"lookSeconds", "600"}, {"lookOrder", "Shuffle"}});
    EXPECT_EQ(textOf(GetDlgItem(page, 1056)), "600");
    setChecked(effects, 1018, true);  // the tail of feathers
    click(dialog, 1002);
    expectFile({{"lookName", ""}, {"tofOnOff", "1"}, {"vumType", "Beam"}});
    EXPECT_EQ(textOf(GetDlgItem(page, 1054)), "Chosen look: none, your own settings");
}

}  // namespace
