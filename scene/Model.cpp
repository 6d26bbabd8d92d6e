#include "scene/Model.h"

#include <iterator>
#include <new>

#include "glres/ModelScene.h"
#include "glres/TextureLoader.h"
#include "scene/Camera.h"
#include "scene/FrameState.h"
#include "scene/Lights.h"
#include "settings/Settings.h"

namespace {

constexpr int kCaptureBytes = platform::LivePicture::kStride * platform::LivePicture::kHeight;

// Which channel of a blue, green, red pixel becomes output red, green and blue, for each map
// in its list's order.
constexpr int kChannels[][3] = {{2, 1, 0}, {2, 0, 1}, {1, 2, 0}, {1, 0, 2}, {0, 2, 1}, {0, 1, 2}};
static_assert(std::size(kChannels) == static_cast<size_t>(ColourMap::Unknown),
              "one channel order for each colour map");

}  // namespace

bool mapCaptureColours(const uint8_t* capture, uint8_t* target, ColourMap map) {
    if (map == ColourMap::Unknown) return false;
    const int* source = kChannels[static_cast<size_t>(map)];
    for (int i = 0; i < kCaptureBytes; i += 3) {
        target[i] = capture[i + source[0]];
        target[i + 1] = capture[i + source[1]];
        target[i + 2] = capture[i + source[2]];
    }
    return true;
}

bool Model::init(std::unique_ptr<platform::LivePicture> picture, Camera& cameraRef,
                 ModelScene& sceneRef) {
    camera = &cameraRef;
    scene = &sceneRef;
    picture_ = std::move(picture);
    if (!picture_) return false;
    captureBits = picture_->pixels();
    captureStride = platform::LivePicture::kStride;
    try {
        captureBuffer.assign(kCaptureBytes, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

bool Model::wantsLoad(bool force) const {
    const Choice<TextStamp>& name = settings_.mdlName;
    return force || (loadedName.differsFrom(name) && !name.empty() && settings_.mdlOnOff != 0);
}

bool Model::load(ModelScene& sceneRef, TextureLoader& loader, const std::string& folder) {
    loadedName.take(settings_.mdlName);
    loader.magFilter = loader.minFilter = GL_LINEAR;
    loader.wrapS = loader.wrapT = GL_REPEAT;
    bool uses = false;
    // A missing folder fails like a folder without the file.
    const bool loaded = !folder.empty() && loadModelFile(folder + "Model.ase", dynamicTextureName,
                                                         sceneRef, loader, dynamicTexture, uses);
    if (loaded) usesDynamicTexture = uses;
    if (usesDynamicTexture && picture_) picture_->capture();  // the first picture, before any frame
    return loaded;
}

void Model::load(ModelScene& sceneRef, TextureLoader& loader, ModelData& data) {
    loadedName.take(settings_.mdlName);
    bool uses = false;
    installModel(data, sceneRef, loader, dynamicTexture, uses);
    usesDynamicTexture = uses;
    if (usesDynamicTexture && picture_) picture_->capture();
}

void Model::uploadDynamicTexture(int texBits) {
    if (captureBuffer.empty()) return;
    if (!dynamicTexture) glGenTextures(1, &dynamicTexture);
    glBindTexture(GL_TEXTURE_2D, dynamicTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_PRIORITY, 1.0f);
    setUploadState();
    glTexImage2D(GL_TEXTURE_2D, 0, texBits == 32 ? GL_RGB8 : GL_RGB, platform::LivePicture::kWidth,
                 platform::LivePicture::kHeight, 0, GL_RGB, GL_UNSIGNED_BYTE,
                 captureBuffer.data());
    glBindTexture(GL_TEXTURE_2D, 0);
}

void Model::refreshDynamicTexture() {
    if (settings_.mdlDynamicTextureOnOff) picture_->capture();
    captureBits = picture_->pixels();
    if (captureBits && !captureBuffer.empty())
        mapCaptureColours(captureBits, captureBuffer.data(), settings_.mdlColorMap.value());
    if (!dynamicTexture) return;
    glBindTexture(GL_TEXTURE_2D, dynamicTexture);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, platform::LivePicture::kWidth,
                    platform::LivePicture::kHeight, GL_RGB, GL_UNSIGNED_BYTE,
                    captureBuffer.data());
}

void Model::draw(float loudness) {
    if (captureBuffer.empty() || !scene || !camera || loadedName.differsFrom(settings_.mdlName) ||
        settings_.mdlOnOff == 0)
        return;
    if (usesDynamicTexture) refreshDynamicTexture();

    const bool effects = settings_.mdlEffectsOnOff != 0;
    const ModelEffect effect = settings_.mdlEffectsType.value();
    const MotionHistory& history = frame_.motion;
    glColor3f(1, 1, 1);
    glPushMatrix();
    glTranslatef(0, -5, 0);
    camera->applyViewTilt();
    if (effects && (effect == ModelEffect::MotionBlur || effect == ModelEffect::Ghost)) drawTrail();

    // This frame's position, kept for the glass shell.
    camera->applyMotion(history.angleLeft[0], history.angleRight[0], 0, 0, 5);
    if (settings_.mdlBeat) {
        float swell = 1 + history.loudness[0];
        glScalef(swell, swell, swell);
    }
    if (!(effects && effect == ModelEffect::Ghost)) scene->draw(0);  // a ghost shows only its trail
    if (effects && effect == ModelEffect::Enclose) drawGlassShell(loudness);
    glPopMatrix();
}

// The model at its places of the last nine frames, oldest and faintest first.
void Model::drawTrail() {
    const MotionHistory& history = frame_.motion;
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    for (int k = 9; k >= 1; --k) {
        glColor4f(1, 1, 1, 1.0f / static_cast<float>(k + 2));
        glPushMatrix();
        camera->applyMotion(history.angleLeft[k], history.angleRight[k], 0, 0, 5);
        if (settings_.mdlBeat) {
            float swell = 1 + history.loudness[k];
            glScalef(swell, swell, swell);
        }
        scene->draw(0);
        glPopMatrix();
    }
    glColor4f(1, 1, 1, 1);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
}

// A slightly larger copy in the glass texture, blended additively, its texture drifting with
// the loudness and tinted with the lights' diffuse colour (never quite black).
void Model::drawGlassShell(float loudness) {
    float& u = encloseOffset[0];
    float& v = encloseOffset[1];
    u += loudness * 0.0625f;
    v += loudness * 0.125f;
    if (u > 1) u -= 1;
    if (v > 1) v -= 1;

    glDepthMask(GL_FALSE);
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glTranslatef(u, v, encloseOffset[2]);
    glMatrixMode(GL_MODELVIEW);
    glScalef(1.3f, 1.3f, 1.3f);
    float tint[3];
    for (int i = 0; i < 3; ++i) {
        float c = lights_.scaledColours[3 + i];
        tint[i] = c < 0.1f ? 0.1f : c;
    }
    glColor3fv(tint);
    scene->draw(glassTexture);
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glDisable(GL_BLEND);
    glEnable(GL_CULL_FACE);
    glDepthMask(GL_TRUE);
}

void Model::release() {
    if (dynamicTexture) glDeleteTextures(1, &dynamicTexture);
    dynamicTexture = 0;
    captureBuffer = {};
    captureBits = nullptr;
    picture_.reset();
}
