// Hostile files through the real plug-in in our host: a model whose counts and sizes overflow
// 32-bit arithmetic, pictures announcing 65535 x 65535 pixels, the image and settings inputs the
// fuzzers found faults with, settings values beyond every range. The plug-in goes on drawing,
// says nothing and stops cleanly, in the 32-bit build as in the 64-bit one.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <vector>

#include "tests/win32/WineSupport.h"

namespace {

const std::string kWindowed = "[Vizorama]\r\ndimResolution=2x2\r\ndimLeft=380\r\ndimTop=100\r\n";

// A TGA header (uncompressed true colour) of width x height at depth bits, then body.
std::string tga(unsigned width, unsigned height, unsigned depth, const std::string& body = "") {
    std::string h(18, '\0');
    h[2] = 2;
    h[12] = static_cast<char>(width & 0xff);
    h[13] = static_cast<char>(width >> 8);
    h[14] = static_cast<char>(height & 0xff);
    h[15] = static_cast<char>(height >> 8);
    h[16] = static_cast<char>(depth);
    return h + body;
}

// The files of a folder (not its sub-folders), as full paths.
std::vector<std::string> filesIn(const std::string& folder) {
    std::vector<std::string> files;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return files;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            files.push_back(folder + "\\" + found.cFileName);
    } while (FindNextFileA(find, &found));
    FindClose(find);
    return files;
}

// 6 frames in the tree (files are read at the start, the settings at every frame): a run that
// stopped cleanly, showed no message but the one expected
// (if any) and wrote its settings.
void expectCleanRun(const InstallTree& tree, const std::string& what,
                    const std::string& message = "", bool written = true) {
    HostRun run = runHost(tree.hostPath(), "--frames 6 --flat-out --position 100,100", 120000);
    EXPECT_FALSE(run.timedOut) << what;
    EXPECT_EQ(run.exitCode, 0u) << what << "\n" << run.output;
    std::string shown;
    for (const MessageBoxSeen& box : run.boxes) shown += box.text + "\n";
    EXPECT_EQ(shown, message.empty() ? "" : message + "\n") << what;
    EXPECT_NE(run.output.find("host: 6 frames"), std::string::npos) << what << "\n" << run.output;
    // Written back whatever the line ends of the file it read.
    if (written) {
        EXPECT_NE(readFileText(tree.settingsPath()).find("vzrVersion=151"), std::string::npos)
            << what;
    }
}

TEST(HostileFiles, AModelAndASkyBeyond32BitSizesDrawNothingOfThemAndStopCleanly) {
    ASSERT_FALSE(gSeedFolder.empty()) << "--seeds=FOLDER (the fuzzers' seeds)";
    const std::vector<std::string> images = filesIn(gSeedFolder + "\\image");
    ASSERT_FALSE(images.empty());

    InstallTree tree;
    const std::string models = tree.folder() + "Plugins\\vis_vzrm\\Models\\";
    makeFolders(models + "Huge\\");
    // Counts beyond 32 bits and below 0; millions announced by objects of a few bytes, each
    // under the bound of one object and all together far over any a 32-bit process can
    // allocate; indices beyond 32 bits; pictures announcing 65535 x 65535 x 4 bytes (17 GB,
    // which wraps to 0 in 32-bit arithmetic), 65535 x 65535 x 3, and the fuzzers' images.
    const std::string object = "*GEOMOBJECT {\n";
    const std::string millions =
        "*MESH_NUMVERTEX 4000000\n*MESH_NUMFACES 4000000\n*MESH_NUMTVERTEX 4000000\n"
        "*MESH_NUMCVERTEX 4000000\n*MESH_NORMALS\n*MESH_FACE 3999999: A: 0 B: 1 C: 2\n";
    std::string ase = "*MATERIAL_LIST {\n*MATERIAL 0 {\n*BITMAP \"Square.tga\"\n}\n"
                      "*MATERIAL 1 {\n*BITMAP \"Wide.tga\"\n}\n";
    for (size_t i = 0; i < images.size(); ++i) {
        const std::string name = "Seed" + std::to_string(i) + ".tga";  // any name: by content
        CopyFileA(images[i].c_str(), (models + "Huge\\" + name).c_str(), FALSE);
        ase += "*MATERIAL " + std::to_string(2 + i) + " {\n*BITMAP \"" + name + "\"\n}\n";
    }
    ase += "}\n" + object +
           "*MESH_NUMVERTEX -1\n*MESH_NUMFACES 4294967296\n*MESH_NUMTVERTEX "
           "99999999999999999999\n*MESH_NUMCVERTEX 1073741825\n*MESH_VERTEX 0 1 2 3\n"
           "*MESH_FACE 0: A: 0 B: 0 C: 0\n*MATERIAL_REF 0\n}\n";
    for (size_t i = 0; i < 2 + images.size(); ++i)
        ase += object + millions + "*MATERIAL_REF " + std::to_string(i) + "\n}\n";
    // Two million faces without vertices: 96 MB of faces, under the bound, drawing nothing.
    ase += object + "*MESH_NUMFACES 2000000\n*MESH_FACE 1999999: A: 0 B: 0 C: 0\n}\n";
    ase += object + "*MESH_NUMVERTEX 2\n*MESH_NUMFACES 2\n*MESH_VERTEX 4294967296 9 9 9\n"
                    "*MESH_FACE 1: A: 0 B: 1 C: 4294967297\n*MATERIAL_REF 4294967297\n}\n";
    writeFileText(models + "Huge\\Model.ase", ase);
    writeFileText(models + "Huge\\Square.tga", tga(65535, 65535, 32, std::string(4096, '\x7f')));
    writeFileText(models + "Huge\\Wide.tga", tga(65535, 65535, 24, std::string(4096, '\x7f')));

    // A sky whose faces announce the same sizes, or none, or are no pictures at all.
    const std::string sky = tree.folder() + "Plugins\\vis_vzrm\\Skyboxes\\Huge\\";
    makeFolders(sky);
    writeFileText(sky + "Left.tga", tga(65535, 65535, 32));
    writeFileText(sky + "Right.tga", tga(65535, 65535, 24, std::string(100000, '\x40')));
    writeFileText(sky + "Back.tga", tga(0, 65535, 32, std::string(64, '\x40')));
    writeFileText(sky + "Front.tga", tga(65535, 1, 32, std::string(65535 * 4 - 1, '\x40')));
    CopyFileA(images[0].c_str(), (sky + "Up.tga").c_str(), FALSE);
    writeFileText(sky + "Down.tga", std::string(3, '\0'));

    writeFileText(tree.settingsPath(),
                  kWindowed + "mdlOnOff=1\r\nmdlName=Huge\r\nmdlEffectsOnOff=1\r\n"
                              "mdlEffectsType=Motion Blur\r\nbgrOnOff=1\r\nbgrName=Huge\r\n");
    expectCleanRun(tree, "a huge model and sky");
    const std::string text = readFileText(tree.settingsPath());
    EXPECT_EQ(settingsValue(text, "mdlName"), "Huge");
    EXPECT_EQ(settingsValue(text, "bgrName"), "Huge");
}

TEST(HostileFiles, SettingsTheFuzzersFoundAndValuesBeyondEveryRangeRunAndAreRewritten) {
    ASSERT_FALSE(gSeedFolder.empty()) << "--seeds=FOLDER (the fuzzers' seeds)";
    std::vector<std::string> inputs;
    for (const std::string& seed : filesIn(gSeedFolder + "\\settings"))
        inputs.push_back(readFileText(seed));
    ASSERT_FALSE(inputs.empty());
    inputs.push_back(
        "[Vizorama]\r\ndimResolution=4294967297x4294967297\r\ndimLeft=-99999999999999999999\r\n"
        "dimTop=2147483648\r\ntexBits=4294967328\r\noscType=" + std::string(100000, 'x') +
        "\r\nlhtDiffuse=0xffffffffffffffff\r\nvumOnOff=4294967297\r\nmdlOnOff=1\r\n"
        "mdlName=..\\..\\..\\..\r\nbgrOnOff=1\r\nbgrName=" + std::string(5000, 'n') + "\r\n" +
        std::string(200000, '[') + "\r\n");
    for (size_t i = 0; i < inputs.size(); ++i) {
        InstallTree tree;
        writeFileText(tree.settingsPath(), inputs[i]);
        // The last input names a model folder far above the models: there is no Model.ase.
        expectCleanRun(tree, "settings input " + std::to_string(i),
                       i + 1 == inputs.size() ? "Failed loading Model.ase!" : "");
    }

    // 48 MB of short lines: more lines than a 32-bit player's memory holds as a line list (it
    // ended the player there), and far too much to read at every frame. It is a file that
    // cannot be read: the plug-in runs on its defaults and leaves the file as it is.
    InstallTree tree;
    std::string huge = kWindowed + std::string(size_t{48} << 20, '\n');
    for (size_t i = kWindowed.size(); i < huge.size(); i += 2) huge[i] = 'a';
    writeFileText(tree.settingsPath(), huge);
    expectCleanRun(tree, "48 MB of settings", "", false);
    WIN32_FILE_ATTRIBUTE_DATA after = {};
    ASSERT_TRUE(GetFileAttributesExA(tree.settingsPath().c_str(), GetFileExInfoStandard, &after));
    EXPECT_EQ(after.nFileSizeLow, huge.size());
}

}  // namespace
