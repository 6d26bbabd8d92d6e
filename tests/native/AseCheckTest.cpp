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

namespace {

// A square as exporters write it: the mesh's own texture lists, then a second mapping channel
// with lists of its own (of another length), then a mesh without texture vertices.
std::string twoChannelSquare(const std::string& secondChannelVertices) {
    return "*GEOMOBJECT {\n*MESH {\n*MESH_NUMVERTEX 4\n*MESH_NUMFACES 2\n*MESH_VERTEX_LIST {\n"
           "*MESH_VERTEX 0 -4 -4 0\n*MESH_VERTEX 1 4 -4 0\n*MESH_VERTEX 2 4 4 0\n"
           "*MESH_VERTEX 3 -4 4 0\n}\n*MESH_FACE_LIST {\n*MESH_FACE 0: A: 0 B: 1 C: 2\n"
           "*MESH_FACE 1: A: 0 B: 2 C: 3\n}\n*MESH_NUMTVERTEX 4\n*MESH_TVERTLIST {\n"
           "*MESH_TVERT 0 0 0 0\n*MESH_TVERT 1 1 0 0\n*MESH_TVERT 2 1 1 0\n*MESH_TVERT 3 0 1 0\n}\n"
           "*MESH_NUMTVFACES 2\n*MESH_TFACELIST {\n*MESH_TFACE 0 0 1 2\n*MESH_TFACE 1 0 2 3\n}\n"
           "*MESH_MAPPINGCHANNEL 2 {\n*MESH_NUMTVERTEX 3\n*MESH_TVERTLIST {\n" +
           secondChannelVertices +
           "}\n*MESH_NUMTVFACES 2\n*MESH_TFACELIST {\n*MESH_TFACE 0 0 1 2\n*MESH_TFACE 1 0 1 2\n"
           "}\n}\n}\n}\n*GEOMOBJECT {\n*MESH {\n*MESH_NUMVERTEX 3\n*MESH_NUMFACES 1\n"
           "*MESH_VERTEX 0 0 0 0\n*MESH_VERTEX 1 1 0 0\n*MESH_VERTEX 2 0 1 0\n"
           "*MESH_FACE 0: A: 0 B: 1 C: 2\n}\n}\n";
}

TEST(AseCheckTest, CountsEachMappingChannelAgainstItsOwnCounts) {
    ScratchFolder folder;
    writeTextFile(folder.path() + "Sound.ase",
                  twoChannelSquare("*MESH_TVERT 0 .5 0 0\n*MESH_TVERT 1 .5 .5 0\n"
                                   "*MESH_TVERT 2 0 .5 0\n"));
    Checked run = check("--strict " + quoted(folder.path() + "Sound.ase"));
    EXPECT_EQ(run.exit, 0) << run.output;
    EXPECT_NE(run.output.find("object 0: 4 vertices, 2 faces, 3 texture vertices"),
              std::string::npos)
        << run.output;
    const std::string note = "2 mapping channels: drawn with the texture vertices and faces of "
                             "the last, channel 2; the others are not drawn";
    const size_t at = run.output.find(note);
    EXPECT_NE(at, std::string::npos) << run.output;
    EXPECT_EQ(run.output.find(note, at + 1), std::string::npos) << "said more than once";
    EXPECT_EQ(run.output.find("mapping channel", run.output.find("object 1:")),
              std::string::npos)
        << "a mesh with no texture lists has no channels to tell of";

    // The second channel short of one entry and with an index beyond its own count: told as
    // that channel's faults, the first channel's entries are not counted against it.
    writeTextFile(folder.path() + "Short.ase",
                  twoChannelSquare("*MESH_TVERT 0 .5 0 0\n*MESH_TVERT 3 .5 .5 0\n"));
    run = check(quoted(folder.path() + "Short.ase"));
    EXPECT_EQ(run.exit, 0) << run.output;
    for (const char* expected :
         {"problem: object 0: mapping channel 2: *MESH_NUMTVERTEX says 3, the file has 2 "
          "*MESH_TVERT entries",
          "problem: object 0: 1 entry with an index outside its list ignored", "loads, 2 problems"})
        EXPECT_NE(run.output.find(expected), std::string::npos) << expected << "\n" << run.output;
    EXPECT_EQ(run.output.find("mapping channel 1:"), std::string::npos) << run.output;
}

}  // namespace
