#pragma once
// Everything the scene works with, in one place: the components (created when the plug-in is
// loaded, in this order) and the state of the running scene.

#include <cstdint>
#include <memory>
#include <string>

#include "readers/AssetFolder.h"
#include "glres/AssetPreload.h"
#include "glres/GlExtensions.h"
#include "glres/ModelScene.h"
#include "glres/Skybox.h"
#include "glres/TextureLoader.h"
#include "oscilloscope/Oscilloscope.h"
#include "platform/LivePicture.h"
#include "scene/Camera.h"
#include "scene/FeatherTail.h"
#include "scene/FrameState.h"
#include "scene/Lights.h"
#include "scene/LookChanger.h"
#include "scene/Model.h"
#include "scene/VuMeter.h"
#include "settings/Settings.h"

struct SceneState {
    // Components, created in this order and released in reverse.
    Settings* settings = nullptr;
    TextureLoader* textureLoader = nullptr;
    Skybox* skybox = nullptr;
    GlExtensions* glExtensions = nullptr;
    Lights* lights = nullptr;
    Oscilloscope* oscilloscope = nullptr;
    FeatherTail* featherTail = nullptr;
    VuMeter* vuMeter = nullptr;
    Camera* camera = nullptr;
    ModelScene* modelScene = nullptr;
    Model* model = nullptr;
    AssetPreload* preload = nullptr;  // the next look's model and sky, read ahead
    const ModelData* preloadDrawn = nullptr;  // its model, once drawn ahead
    // The change count the next look was read ahead after (-1: none; looks change by hand).
    int preparedAfterChange = -2;

    bool sceneReady = false;
    GLuint loadingTexture = 0;
    std::string pluginFolder;
    int textureSetLoads = 0;  // how often the named set was (re)loaded, for tests
    // The host's two waveform channels, read at every frame.
    const uint8_t (*waveform)[kWaveformSamples] = nullptr;
    // Lives as long as the plug-in is loaded: a stop and a new start go on where they were.
    FrameState frame;
    // Changes the look by itself and at the front end's keys; lives as long as frame.
    LookChanger looks;
};

// Creates the components that do not exist yet; one whose allocation fails stays null.
void createSceneComponents(SceneState& scene);

// Releases the components that exist, in reverse order of creation (the rendering context, if
// any, must be current).
void releaseSceneComponents(SceneState& scene);

// The scene's one way to what is outside it: each front end (the plug-in, the Linux program,
// the off-screen renderer) implements it for its window, files and user.
class SceneHost {
public:
    virtual ~SceneHost() = default;
    // Brings the settings record up to date as a frame begins: the plug-in reads its file
    // again (the utility may have changed it), the Linux program takes up a hand edit of its.
    virtual void refreshSettings(Settings& settings) = 0;
    // Shows the picture just drawn at once and marks the window painted.
    virtual void presentLoadingScreen() = 0;
    // Brings the window geometry in the settings up to date and moves the window there.
    virtual void layoutAndMoveWindow() = 0;
    // The folder of the named texture set and the loading picture (absolute, with its trailing
    // separator), or empty after telling the user why not; asked once at each start.
    virtual std::string findPluginFolder() = 0;
    // The folder a named sky or model is read from (see AssetFolders::folderFor); empty when
    // there is none, which the scene treats as a missing folder.
    virtual std::string assetFolder(AssetKind kind, const std::string& name) = 0;
    // Writes the keys of one set from the record to the settings file, in one replacement of
    // the file (the look features' writes: a change of look, its mode). Whether it was written.
    virtual bool saveSettings(Settings& settings, KeySet keys) = 0;
    // Tells the user about a failure.
    virtual void showError(const char* text, const char* caption) = 0;
    // Sets up the live picture a model surface can wear, asked once at each start; the model
    // keeps it until the scene is released. Null when it cannot be set up, which the scene
    // reports and then never draws the model.
    virtual std::unique_ptr<platform::LivePicture> openLivePicture() = 0;
};
