#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <set>
#include <vector>

#include "glres/ModelScene.h"
#include "glres/TextureLoader.h"
#include "platform/headless/OffscreenContext.h"
#include "platform/headless/PlatformHeadless.h"
#include "platform/headless/TestCard.h"
#include "scene/Camera.h"
#include "scene/Lights.h"
#include "scene/Model.h"
#include "settings/Settings.h"
#include "tests/native/TestFiles.h"
#include "tools/bench/ModelDrawReference.h"
#include "tools/render/HeadlessRenderer.h"

namespace {

// One square of two triangles (file coordinates, Z up) wearing bitmap.
std::string squareModel(const std::string& bitmap) {
    return "*MATERIAL_LIST {\n\t*MATERIAL 0 {\n\t\t*MAP_DIFFUSE {\n\t\t\t*BITMAP \"" + bitmap +
           "\"\n\t\t}\n\t}\n}\n*GEOMOBJECT {\n\t*MESH {\n\t\t*MESH_NUMVERTEX 4\n"
           "\t\t*MESH_NUMFACES 2\n\t\t*MESH_VERTEX 0\t-4\t-4\t0\n\t\t*MESH_VERTEX 1\t4\t-4\t0\n"
           "\t\t*MESH_VERTEX 2\t4\t4\t0\n\t\t*MESH_VERTEX 3\t-4\t4\t0\n"
           "\t\t*MESH_FACE 0:\tA:\t0 B:\t1 C:\t2 AB: 1\n\t\t*MESH_FACE 1:\tA:\t0 B:\t2 C:\t3\n"
           "\t\t*MESH_NUMTVERTEX 1\n\t\t*MESH_TVERT 0\t0.5\t0.5\t0\n\t}\n\t*MATERIAL_REF 0\n}\n";
}

// The model drawn by itself, lighting off so that what OpenGL receives is the colour drawn.
struct Parts {
    OffscreenContext gl{64, 64};
    Settings settings;
    FrameState frame;
    Lights lights{settings};
    Camera camera{settings};
    ModelScene scene;
    TextureLoader loader;
    Model model{settings, lights, frame};
    ScratchFolder folder;

    Parts() {
        settings.mdlOnOff = 1;
        settings.mdlName = "Square";
        model.loadedName.take(settings.mdlName);
        settings.mdlBeat = 0;
        settings.mdlEffectsOnOff = 0;
        model.init(std::make_unique<platform::headless::TestCard>(), camera, scene);
        writeTextFile(folder.path() + "Model.ase", squareModel("none.tga"));
        bool uses = false;
        loadModelFile(folder.path() + "Model.ase", "Vizorama.tga", scene, loader, 0, uses);
        glDisable(GL_LIGHTING);
        for (int k = 0; k < 10; ++k) frame.motion.loudness[k] = 0.1f;
    }
    ~Parts() { model.release(); }

    struct Triangle {
        float alpha, red;
        float corner[3][2];
    };
    // The triangles of one draw, captured in feedback mode through a wide projection.
    std::vector<Triangle> draw(float loudness = 0.1f) {
        std::vector<float> buffer(100000);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-100, 100, -100, 100, -100, 100);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_CULL_FACE);
        glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR, buffer.data());
        glRenderMode(GL_FEEDBACK);
        model.draw(loudness);
        int used = glRenderMode(GL_RENDER);
        std::vector<Triangle> triangles;
        for (int i = 0; i < used;) {
            EXPECT_EQ(buffer[i], GL_POLYGON_TOKEN);
            int corners = static_cast<int>(buffer[i + 1]);
            EXPECT_EQ(corners, 3);
            Triangle t{buffer[i + 2 + 6], buffer[i + 2 + 3], {}};
            for (int c = 0; c < 3; ++c)
                t.corner[c][0] = buffer[i + 2 + 7 * c], t.corner[c][1] = buffer[i + 3 + 7 * c];
            triangles.push_back(t);
            i += 2 + 7 * corners;
        }
        return triangles;
    }
};

TEST(ModelTest, TrailGhostBeatAndGlassShell) {
    Parts p;
    ASSERT_EQ(p.scene.objectCount, 1u);
    // No effect: the solid model only.
    auto solid = p.draw();
    ASSERT_EQ(solid.size(), 2u);
    EXPECT_FLOAT_EQ(solid[0].alpha, 1);

    // "Ghost": nine fading copies, oldest faintest, and no solid model; "Motion Blur" adds it.
    p.settings.mdlEffectsOnOff = 1;
    p.settings.mdlEffectsType = "Ghost";
    auto ghost = p.draw();
    ASSERT_EQ(ghost.size(), 18u);
    for (int copy = 0; copy < 9; ++copy)
        EXPECT_FLOAT_EQ(ghost[2 * copy].alpha, 1.0f / static_cast<float>(11 - copy)) << copy;
    p.settings.mdlEffectsType = "Motion Blur";
    auto blur = p.draw();
    ASSERT_EQ(blur.size(), 20u);
    EXPECT_FLOAT_EQ(blur.back().alpha, 1);

    // The beat swells every copy by 1 + its loudness: 1.1 in silence.
    p.settings.mdlEffectsOnOff = 0;
    p.settings.mdlBeat = 1;
    auto swollen = p.draw();
    auto width = [](const Parts::Triangle& t) { return std::fabs(t.corner[1][0] - t.corner[0][0]); };
    EXPECT_NEAR(width(swollen[0]) / width(solid[0]), 1.1f, 1e-4);

    // "Enclose": a shell 1.3 times the size in the lights' diffuse colour, never below 0.1, its
    // texture drifting by loudness / 16 and / 8 and wrapping only past 1.
    p.settings.mdlBeat = 0;
    p.settings.mdlEffectsOnOff = 1;
    p.settings.mdlEffectsType = "Enclose";
    std::fill(std::begin(p.lights.scaledColours), std::end(p.lights.scaledColours), 0.0f);
    p.model.encloseOffset[1] = 0.75f;
    std::vector<float> v;
    for (int i = 0; i < 3; ++i) {
        auto shell = p.draw(1.0f);
        ASSERT_EQ(shell.size(), 4u);
        EXPECT_NEAR(width(shell[2]) / width(solid[0]), 1.3f, 1e-4);
        EXPECT_FLOAT_EQ(shell[2].red, 0.1f);
        v.push_back(p.model.encloseOffset[1]);
    }
    EXPECT_EQ(v, (std::vector<float>{0.875f, 1.0f, 0.125f}));
    EXPECT_FLOAT_EQ(p.model.encloseOffset[0], 0.1875f);
    // The fixed state is left behind.
    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_TRUE(depthWrites && glIsEnabled(GL_CULL_FACE) && !glIsEnabled(GL_BLEND) &&
                glIsEnabled(GL_DEPTH_TEST));

    // Off, or another model asked for: nothing is drawn.
    p.settings.mdlName = "Other";
    EXPECT_TRUE(p.draw().empty());
}

TEST(ModelTest, ColourMapsChooseTheSourceChannels) {
    std::vector<uint8_t> capture(768 * 128), target(768 * 128, 7);
    for (size_t i = 0; i < capture.size(); i += 3) capture[i] = 10, capture[i + 1] = 20, capture[i + 2] = 30;
    const struct {
        const char* map;
        uint8_t r, g, b;
    } kCases[] = {{"RGB", 30, 20, 10}, {"RBG", 30, 10, 20}, {"GRB", 20, 30, 10},
                  {"GBR", 20, 10, 30}, {"BRG", 10, 30, 20}, {"BGR", 10, 20, 30}};
    for (const auto& c : kCases) {
        ASSERT_TRUE(mapCaptureColours(capture.data(), target.data(), choiceValue<ColourMap>(c.map)));
        EXPECT_EQ(target[768 * 128 - 3], c.r) << c.map;
        EXPECT_EQ(target[768 * 128 - 2], c.g) << c.map;
        EXPECT_EQ(target[768 * 128 - 1], c.b) << c.map;
    }
    std::vector<uint8_t> before = target;
    EXPECT_FALSE(mapCaptureColours(capture.data(), target.data(), choiceValue<ColourMap>("rgb")));
    EXPECT_EQ(target, before);
}

// The arrays built at load time give the picture of one call per vertex, with textures, vertex
// colours and face normals, and leave out faces whose indices point outside their lists.
TEST(ModelTest, ArraysDrawWhatPerVertexCallsDrawAndSkipBadFaces) {
    Parts p;
    glEnable(GL_LIGHTING);
    p.lights.setUp();
    p.lights.scaleColours(1);
    glEnable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    std::filesystem::copy(std::string(VZRM_TEXTURE_FOLDER) + "/Checked.tga",
                          p.folder.path() + "Checked.tga");
    std::string ase = sphereModelAse(2, 6, 8, p.folder.path() + "Checked.tga");
    // Face 0 of the first object points past its vertices, face 1 past its texture vertices.
    ase.replace(ase.find("A:\t0 B:\t9"), 11, "A:\t99 B:\t9");
    ase.replace(ase.find("*MESH_TFACE 1\t"), 14, "*MESH_TFACE 1\t999");
    writeTextFile(p.folder.path() + "Model.ase", ase);
    bool uses = false;
    ASSERT_TRUE(loadModelFile(p.folder.path() + "Model.ase", "Vizorama.tga", p.scene, p.loader, 0, uses));
    EXPECT_EQ(p.scene.arrays[0].corners(), 3u * (96 - 2));
    EXPECT_EQ(p.scene.arrays[1].corners(), 3u * 96);
    EXPECT_EQ(p.scene.arrays[1].colours.size(), 9u * 96);

    auto picture = [&](auto draw) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-10, 10, -10, 10, -20, 20);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glRotatef(-60, 1, 0, 0);
        glColor3f(1, 1, 1);
        draw();
        std::vector<int> rgb;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) {
                OffscreenContext::Rgba c = p.gl.pixel(x, y);
                rgb.insert(rgb.end(), {c.r, c.g, c.b});
            }
        return rgb;
    };
    auto reference = picture([&] { drawModelPerVertex(p.scene, 0); });
    auto arrays = picture([&] { p.scene.draw(0); });
    int differing = 0;
    for (size_t i = 0; i < arrays.size(); ++i) differing += std::abs(arrays[i] - reference[i]) > 1;
    EXPECT_EQ(differing, 0);
    EXPECT_GT(std::count_if(arrays.begin(), arrays.end(), [](int v) { return v > 40; }), 500);
    p.lights.release();
}

// Models in a player folder, switched through the settings file while frames are drawn.
TEST(ModelTest, LoadsByNameAndCapturesOnlyForTheLivePicture) {
    ScratchFolder folder;
    const std::string plugin = folder.path() + "Plugins/vis_vzrm/";
    std::filesystem::create_directories(plugin + "Configurations");
    std::filesystem::create_directories(plugin + "Models/NoFile");
    for (const char* texture : {"Glass.tga", "Loading.tga", "Checked.tga"})
        std::filesystem::copy(std::string(VZRM_TEXTURE_FOLDER) + "/" + texture, plugin + texture);
    std::filesystem::create_directories(plugin + "Models/Live");
    writeTextFile(plugin + "Models/Live/Model.ase", squareModel("Vizorama.tga"));
    std::filesystem::create_directories(plugin + "Models/Plain");
    writeTextFile(plugin + "Models/Plain/Model.ase", squareModel("wood.tga"));
    std::filesystem::copy(plugin + "Checked.tga", plugin + "Models/Plain/wood.tga");
    auto settings = [&](const std::string& keys) {
        writeTextFile(plugin + "Configurations/vis_vzrm_config.ini", "[Vizorama]\r\n" + keys);
    };
    uint8_t silence[2][kWaveformSamples] = {};

    settings("mdlOnOff=0\r\nmdlName=Live\r\n");
    HeadlessRenderer r(folder.path(), 64, 32);
    ASSERT_TRUE(r.ok());
    r.start();
    platform::headless::takeMessages();
    Model& model = *r.scene.model;
    EXPECT_EQ(r.scene.modelScene->objectCount, 0u) << "loaded while off";

    // Switched on: loaded at the next frame, with one capture taken at once and one a frame.
    settings("mdlOnOff=1\r\nmdlName=Live\r\nmdlDynamicTextureOnOff=1\r\n");
    int captures = platform::headless::windowCaptures();
    r.frame(silence);
    EXPECT_EQ(model.loadedName.text(), "Live");
    EXPECT_TRUE(model.usesDynamicTexture);
    EXPECT_EQ(r.scene.modelScene->objects[0].textureName, model.dynamicTexture);
    EXPECT_EQ(platform::headless::windowCaptures(), captures + 2);
    settings("mdlOnOff=1\r\nmdlName=Live\r\nmdlDynamicTextureOnOff=0\r\n");
    r.frame(silence);
    EXPECT_EQ(platform::headless::windowCaptures(), captures + 2) << "captured with the switch off";

    // Another model: no capture work at all; the same name again loads nothing.
    settings("mdlOnOff=1\r\nmdlName=Plain\r\nmdlDynamicTextureOnOff=1\r\n");
    r.frame(silence);
    GLuint wood = r.scene.modelScene->objects[0].textureName;
    EXPECT_NE(wood, 0u);
    EXPECT_FALSE(model.usesDynamicTexture);
    r.frame(silence);
    EXPECT_EQ(r.scene.modelScene->objects[0].textureName, wood);
    EXPECT_EQ(platform::headless::windowCaptures(), captures + 2);

    // A folder without Model.ase, a model folder that is a file while the current folder
    // holds another model's Model.ase, and names that lead to real models outside the models
    // folder (a parent, separators, a root, a drive): each told once as a missing model, the
    // model shown before stays.
    writeTextFile(plugin + "Models/File", "");
    std::filesystem::create_directories(plugin + "Outside");
    writeTextFile(plugin + "Outside/Model.ase", squareModel("Vizorama.tga"));
    writeTextFile(plugin + "Model.ase", squareModel("Vizorama.tga"));
    const std::string absolute = plugin + "Outside";
    const std::filesystem::path current = std::filesystem::current_path();
    std::filesystem::current_path(plugin + "Models/Live");
    const std::string names[] = {"NoFile", "File", "..", "...", "../Outside", "..\\Outside",
                                 "Live/../../Outside", absolute, "C:Outside"};
    for (const std::string& name : names) {
        settings("mdlOnOff=1\r\nmdlName=" + name + "\r\n");
        r.frame(silence);
        r.frame(silence);
        auto messages = platform::headless::takeMessages();
        ASSERT_EQ(messages.size(), 1u) << name;
        EXPECT_EQ(messages[0].text + "|" + messages[0].caption, "Failed loading Model.ase!|Error");
    }
    std::filesystem::current_path(current);
    EXPECT_EQ(r.scene.modelScene->objectCount, 1u);
    EXPECT_EQ(r.scene.modelScene->objects[0].textureName, wood);
    EXPECT_FALSE(model.usesDynamicTexture);

    // A change of texture depth reloads the model named, whatever it is.
    settings("mdlOnOff=1\r\nmdlName=Plain\r\n");
    r.frame(silence);
    settings("mdlOnOff=1\r\nmdlName=Plain\r\ntexBits=32\r\n");
    r.frame(silence);
    // Glass, Loading and Checked of the named set, and the model's own texture again.
    EXPECT_EQ(r.textureLoaderTextures(), 4u) << "the depth change did not reload the model";
    EXPECT_TRUE(platform::headless::takeMessages().empty());

    // A front end without a live picture to give: told at the start, the model is loaded but
    // never drawn, and nothing is captured.
    struct WithoutPicture : HeadlessRenderer {
        using HeadlessRenderer::HeadlessRenderer;
        std::unique_ptr<platform::LivePicture> openLivePicture() override { return nullptr; }
    };
    auto litPixels = [](const OffscreenContext& c) {
        int lit = 0;
        for (int y = 0; y < c.height(); ++y)
            for (int x = 0; x < c.width(); ++x) lit += c.pixel(x, y).r + c.pixel(x, y).g > 0;
        return lit;
    };
    settings("mdlOnOff=1\r\nmdlName=Live\r\nmdlDynamicTextureOnOff=1\r\nvumOnOff=0\r\noscOnOff=0\r\n");
    r.frame(silence);
    EXPECT_GT(litPixels(r.context()), 20) << "the live model is not in the picture";
    WithoutPicture blind(folder.path(), 64, 32);
    ASSERT_TRUE(blind.ok());
    captures = platform::headless::windowCaptures();
    blind.start();
    auto messages = platform::headless::takeMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text + "|" + messages[0].caption, "Opsssss! Could not initialize model!|Error!");
    blind.frame(silence);
    EXPECT_EQ(blind.scene.model->loadedName.text(), "Live");
    EXPECT_EQ(platform::headless::windowCaptures(), captures);
    EXPECT_EQ(litPixels(blind.context()), 0) << "drawn without its picture";
}

}  // namespace
