// The model in the real plug-in: the live picture of the host window on its surfaces, its
// effects and colour maps on screen, and switching models while the plug-in runs.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "tests/win32/WineSupport.h"

namespace {

// A 2x2 window snapped to the right of the player at (100, 100), with only the model shown.
const char* kModelSettings =
    "[Vizorama]\r\ndimResolution=2x2\r\ndimLeft=380\r\ndimTop=100\r\nlhtOnOff=0\r\n"
    "lhtRotate=0\r\noscOnOff=0\r\nvumOnOff=0\r\ntofOnOff=0\r\nlhtDiffuse=0x00ffffff\r\n"
    "lhtAmbient=0x00ffffff\r\nmdlOnOff=1\r\nmdlDynamicTextureOnOff=1\r\nmdlBeat=1\r\n";
constexpr int kWindowLeft = 375, kWindowTop = 100, kWidth = 550, kHeight = 232;

// A cube of side 10 whose six faces all wear the live picture of the player's window.
std::string liveCube() {
    static const int kCorners[8][3] = {{-5, -5, -5}, {5, -5, -5}, {5, 5, -5}, {-5, 5, -5},
                                       {-5, -5, 5},  {5, -5, 5},  {5, 5, 5},  {-5, 5, 5}};
    static const int kQuads[6][4] = {{0, 3, 2, 1}, {4, 5, 6, 7}, {0, 1, 5, 4},
                                     {1, 2, 6, 5}, {2, 3, 7, 6}, {3, 0, 4, 7}};
    static const int kNormals[6][3] = {{0, 0, -1}, {0, 0, 1}, {0, -1, 0},
                                       {1, 0, 0},  {0, 1, 0}, {-1, 0, 0}};
    std::string ase =
        "*MATERIAL_LIST {\n\t*MATERIAL 0 {\n\t\t*MAP_DIFFUSE {\n\t\t\t*BITMAP \"Vizorama.tga\"\n"
        "\t\t\t*UVW_U_TILING 1.0\n\t\t\t*UVW_V_TILING 1.0\n\t\t\t*UVW_U_OFFSET 0.0\n"
        "\t\t\t*UVW_V_OFFSET 0.0\n\t\t}\n\t}\n}\n*GEOMOBJECT {\n\t*MESH {\n"
        "\t\t*MESH_NUMVERTEX 8\n\t\t*MESH_NUMFACES 12\n\t\t*MESH_NUMTVERTEX 4\n";
    char line[160];
    for (int i = 0; i < 8; ++i) {
        std::snprintf(line, sizeof line, "\t\t*MESH_VERTEX %d\t%d\t%d\t%d\n", i, kCorners[i][0],
                      kCorners[i][1], kCorners[i][2]);
        ase += line;
    }
    ase += "\t\t*MESH_TVERT 0\t0\t0\t0\n\t\t*MESH_TVERT 1\t1\t0\t0\n"
           "\t\t*MESH_TVERT 2\t1\t1\t0\n\t\t*MESH_TVERT 3\t0\t1\t0\n\t\t*MESH_NORMALS {\n";
    for (int q = 0; q < 6; ++q)
        for (int half = 0; half < 2; ++half) {
            const int* c = kQuads[q];
            int f = 2 * q + half, b = half ? 2 : 1, d = half ? 3 : 2;
            std::snprintf(line, sizeof line,
                          "\t\t*MESH_FACE %d:\tA:\t%d B:\t%d C:\t%d AB: 1\n"
                          "\t\t*MESH_TFACE %d\t0\t%d\t%d\n\t\t*MESH_FACENORMAL %d\t%d\t%d\t%d\n",
                          f, c[0], c[b], c[d], f, b, d, f, kNormals[q][0], kNormals[q][1],
                          kNormals[q][2]);
            ase += line;
        }
    return ase + "\t\t}\n\t}\n\t*MATERIAL_REF 0\n}\n";
}

void installLiveCube(const InstallTree& tree) {
    std::string folder = tree.folder() + "Plugins\\vis_vzrm\\Models\\Cube\\";
    CreateDirectoryA((tree.folder() + "Plugins\\vis_vzrm\\Models").c_str(), nullptr);
    CreateDirectoryA(folder.c_str(), nullptr);
    writeFileText(folder + "Model.ase", liveCube());
}

TEST(Model, TheCubeWearsTheLivePlayerWindowThroughEachColourMap) {
    InstallTree tree;
    installLiveCube(tree);
    const char* maps[2] = {"RGB", "BGR"};
    std::string shots[2];
    for (int i = 0; i < 2; ++i) {
        writeFileText(tree.settingsPath(), std::string(kModelSettings) +
                                               "mdlName=Cube\r\nmdlEffectsOnOff=0\r\n"
                                               "camPosition=Still\r\nmdlColorMap=" +
                                               maps[i] + "\r\n");
        shots[i] = gScreenshotFolder + "\\model-cube-" + maps[i] + ".bmp";
        HostRun run = runHost(tree.hostPath(),
                              "--frames 20 --position 100,100 --screenshot \"" + shots[i] + "\"");
        EXPECT_EQ(run.exitCode, 0u) << run.output;
        EXPECT_TRUE(run.boxes.empty());
    }
    // White lights and a still cube: the two pictures differ only in the cube's colours,
    // red and blue swapped. A cube without the player's picture would show no difference.
    Screenshot rgb(shots[0]), bgr(shots[1]);
    ASSERT_TRUE(rgb.ok() && bgr.ok());
    EXPECT_GT(rgb.litShare(kWindowLeft, kWindowTop, kWidth, kHeight), 0.05);
    long mismatch = 0, swapped = 0, pixels = 0;
    for (int y = kWindowTop; y < kWindowTop + kHeight; ++y)
        for (int x = kWindowLeft; x < kWindowLeft + kWidth; ++x, ++pixels) {
            COLORREF a = rgb.at(x, y), b = bgr.at(x, y);
            mismatch += std::abs(GetRValue(a) - GetBValue(b)) > 24 ||
                        std::abs(GetBValue(a) - GetRValue(b)) > 24 ||
                        std::abs(GetGValue(a) - GetGValue(b)) > 24;
            swapped += std::abs(GetRValue(a) - GetRValue(b)) > 40;
        }
    EXPECT_LT(mismatch, pixels / 100) << "BGR is not RGB with red and blue swapped";
    EXPECT_GT(swapped, pixels / 200) << "the cube does not show the player's window";
}

// Pictures of our default model with each effect and colour map, to look at.
TEST(Model, OurModelWithEachEffectAndColourMap) {
    InstallTree tree;
    tree.installModels();
    const char* looks[][2] = {{"0", "Ghost"},  {"1", "Ghost"}, {"1", "Motion Blur"},
                              {"1", "Enclose"}, {"RBG", ""},    {"GRB", ""},
                              {"GBR", ""},      {"BRG", ""},    {"BGR", ""}};
    for (const auto& look : looks) {
        bool effect = look[1][0] != '\0';
        std::string keys = std::string(kModelSettings) + "mdlName=Vizorama\r\nlhtOnOff=1\r\n" +
                           (effect ? std::string("mdlEffectsOnOff=") + look[0] +
                                         "\r\nmdlEffectsType=" + look[1]
                                   : std::string("mdlEffectsOnOff=0\r\nmdlColorMap=") + look[0]) +
                           "\r\n";
        writeFileText(tree.settingsPath(), keys);
        std::string name = effect ? (look[0][0] == '0' ? std::string("solid") : look[1])
                                  : std::string("map-") + look[0];
        for (char& c : name)
            if (c == ' ') c = '-';
        std::string shot = gScreenshotFolder + "\\model-" + name + ".bmp";
        HostRun run = runHost(tree.hostPath(),
                              "--frames 40 --position 100,100 --screenshot \"" + shot + "\"");
        EXPECT_EQ(run.exitCode, 0u) << run.output;
        EXPECT_TRUE(run.boxes.empty()) << name << ": " << (run.boxes.empty() ? "" : run.boxes[0].text);
        EXPECT_GT(Screenshot(shot).litShare(kWindowLeft + 150, kWindowTop, 250, kHeight), 0.05)
            << name;
    }
}

TEST(Model, AMissingModelFileIsToldOnceAndTheModelStays) {
    InstallTree tree;
    installLiveCube(tree);
    CreateDirectoryA((tree.folder() + "Plugins\\vis_vzrm\\Models\\Empty").c_str(), nullptr);
    writeFileText(tree.settingsPath(), std::string(kModelSettings) + "mdlName=Cube\r\n");
    std::string shot = gScreenshotFolder + "\\model-after-missing.bmp";
    bool changed = false;
    HostRun run = runHost(
        tree.hostPath(), "--frames 60 --position 100,100 --screenshot \"" + shot + "\"", 30000,
        [&](DWORD) {
            std::string text = readFileText(tree.settingsPath());
            size_t at = text.find("mdlName=Cube");
            if (changed || text.find("vzrVersion=151") == std::string::npos ||
                at == std::string::npos)
                return;
            writeFileText(tree.settingsPath() + ".new", text.replace(at, 12, "mdlName=Empty"));
            MoveFileExA((tree.settingsPath() + ".new").c_str(), tree.settingsPath().c_str(),
                        MOVEFILE_REPLACE_EXISTING);
            changed = true;
        });
    EXPECT_TRUE(changed);
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    ASSERT_EQ(run.boxes.size(), 1u);
    EXPECT_EQ(run.boxes[0].text, "Failed loading Model.ase!");
    EXPECT_EQ(run.boxes[0].caption, "Error");
    EXPECT_FALSE(run.boxes[0].hasOwner);
    // The cube loaded before is still drawn.
    EXPECT_GT(Screenshot(shot).litShare(kWindowLeft, kWindowTop, kWidth, kHeight), 0.1);
}

}  // namespace
