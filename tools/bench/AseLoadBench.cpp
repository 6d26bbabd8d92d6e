// Load time of ASE models as a model load reads them (the geometry, without pictures): a
// generated 50-object file of about 11 MB, or the model files named. Prints figures; never fails
// on speed.
// Usage: vzrm_ase_bench [objects, default 50] [vertices per object, default 290]
//        vzrm_ase_bench FILE.ase...

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "glres/ModelScene.h"
#include "tools/bench/AseSample.h"

namespace {

struct Seconds {
    double processor, wall;
};

// Processor time is the figure to compare on a machine shared with other work; wall time is
// what a user waits. The file is read whole and parsed, as the plug-in loads a model.
bool timeLoad(const std::string& path, Seconds& taken, size_t& objects) {
    const std::clock_t processor = std::clock();
    const auto wall = std::chrono::steady_clock::now();
    std::string text;
    std::vector<MeshObject> loaded;
    if (!readModelFile(path, text) || !readModelObjects(text, AseBlocks(text), loaded))
        return false;
    taken = {static_cast<double>(std::clock() - processor) / CLOCKS_PER_SEC,
             std::chrono::duration<double>(std::chrono::steady_clock::now() - wall).count()};
    objects = loaded.size();
    return true;
}

// Each file loaded 20 times: the fastest and the median load.
int timeModelFiles(int count, char** paths) {
    for (int i = 0; i < count; ++i) {
        std::vector<double> processor;
        size_t objects = 0;
        for (int round = 0; round < 20; ++round) {
            Seconds taken;
            if (!timeLoad(paths[i], taken, objects)) {
                std::fprintf(stderr, "vzrm_ase_bench: cannot load %s\n", paths[i]);
                return 1;
            }
            processor.push_back(taken.processor);
        }
        std::sort(processor.begin(), processor.end());
        std::printf("%s: %zu objects, %.2f ms fastest, %.2f ms median (processor time)\n",
                    paths[i], objects, processor.front() * 1e3,
                    processor[processor.size() / 2] * 1e3);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strstr(argv[1], ".ase")) return timeModelFiles(argc - 1, argv + 1);
    AseSampleShape shape;
    shape.objects = argc > 1 ? std::atoi(argv[1]) : 50;
    shape.vertices = argc > 2 ? std::atoi(argv[2]) : 290;
    shape.materials = 10;
    const std::string text = generateAseSample(shape);

    // Written out and loaded as the plug-in loads a model file.
    const char* path = "vzrm_ase_bench.ase";
    std::FILE* file = std::fopen(path, "wb");
    const bool written = file && std::fwrite(text.data(), 1, text.size(), file) == text.size();
    if (file) std::fclose(file);
    Seconds taken;
    size_t objects = 0;
    const bool loaded = written && timeLoad(path, taken, objects);
    std::remove(path);
    if (!loaded) {
        std::fprintf(stderr, "vzrm_ase_bench: cannot write and load %s here\n", path);
        return 1;
    }
    std::printf("ASE load, %d objects of %d vertices and %d faces, %.1f MB:\n", shape.objects,
                shape.vertices, 2 * shape.vertices, text.size() / 1e6);
    std::printf("  %zu objects in %.3f s processor, %.3f s wall\n", objects, taken.processor,
                taken.wall);
    return 0;
}
