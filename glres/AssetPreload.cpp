#include "glres/AssetPreload.h"

#include <new>

AssetPreload::~AssetPreload() { wait(); }

void AssetPreload::wait() {
    if (worker_.joinable()) worker_.join();
}

void AssetPreload::discard() {
    wait();
    if (model_) model_->discard(loader_);
    if (sky_) sky_->discard(loader_);
    model_.reset();
    sky_.reset();
    modelFolder_.clear();
    skyFolder_.clear();
    started_ = false;
}

void AssetPreload::start(const std::string& modelFolder, const std::string& skyFolder,
                         const std::string& dynamicTextureName) {
    discard();
    try {
        modelFolder_ = modelFolder;
        skyFolder_ = skyFolder;
        auto model = modelFolder.empty() ? nullptr : std::make_unique<ModelData>();
        auto sky = skyFolder.empty() ? nullptr : std::make_unique<SkyData>();
        done_.store(false, std::memory_order_relaxed);
        // The worker owns the data until it is done; it touches nothing else.
        worker_ = std::thread([this, path = modelFolder + "Model.ase", skyFolder, dynamicTextureName,
                               model = std::move(model), sky = std::move(sky)]() mutable {
            if (model && readModelData(path, dynamicTextureName, *model) != ModelData::Ok)
                model.reset();
            if (sky) readSkyData(skyFolder, *sky);
            model_ = std::move(model);
            sky_ = std::move(sky);
            done_.store(true, std::memory_order_release);
        });
        started_ = true;
    } catch (const std::exception&) {  // no memory or no thread: the change loads as it would
        modelFolder_.clear();
        skyFolder_.clear();
    }
}

bool AssetPreload::uploadStep() {
    if (!ready()) return false;
    wait();  // already finished: joins at once
    if (model_ && model_->uploadPicture(loader_)) return true;
    return sky_ && sky_->uploadFace(loader_);
}

std::unique_ptr<ModelData> AssetPreload::takeModel(const std::string& modelFolder) {
    if (!started_ || modelFolder.empty() || modelFolder != modelFolder_) return nullptr;
    wait();
    modelFolder_.clear();
    return std::move(model_);
}

std::unique_ptr<SkyData> AssetPreload::takeSky(const std::string& skyFolder) {
    if (!started_ || skyFolder.empty() || skyFolder != skyFolder_) return nullptr;
    wait();
    skyFolder_.clear();
    return std::move(sky_);
}

ModelData* AssetPreload::uploadedModel() {
    if (!ready() || !model_) return nullptr;
    for (const ModelData::Picture& picture : model_->pictures)
        if (!picture.made) return nullptr;
    return model_.get();
}
