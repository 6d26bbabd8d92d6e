// vzrm_dialogart OUTPUT_FOLDER: paints the configuration utility's banner and About picture as
// BMP files (Banner.bmp, About.bmp), and the Windows program's icon (Vizorama.ico), into the
// folder, for their resource scripts.

#include <cstdio>
#include <string>

#include "tools/texgen/DialogArt.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: vzrm_dialogart OUTPUT_FOLDER\n");
        return 2;
    }
    std::string error;
    if (!writeDialogArt(argv[1], error)) {
        std::fprintf(stderr, "vzrm_dialogart: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
