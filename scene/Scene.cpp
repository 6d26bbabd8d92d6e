#include "scene/Scene.h"

#include <new>

#include "readers/TgaImage.h"
#include "platform/Platform.h"

namespace {

// The depth the loader uses for a texBits setting: 32 stays 32, anything else means 16.
int loadedDepthFor(uint32_t texBits) { return texBits == 32 ? 32 : 16; }

// Loads a file of the named set from folder (the plug-in folder; empty when it is unknown,
// which loads nothing) with the given wrap and priority.
GLuint loadNamed(TextureLoader& loader, const std::string& folder, const char* file, GLenum wrap,
                 float priority, TgaImage* keep = nullptr) {
    loader.wrapS = loader.wrapT = wrap;
    loader.magFilter = loader.minFilter = GL_LINEAR;
    loader.priority = priority;
    TgaImage image;
    if (folder.empty()) return 0;
    return loader.loadTexture(platform::nativePath(folder) + file, keep ? *keep : image);
}

// Loads the sky and the model the settings name when due (forced: whatever their names), from
// the folders the host finds for them.
// A preloaded sky or model of the folder is taken ready.
void keepAssetsLoaded(SceneState& s, SceneHost& host, bool force) {
    if (s.skybox->wantsLoad(force)) {
        const std::string folder = host.assetFolder(AssetKind::Skybox, s.settings->bgrName.text());
        std::unique_ptr<SkyData> sky = s.preload ? s.preload->takeSky(folder) : nullptr;
        if (sky) s.skybox->load(*s.textureLoader, *sky);
        else s.skybox->load(*s.textureLoader, folder);
    }
    if (s.model->wantsLoad(force)) {
        const std::string folder = host.assetFolder(AssetKind::Model, s.settings->mdlName.text());
        std::unique_ptr<ModelData> model = s.preload ? s.preload->takeModel(folder) : nullptr;
        if (model) s.model->load(*s.modelScene, *s.textureLoader, *model);
        else if (!s.model->load(*s.modelScene, *s.textureLoader, folder))
            host.showError("Failed loading Model.ase!", "Error");
    }
}

// One piece of a preloaded look a frame: a picture made into a texture; once all are made, the
// model drawn once into one pixel that the frame's clear then wipes, so that the renderer meets
// its drawing state before the change that shows it (a software renderer compiles each new
// state the first time it draws with it).
void advancePreload(SceneState& s) {
    if (!s.preload) return;
    ModelData* next = s.preload->uploadedModel();
    if (!next || s.preloadDrawn == next) {
        s.preload->uploadStep();
        return;
    }
    s.preloadDrawn = next;
    for (size_t i = 0; i < next->objects.size(); ++i)
        if (next->pictureOf[i] >= 0)
            next->objects[i].textureName = next->pictures[next->pictureOf[i]].texture;
    ModelScene drawn;  // borrows the objects and their arrays for the draw
    drawn.objects.swap(next->objects);
    drawn.arrays.swap(next->arrays);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    glViewport(viewport[0], viewport[1], 1, 1);
    glColor3f(1, 1, 1);
    glPushMatrix();
    glTranslatef(0, -5, 0);
    s.camera->applyViewTilt();
    s.camera->applyMotion(s.frame.motion.angleLeft[0], s.frame.motion.angleRight[0], 0, 0, 5);
    drawn.draw(0);
    glPopMatrix();
    drawn.objects.swap(next->objects);
    drawn.arrays.swap(next->arrays);
    glColor3f(1, 1, 1);
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
}

}  // namespace

void createSceneComponents(SceneState& s) {
    if (!s.settings) s.settings = new (std::nothrow) Settings;
    if (!s.textureLoader) s.textureLoader = new (std::nothrow) TextureLoader;
    if (s.settings && !s.skybox) s.skybox = new (std::nothrow) Skybox(*s.settings);
    if (!s.glExtensions) s.glExtensions = new (std::nothrow) GlExtensions;
    if (s.settings && !s.lights) s.lights = new (std::nothrow) Lights(*s.settings);
    if (s.settings && s.lights && s.glExtensions && !s.oscilloscope)
        s.oscilloscope = new (std::nothrow) Oscilloscope(*s.settings, s.lights->scaledColours, *s.glExtensions);
    if (s.settings && s.lights && !s.featherTail)
        s.featherTail = new (std::nothrow) FeatherTail(*s.settings, *s.lights, s.frame);
    if (s.settings && s.lights && !s.vuMeter)
        s.vuMeter = new (std::nothrow) VuMeter(*s.settings, *s.lights, s.frame);
    if (s.settings && !s.camera) s.camera = new (std::nothrow) Camera(*s.settings);
    if (!s.modelScene) s.modelScene = new (std::nothrow) ModelScene;
    if (s.settings && s.lights && !s.model)
        s.model = new (std::nothrow) Model(*s.settings, *s.lights, s.frame);
    if (s.textureLoader && !s.preload) s.preload = new (std::nothrow) AssetPreload(*s.textureLoader);
}

void releaseSceneComponents(SceneState& s) {
    auto destroy = [](auto*& component) {
        delete component;
        component = nullptr;
    };
    if (s.preload) s.preload->discard();
    destroy(s.preload);
    s.preloadDrawn = nullptr;
    if (s.model) s.model->release();
    destroy(s.model);
    if (s.modelScene && s.textureLoader) s.modelScene->release(*s.textureLoader);
    destroy(s.modelScene);
    destroy(s.camera);
    destroy(s.vuMeter);
    destroy(s.featherTail);
    if (s.oscilloscope) s.oscilloscope->release();
    destroy(s.oscilloscope);
    if (s.lights) s.lights->release();
    destroy(s.lights);
    destroy(s.glExtensions);
    if (s.skybox) s.skybox->release();
    destroy(s.skybox);
    if (s.textureLoader) s.textureLoader->deleteAllTextures();
    destroy(s.textureLoader);
    destroy(s.settings);
    s.looks.release();
    s.loadingTexture = 0;
}

void initScene(SceneState& s, SceneHost& host) {
    if (!s.settings || !s.textureLoader || !s.skybox || !s.glExtensions || !s.lights ||
        !s.oscilloscope ||
        !s.featherTail || !s.vuMeter || !s.camera || !s.modelScene || !s.model)
        return;
    glCullFace(GL_BACK);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);  // additive; each component enables blending itself
    glShadeModel(GL_SMOOTH);
    glClearColor(0, 0, 0, 1);
    glEnable(GL_CULL_FACE);
    glEnable(GL_DITHER);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);

    s.glExtensions->probe();
    s.featherTail->waveform = s.waveform;
    s.vuMeter->waveform = s.waveform;
    s.oscilloscope->applySamplingRate(s.waveform);
    s.camera->applyProjection();
    s.lights->setUp();
    if (!s.model->init(host.openLivePicture(), *s.camera, *s.modelScene))
        host.showError("Opsssss! Could not initialize model!", "Error!");

    s.pluginFolder = host.findPluginFolder();

    // Made at the depth the texture set is about to load at, so that the set keeps it.
    s.textureLoader->texBits = loadedDepthFor(s.settings->texBits);
    s.loadingTexture = loadNamed(*s.textureLoader, s.pluginFolder, "Loading.tga", GL_CLAMP, 0.0f);
    showLoadingScreen(s, host);

    loadTextureSet(s);
    keepAssetsLoaded(s, host, false);
    s.sceneReady = true;
}

void showLoadingScreen(SceneState& s, SceneHost& host) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_LIGHTING);
    glColor3f(1, 1, 1);
    glBindTexture(GL_TEXTURE_2D, s.loadingTexture);
    glPushMatrix();
    glTranslatef(0, -5, 0);
    glScalef(35, 15, 1);
    glBegin(GL_TRIANGLE_STRIP);
    glTexCoord2f(0, 1);
    glVertex3f(1, -1, 0);
    glTexCoord2f(0, 0);
    glVertex3f(1, 1, 0);
    glTexCoord2f(1, 1);
    glVertex3f(-1, -1, 0);
    glTexCoord2f(1, 0);
    glVertex3f(-1, 1, 0);
    glEnd();
    glPopMatrix();
    glEnable(GL_LIGHTING);
    glFlush();
    host.presentLoadingScreen();
}

void loadTextureSet(SceneState& s) {
    TextureLoader& loader = *s.textureLoader;
    ++s.textureSetLoads;
    if (s.preload) s.preload->discard();  // its textures go with the others
    // The loading picture, on screen while the set loads, is kept unless the depth changed.
    const int depth = loadedDepthFor(s.settings->texBits);
    const bool keepLoading = s.loadingTexture != 0 && depth == loader.texBits;
    loader.deleteAllTextures(keepLoading ? s.loadingTexture : 0);
    loader.texBits = depth;
    s.model->uploadDynamicTexture(loader.texBits);
    const std::string& folder = s.pluginFolder;
    TgaImage sheet;
    s.lights->pulsarTexture = loadNamed(loader, folder, "Pulsar.tga", GL_CLAMP, 1.0f, &sheet);
    s.lights->outlineSprites(sheet);
    if (!keepLoading) s.loadingTexture = loadNamed(loader, folder, "Loading.tga", GL_CLAMP, 0.0f);
    s.model->glassTexture = loadNamed(loader, folder, "Glass.tga", GL_REPEAT, 1.0f);
    s.oscilloscope->pulsarTexture = s.lights->pulsarTexture;
    s.oscilloscope->spriteOutlines = &s.lights->dimOutlines;
    s.oscilloscope->stripedTexture = loadNamed(loader, folder, "Striped.tga", GL_REPEAT, 1.0f);
    s.oscilloscope->checkedTexture = loadNamed(loader, folder, "Checked.tga", GL_REPEAT, 1.0f);
    s.oscilloscope->waterTexture = loadNamed(loader, folder, "Water.tga", GL_REPEAT, 1.0f);
}

// The background cube, far around the scene, turning with the camera motion.
void drawSkybox(SceneState& s) {
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glPushMatrix();
    glTranslatef(0, -5, 45);
    glScalef(50, 50, 50);
    s.camera->applyViewTilt();
    s.camera->applyMotion(s.frame.angleLeft, s.frame.angleRight, 0, 0, 0);
    glCallList(s.skybox->upperList);
    glCallList(s.skybox->lowerList);
    glPopMatrix();
    glEnable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
}

void preloadAssets(SceneState& s, SceneHost& host, const std::string& modelName,
                   const std::string& skyName) {
    if (!s.preload || !s.model) return;
    s.preload->start(modelName.empty() ? "" : host.assetFolder(AssetKind::Model, modelName),
                     skyName.empty() ? "" : host.assetFolder(AssetKind::Skybox, skyName),
                     s.model->dynamicTextureName);
    s.preloadDrawn = nullptr;
}

// While looks change by themselves, the next one's model and sky are read ahead: once after
// each change, and when the changes are switched on.
void prepareNextLook(SceneState& s, SceneHost& host) {
    const Settings& settings = *s.settings;
    const bool automatic = settings.lookChangeMode() != LookChange::Off;
    const int after = automatic ? s.looks.changes() : -1;
    if (after == s.preparedAfterChange) return;
    s.preparedAfterChange = after;
    if (!automatic) return;
    const std::string next = s.looks.upcoming(settings, host);
    const LookLibrary& library = s.looks.library();
    const size_t index = next.empty() ? LookLibrary::npos : library.find(next);
    Settings look;
    if (index == LookLibrary::npos || !library.read(index, look)) return;
    preloadAssets(s, host, look.mdlOnOff ? look.mdlName.text() : std::string(),
                  look.bgrOnOff ? look.bgrName.text() : std::string());
}

void renderFrame(SceneState& s, SceneHost& host) {
    if (!s.sceneReady || !s.settings || !s.oscilloscope || !s.featherTail || !s.vuMeter ||
        !s.model || !s.waveform)
        return;
    Settings& settings = *s.settings;
    host.refreshSettings(settings);
    // The frame's audio values first: a change of look on this frame's beat is drawn in full
    // on this frame, its sky and model loaded below.
    FrameState& f = s.frame;
    f.advance(s.waveform);
    s.looks.frame(settings, f, host);
    s.camera->applyProjection();
    s.oscilloscope->applySamplingRate(s.waveform);
    host.layoutAndMoveWindow();
    // The loaded depth is always 16 or 32: compare with what the setting maps to, so that an
    // odd value does not reload everything on every frame.
    if (loadedDepthFor(settings.texBits) != s.textureLoader->texBits) {
        showLoadingScreen(s, host);
        loadTextureSet(s);  // deletes every texture the loader made, the skybox's too
        keepAssetsLoaded(s, host, true);
    } else {
        keepAssetsLoaded(s, host, false);
    }
    prepareNextLook(s, host);
    advancePreload(s);

    s.lights->scaleColours(f.loudness);

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    s.lights->placeLights(f.angleLeft, f.angleRight);
    if (s.skybox->showsCurrentName()) drawSkybox(s);
    if (!s.lights->strobeDark(f.loudness)) {  // a dark frame: background only
        s.model->draw(f.loudness);
        s.oscilloscope->render(f.loudness, f.swayAngle);
        s.featherTail->draw();
        s.vuMeter->draw(f.levelLeft, f.levelRight, f.vuSpokes());
        s.lights->drawPulsars(f.spriteFrameLeft, f.spriteFrameRight, f.angleLeft, f.angleRight);
    }
    s.looks.endFrame();
    glFlush();
}
