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

// One frame: settings re-read, window and assets kept in line, the frame's audio values, then
// the components in their fixed order. Nothing happens until the scene is ready.
void renderFrame(SceneState& scene, SceneHost& host);
