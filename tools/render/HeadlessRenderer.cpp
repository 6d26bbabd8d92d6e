#include "tools/render/HeadlessRenderer.h"

#include <cstring>

#include "platform/headless/PlatformHeadless.h"
#include "platform/headless/TestCard.h"
#include "scene/Scene.h"

HeadlessRenderer::HeadlessRenderer(const std::string& installFolder, int width, int height)
    : folders{installFolder + "Plugins/vis_vzrm/", {}, {}, installFolder + "Plugins/vis_vzrm/Looks/Mine/"},
      installFolder_(installFolder),
      context_(width, height) {
    platform::headless::setExecutableFolder(installFolder_);
    createSceneComponents(scene);
    scene.waveform = waveform_;
}

HeadlessRenderer::~HeadlessRenderer() {
    releaseSceneComponents(scene);
    platform::headless::setExecutableFolder("");
}

void HeadlessRenderer::start() {
    if (!ok()) return;
    Settings& settings = *scene.settings;
    settings.reset();
    settingsFile = pathBesideExecutable(kSettingsFile);
    settings.readFile(settingsFile, kSettingsSection);
    // The picture is the window: full-screen values keep their band, any other value fills it.
    settings.dimLeft = 0;
    settings.dimTop = 0;
    settings.dimWidth = context_.width();
    settings.dimHeight = context_.height();
    initScene(scene, *this);
}

void HeadlessRenderer::frame(const uint8_t waveform[2][kWaveformSamples]) {
    std::memcpy(waveform_, waveform, sizeof waveform_);
    renderFrame(scene, *this);
}

void HeadlessRenderer::refreshSettings(Settings& settings) {
    settings.readFile(settingsFile, kSettingsSection, settingsCache);
}

void HeadlessRenderer::presentLoadingScreen() {
    glFinish();
    ++loadingScreensShown;
}

std::string HeadlessRenderer::findPluginFolder() { return folders.own; }

bool HeadlessRenderer::saveSettings(Settings& settings, KeySet keys) {
    return settings.writeFile(settingsFile, kSettingsSection, keys);
}

void HeadlessRenderer::showError(const char* text, const char* caption) {
    ++messagesShown;
    platform::showMessage(nullptr, text, caption);
}

std::unique_ptr<platform::LivePicture> HeadlessRenderer::openLivePicture() {
    return std::make_unique<platform::headless::TestCard>();
}
