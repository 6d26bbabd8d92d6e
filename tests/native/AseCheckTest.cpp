#include <gtest/gtest.h>
#include <stb_image_write.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "tests/native/TestFiles.h"
#include "tools/bench/AseSample.h"

namespace {

struct Checked {
    int exit;
    std::string output;
};

// The model checker as its users run it.
Checked check(const std::string& arguments) {
    std::FILE* pipe = popen((std::string(VZRM_ASECHECK) + " " + arguments + " 2>&1").c_str(), "r");
    Checked run{-1, ""};
    if (!pipe) return run;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        run.output.append(buffer, n);
    int status = pclose(pipe);
    run.exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string quoted(const std::string& path) { return "'" + path + "'"; }

// Our own models, the tests' and the installed ones (when the build has made them), load
// without a single problem.
TEST(AseCheckTest, OurModelsHaveNoProblems) {
    std::string models;
    for (const char* root : {VZRM_TEST_MODELS, VZRM_TEXTURE_FOLDER "/Models"}) {
        if (!std::filesystem::is_directory(root)) continue;
        for (const auto& entry : std::filesystem::directory_iterator(root))
            if (entry.is_directory()) models += " " + quoted(entry.path().string());
    }
    ASSERT_FALSE(models.empty());
    Checked run = check("--strict" + models);
    EXPECT_EQ(run.exit, 0) << run.output;
    EXPECT_EQ(run.output.find("problem:"), std::string::npos) << run.output;
}

// What a model author is told: objects and counts, each bitmap and where it was found (as named,
// beside the model, by its content when it is not the TGA its name says), format, size and wrap,
// and what is wrong; a file that would not load fails.
TEST(AseCheckTest, TellsWhatLoadsAndWhatIsWrong) {
    ScratchFolder folder;
    AseSampleShape shape;
    shape.objects = 3;
    shape.vertices = 4;
    shape.materials = 2;
    writeTextFile(folder.path() + "Model.ase", generateAseSample(shape));
    std::filesystem::copy(VZRM_TEXTURE_FOLDER "/Checked.tga", folder.path() + "map 0.tga");
    const unsigned char pixels[3 * 2 * 3] = {};
    ASSERT_TRUE(stbi_write_png((folder.path() + "map 1.tga").c_str(), 3, 2, 3, pixels, 9));
    writeTextFile(folder.path() + "Broken.ase",
                  "*MATERIAL_LIST {\n*MATERIAL 0 {\n*BITMAP \"rle.tga\"\n}\n}\n*GEOMOBJECT {\n"
                  "*MESH_NUMVERTEX 3 *MESH_NUMFACES 1 *MESH_NUMTVERTEX 1\n*MESH_VERTEX 0 0 0 0\n"
                  "*MESH_VERTEX 1 1 0 0\n*MESH_FACE 0: A: 0 B: 1 C: 5\n*MESH_TVERT 0 0 0 0\n}\n");
    writeTextFile(folder.path() + "rle.tga", tgaFile({0, 10, 2, 2, 24, 0}, std::string(12, '\0')));
    writeTextFile(folder.path() + "Empty.ase", "*MATERIAL_LIST {\n}\n  x *GEOMOBJECT {\n");

    Checked run = check(quoted(folder.path()) + " " + quoted(folder.path() + "Broken.ase"));
    EXPECT_EQ(run.exit, 0) << run.output;
    for (const char* expected : {
             "3 objects, 2 materials",
             "object 0: 4 vertices, 8 faces, 4 texture vertices, 2 colour vertices, normals",
             "bitmap \"C:\\Some Folder\\map 0.tga\": found beside the model as \"map 0.tga\", "
             "TGA 128 x 128, without alpha, wrap repeat",
             "PNG 3 x 2, without alpha, wrap repeat",
             "problem: object 1: bitmap \"C:\\Some Folder\\map 1.tga\" is 3 x 2: OpenGL 1.1 "
             "refuses",
             "problem: object 2: *MATERIAL_REF 2 is past the 2 materials",
             "face uses texture-vertex indices outside its 4",
             "problem: object 0: *MESH_NUMVERTEX says 3, the file has 2 *MESH_VERTEX entries",
             "problem: object 0: 1 face uses vertex indices outside its 3",
             "problem: object 0: bitmap \"rle.tga\" cannot be read: not an uncompressed",
         })
        EXPECT_NE(run.output.find(expected), std::string::npos) << expected << "\n" << run.output;
    EXPECT_NE(run.output.find("object 2: 4 vertices"), std::string::npos);
    EXPECT_EQ(run.output.find("problem: object 2: bitmap"), std::string::npos);  // it has none
    EXPECT_EQ(check("--strict " + quoted(folder.path())).exit, 3);

    for (const std::string& bad : {folder.path() + "Empty.ase", folder.path() + "Absent.ase"}) {
        run = check(quoted(bad));
        EXPECT_EQ(run.exit, 1) << run.output;
        EXPECT_NE(run.output.find("would not load"), std::string::npos) << run.output;
    }
    EXPECT_EQ(check("").exit, 2);
}

}  // namespace
