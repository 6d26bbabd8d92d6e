// vzrm_texgen OUTPUT_FOLDER: writes the plug-in's texture set as TGA files into the folder, our
// skyboxes into OUTPUT_FOLDER/Skyboxes/<name>/ ("Late Afternoon", "Midnight", "Undersea") and
// our models into OUTPUT_FOLDER/Models/<name>/ ("Vizorama", "Knot", "Ringed Planet").

#include <cstdio>
#include <string>

#include "tools/texgen/ModelArt.h"
#include "tools/texgen/SkyboxArt.h"
#include "tools/texgen/TextureArt.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: vzrm_texgen OUTPUT_FOLDER\n");
        return 2;
    }
    std::string error;
    if (!writeTextureSet(argv[1], error) || !writeSkyboxes(argv[1], error) ||
        !writeDefaultModels(argv[1], error)) {
        std::fprintf(stderr, "vzrm_texgen: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
