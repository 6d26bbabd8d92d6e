#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "glres/AssetPreload.h"
#include "glres/TextureLoader.h"
#include "platform/headless/OffscreenContext.h"

namespace {

const std::string kModels = std::string(VZRM_TEXTURE_FOLDER) + "/Models/";
const std::string kSky = std::string(VZRM_TEXTURE_FOLDER) + "/Skyboxes/Late Afternoon/";

void waitFor(const AssetPreload& preload) {
    for (int i = 0; i < 6000 && !preload.ready(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_TRUE(preload.ready()) << "the worker never finished";
}

// The pictures are made one a step, the model's first; what is taken is only what was asked
// for; what is dropped takes its textures with it; a folder that does not load gives nothing.
TEST(AssetPreloadTest, MakesPicturesAStepAtATimeAndDropsWhatIsNotTaken) {
    OffscreenContext gl{8, 8};
    ASSERT_TRUE(gl.ok());
    TextureLoader loader;
    AssetPreload preload(loader);
    EXPECT_FALSE(preload.ready() || preload.uploadStep());

    preload.start(kModels + "Vizorama/", kSky, "Vizorama.tga");
    waitFor(preload);
    EXPECT_EQ(preload.takeModel(kModels + "Knot/"), nullptr);
    EXPECT_EQ(preload.takeSky(""), nullptr);
    int steps = 0;
    while (preload.uploadStep()) {
        ++steps;
        EXPECT_EQ(loader.registeredTextures().size(), static_cast<size_t>(steps));
        // The model's two pictures come first: then it is ready to draw.
        EXPECT_EQ(preload.uploadedModel() != nullptr, steps >= 2) << steps;
    }
    EXPECT_EQ(steps, 2 + 6);
    std::unique_ptr<ModelData> model = preload.takeModel(kModels + "Vizorama/");
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(model->objects.size(), model->arrays.size());
    EXPECT_EQ(preload.takeModel(kModels + "Vizorama/"), nullptr) << "taken twice";

    // A new start drops the sky not taken, and its textures; the model taken keeps its own.
    preload.start("", kSky, "Vizorama.tga");
    EXPECT_EQ(loader.registeredTextures().size(), 2u);
    waitFor(preload);
    EXPECT_TRUE(preload.uploadStep());
    preload.discard();
    EXPECT_EQ(loader.registeredTextures().size(), 2u);
    model->discard(loader);
    EXPECT_TRUE(loader.registeredTextures().empty());

    preload.start(kModels + "Absent/", "", "Vizorama.tga");
    waitFor(preload);
    EXPECT_FALSE(preload.uploadStep());
    EXPECT_EQ(preload.takeModel(kModels + "Absent/"), nullptr);
}

}  // namespace
