#pragma once
// The model drawn the slow, obvious way: one OpenGL call per corner attribute, face by face.
// The arrays the plug-in draws from must give the same picture; the benchmark measures both.
// Also a generator of large test models.

#include <string>

#include "glres/ModelScene.h"

// Draws scene as ModelScene::draw does, one call per vertex (faces with an index outside
// their object's lists left out, as there).
void drawModelPerVertex(const ModelScene& scene, GLuint overrideTexture);

// ASE text of a model of `objects` spheres side by side, each of rings x segments quads (two
// triangles each), with texture vertices, face normals, and vertex colours on every other
// object; every object wears `bitmap`.
std::string sphereModelAse(int objects, int rings, int segments, const std::string& bitmap);
