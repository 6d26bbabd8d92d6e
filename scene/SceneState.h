#pragma once
// Everything the scene works with, in one place: the components (created when the plug-in is
// loaded, in this order) and the state of the running scene.

#include <cstdint>
#include <string>

#include "assets/GlExtensions.h"
#include "assets/ModelScene.h"
#include "assets/Skybox.h"
#include "assets/TextureLoader.h"
#include "oscilloscope/Oscilloscope.h"
#include "scene/Camera.h"
#include "scene/FeatherTail.h"
#include "scene/FrameState.h"
#include "scene/Lights.h"
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

    bool sceneReady = false;
    GLuint loadingTexture = 0;
    std::string pluginFolder;
    // Full path of the settings file that every frame reads again.
    std::string settingsFile;
    // The buffers every frame's read of the settings file reuses.
    SettingsReadCache settingsRead;
    int textureSetLoads = 0;  // how often the named set was (re)loaded, for tests
    void* hostWindow = nullptr;  // the player's main window (native handle), which the model captures
    // The host's two waveform channels, read at every frame.
    const uint8_t (*waveform)[kWaveformSamples] = nullptr;
    // Lives as long as the plug-in is loaded: a stop and a new start go on where they were.
    FrameState frame;
};

// Creates the components that do not exist yet; one whose allocation fails stays null.
void createSceneComponents(SceneState& scene);

// Releases the components that exist, in reverse order of creation (the rendering context, if
// any, must be current).
void releaseSceneComponents(SceneState& scene);

// What the scene needs from the window it draws in.
class SceneHost {
public:
    virtual ~SceneHost() = default;
    // Shows the picture just drawn at once and marks the window painted.
    virtual void presentLoadingScreen() = 0;
    // Brings the window geometry in the settings up to date and moves the window there.
    virtual void layoutAndMoveWindow() = 0;
    // The plug-in folder (with its trailing separator), or empty after telling the user why not.
    virtual std::string findPluginFolder() = 0;
    // Tells the user about a failure.
    virtual void showError(const char* text, const char* caption) = 0;
};
