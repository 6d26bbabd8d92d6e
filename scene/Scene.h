#pragma once
// Scene set-up at each start and the drawing of one frame.

#include "scene/SceneState.h"

// Fixes the OpenGL state for the run, sets up camera and lights, shows the loading picture while
// the textures load, and marks the scene ready. The context must be current.
void initScene(SceneState& scene, SceneHost& host);

// Draws the loading picture over the whole window and presents it at once.
void showLoadingScreen(SceneState& scene, SceneHost& host);

// (Re)loads the named texture set from the plug-in folder at the depth the settings ask for. The
// loading picture is kept when it was made at that depth (it is read once at a start).
void loadTextureSet(SceneState& scene);

// Draws the skybox's two lists around the scene (depth test and lighting off meanwhile).
void drawSkybox(SceneState& scene);

// Reads and decodes the model and the sky named (empty: none) on a worker thread while the
// current look plays, for a change that is coming: their pictures then become textures a piece
// a frame, the model is drawn once out of sight, and the change's loads take them ready. A
// change to other names loads as always; a later call drops what this one read.
void preloadAssets(SceneState& scene, SceneHost& host, const std::string& modelName,
                   const std::string& skyName);

// One frame: settings re-read, window and assets kept in line, the frame's audio values, then
// the components in their fixed order. Nothing happens until the scene is ready.
void renderFrame(SceneState& scene, SceneHost& host);
