#pragma once
// Our default models. Each is a folder below Models/ holding "Model.ase" and the pictures its
// materials name:
// - "Vizorama": a faceted steel lantern whose six screens show the live picture of the player
//   window (the bitmap "Vizorama.tga"), circled by a tilted brass ring;
// - "Knot": a trefoil knot of scaly tube;
// - "Ringed Planet": a banded gas giant, tilted in its flat rings, with two small moons.

#include <string>
#include <vector>

#include "tools/texgen/AseWriter.h"
#include "tools/texgen/TextureArt.h"

// The bitmap name that makes the plug-in show its live picture of the player window instead of
// reading the file. We still write a file of that name, a test card of the same 256 x 128 size,
// so that modelling tools show something in its place.
inline constexpr const char* kLivePictureName = "Vizorama.tga";

struct DefaultModel {
    std::string name;  // the folder, as the setting mdlName names it
    AseModel model;
    std::vector<NamedTexture> textures;  // every bitmap the materials name
};

DefaultModel makeVizoramaModel();
DefaultModel makeKnotModel();
DefaultModel makeRingedPlanetModel();

// Writes every model into folder/Models/<name>/, creating the folders.
bool writeDefaultModels(const std::string& folder, std::string& error);
