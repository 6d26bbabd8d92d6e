#pragma once
// The 3D model: choosing and loading the model folder named by mdlName, the live picture the
// front end supplies that any model surface can wear ("Vizorama.tga"), and the drawing of the
// model with the beat swell, the fading trail ("Motion Blur", "Ghost") and the glass shell
// ("Enclose"). The geometry itself lives in the ModelScene.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/GlHeaders.h"
#include "platform/LivePicture.h"
#include "settings/Choices.h"

class Camera;
class Lights;
class Settings;
class TextureLoader;
struct FrameState;
struct ModelData;
struct ModelScene;

// Copies a 256 x 128 capture (blue, green, red) into an RGB buffer of the same layout, the
// output channels chosen by map ("RGB", "RBG", "GRB", "GBR", "BRG", "BGR": the source channel
// of output red, green and blue). Any other map leaves target unchanged and returns false.
bool mapCaptureColours(const uint8_t* capture, uint8_t* target, ColourMap map);

class Model {
public:
    Model(const Settings& settings, const Lights& lights, const FrameState& frame)
        : settings_(settings), lights_(lights), frame_(frame) {}

    // Takes the front end's live picture (null when it could not be set up) and makes the
    // buffer of the dynamic texture. False without a picture or a buffer; the model is then
    // never drawn.
    bool init(std::unique_ptr<platform::LivePicture> picture, Camera& camera, ModelScene& scene);

    // Whether load() is due: forced, or mdlName changed, is not empty and the model is on.
    bool wantsLoad(bool force) const;

    // Loads the Model.ase of the model mdlName names from folder (with its trailing separator;
    // empty for a missing folder). The name is remembered first: a failing folder is not tried
    // again until the name changes. False on a failure, which leaves the previous model in
    // place; the caller tells the user.
    bool load(ModelScene& scene, TextureLoader& loader, const std::string& folder);
    // The same from the folder's model read beforehand (readModelData); data is left empty.
    void load(ModelScene& scene, TextureLoader& loader, ModelData& data);

    // (Re)creates the dynamic texture from the buffer at the loader's depth (16 or 32).
    void uploadDynamicTexture(int texBits);

    // Draws the model for this frame (nothing while it is off or another name is asked for).
    void draw(float loudness);

    // Deletes the dynamic texture and releases the live picture (the context must be current).
    void release();

    ModelScene* scene = nullptr;
    Camera* camera = nullptr;
    float encloseOffset[3] = {0, 0, 0};  // the glass texture's drift: u, v and an unused w
    const uint8_t* captureBits = nullptr;  // the live picture's pixels, bottom row first
    std::vector<uint8_t> captureBuffer;    // RGB rows for the dynamic texture
    int captureStride = 0;
    bool usesDynamicTexture = false;
    LoadedName loadedName;
    std::string dynamicTextureName = "Vizorama.tga";
    GLuint dynamicTexture = 0;
    GLuint glassTexture = 0;

private:
    void refreshDynamicTexture();
    void drawTrail();
    void drawGlassShell(float loudness);

    const Settings& settings_;
    const Lights& lights_;
    const FrameState& frame_;
    std::unique_ptr<platform::LivePicture> picture_;
};
