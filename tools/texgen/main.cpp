// vzrm_texgen OUTPUT_FOLDER: writes the plug-in's texture set as TGA files into the folder, the
// default skybox into OUTPUT_FOLDER/Skyboxes/Late Afternoon/ and the default models into
// OUTPUT_FOLDER/Models/Vizorama/ and OUTPUT_FOLDER/Models/Knot/.

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
    if (!writeTextureSet(argv[1], error) || !writeDefaultSkybox(argv[1], error) ||
        !writeDefaultModels(argv[1], error)) {
        std::fprintf(stderr, "vzrm_texgen: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
