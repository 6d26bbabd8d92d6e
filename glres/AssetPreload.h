#pragma once
// A look's model and sky, read and decoded on a worker thread while the current look plays, so
// that a change to that look does not wait for its files. The pictures are then made into
// textures on the drawing thread one at a time, a piece a frame, and the model and the sky are
// taken, ready, by the loads of the change. Everything but the worker's reading and decoding
// happens on the drawing thread, whose context is current.

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "glres/ModelScene.h"
#include "glres/Skybox.h"

class TextureLoader;

class AssetPreload {
public:
    explicit AssetPreload(TextureLoader& loader) : loader_(loader) {}
    ~AssetPreload();  // waits for the worker; textures made stay with the loader
    AssetPreload(const AssetPreload&) = delete;
    AssetPreload& operator=(const AssetPreload&) = delete;

    // Starts reading the Model.ase of modelFolder and the pictures of skyFolder (folders with
    // their trailing separator; empty: none) on a worker thread. What an earlier preload held
    // is dropped, waiting for its worker first.
    void start(const std::string& modelFolder, const std::string& skyFolder,
               const std::string& dynamicTextureName);

    // Whether the worker has finished (never waits).
    bool ready() const { return started_ && done_.load(std::memory_order_acquire); }

    // Once ready: makes one decoded picture into a texture, the model's first, then the sky's.
    // False when there was nothing (left) to make.
    bool uploadStep();

    // The model read from modelFolder / the sky read from skyFolder, when a finished preload
    // holds it (the worker is waited for when it is still reading that folder), else null.
    std::unique_ptr<ModelData> takeModel(const std::string& modelFolder);
    std::unique_ptr<SkyData> takeSky(const std::string& skyFolder);

    // The model held, fully made into textures and not yet taken, for drawing ahead of the
    // change (null otherwise).
    ModelData* uploadedModel();

    // Drops what is held, deleting the textures made.
    void discard();

private:
    void wait();

    TextureLoader& loader_;
    std::thread worker_;
    std::atomic<bool> done_{false};
    bool started_ = false;
    std::string modelFolder_, skyFolder_;
    std::unique_ptr<ModelData> model_;  // null when the folder was empty or did not load
    std::unique_ptr<SkyData> sky_;
};
