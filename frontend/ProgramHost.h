#pragma once
// The scene's view of a program of its own (the Linux and the Windows program), all but the
// window system's part: the settings record kept by the store, our assets' and the user's
// folders, errors on the standard error and in the window, and the window's last frame as the
// live picture. Each program adds presenting the loading picture and the window's size.

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "frontend/SettingsStore.h"
#include "frontend/WindowPicture.h"
#include "scene/SceneState.h"

class ProgramHost : public SceneHost {
public:
    // folders.own: our assets' folder; the user's own folders of skies and models come first.
    // store: the settings file, whose hand edits the frames take up.
    ProgramHost(SceneState& scene, AssetFolders folders, SettingsStore& store)
        : scene_(scene), folders_(std::move(folders)), store_(store) {}

    // The record in memory is the frame's; a hand edit of the file replaces it.
    void refreshSettings(Settings& settings) override {
        store_.takeUpEdit(settings);
        tell(store_.takeProblem());
    }
    std::string findPluginFolder() override { return folders_.own; }
    std::string assetFolder(AssetKind kind, const std::string& name) override {
        return folders_.folderFor(kind, name);
    }
    // Through the store (which tells when it cannot keep the file).
    bool saveSettings(Settings& settings, KeySet keys) override;
    // The folders our assets and the user's come from.
    const AssetFolders& folders() const { return folders_; }
    // On the standard error at once, and kept for the window (takeErrorLines).
    void showError(const char* text, const char* caption) override;
    // The program's own message (a settings file it cannot keep, say) the same way, without a
    // caption, a line for each of its clauses (parts between "; "); an empty text tells nothing.
    void tell(const std::string& text);
    // The failures told since the last call, a line each ("Error: Failed loading Model.ase!"),
    // for the window to show.
    std::vector<std::string> takeErrorLines() { return std::exchange(errorLines_, {}); }
    // The window's last frame, scaled down; valid while this host lives.
    std::unique_ptr<platform::LivePicture> openLivePicture() override { return livePicture_.source(); }
    // Once the scene's frame is drawn, before the swap: keeps it as the next live picture when
    // the model wears one.
    void keepFrameForLivePicture() { livePicture_.keepFrame(width_, height_); }

    // The drawable's size in pixels, and its pixels per window point (above 1 on HiDPI).
    int width() const { return width_; }
    int height() const { return height_; }
    float pixelRatio() const { return pixelRatio_; }

protected:
    // The window fills the whole drawable: its size is the geometry the camera uses.
    void setDrawable(int width, int height, float pixelRatio);

private:
    SceneState& scene_;
    AssetFolders folders_;
    SettingsStore& store_;
    std::vector<std::string> errorLines_;
    WindowPicture livePicture_;
    int width_ = 0, height_ = 0;
    float pixelRatio_ = 1;
};
