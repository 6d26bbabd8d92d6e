#pragma once
// The scene drawn without a window: scene set-up and frames on an off-screen OpenGL context,
// from an install tree laid out like the player's (its settings file and named textures).
// Tests and the offline renderer use it.

#include <cstdint>
#include <string>

#include "platform/headless/OffscreenContext.h"
#include "scene/SceneState.h"

class HeadlessRenderer : public SceneHost {
public:
    // installFolder: the player's folder (with trailing '/'), holding
    // Plugins/vis_vzrm/Configurations/vis_vzrm_config.ini and Plugins/vis_vzrm/*.tga.
    HeadlessRenderer(const std::string& installFolder, int width, int height);
    ~HeadlessRenderer() override;

    bool ok() const { return context_.ok() && scene.settings; }

    // Reads the settings as the plug-in's start does, with the picture's size as the window
    // geometry, and sets the scene up.
    void start();

    // Draws one frame of the given waveform.
    void frame(const uint8_t waveform[2][kWaveformSamples]);

    OffscreenContext& context() { return context_; }

    size_t textureLoaderTextures() const {
        return scene.textureLoader ? scene.textureLoader->registeredTextures().size() : 0;
    }

    SceneState scene;
    int loadingScreensShown = 0;
    int messagesShown = 0;

    // Reads the settings file again, every frame, as the plug-in does.
    void refreshSettings(Settings& settings) override;
    void presentLoadingScreen() override;
    void layoutAndMoveWindow() override {}
    std::string findPluginFolder() override;
    std::string assetFolder(AssetKind kind, const std::string& name) override {
        return folders.folderFor(kind, name);
    }
    // To the install folder's settings file, as the plug-in writes it.
    bool saveSettings(Settings& settings, KeySet keys) override;
    // Counts the message and hands it to the platform's collector, where tests read it.
    void showError(const char* text, const char* caption) override;
    // A test card (counted by platform::headless::windowCaptures()).
    std::unique_ptr<platform::LivePicture> openLivePicture() override;

    // Plugins/vis_vzrm/ of the install folder; tests may add the user's own folders.
    AssetFolders folders;
    // Plugins/vis_vzrm/Configurations/vis_vzrm_config.ini of the install folder.
    std::string settingsFile;
    SettingsReadCache settingsCache;

private:
    std::string installFolder_;
    OffscreenContext context_;
    uint8_t waveform_[2][kWaveformSamples] = {};
};
