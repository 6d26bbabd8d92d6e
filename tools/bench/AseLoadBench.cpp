// Load time of a generated 50-object ASE file of about 10 MB: every seek rescanning the file
// from its start, against the block positions found in one walk and sought directly. Prints
// figures and whether both gave the same objects; never fails on speed.
// Usage: vzrm_ase_bench [objects, default 50] [vertices per object, default 290]

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
// what a user waits.
Seconds timeToRead(std::FILE* file, bool indexed, std::vector<MeshObject>& objects) {
    const std::clock_t processor = std::clock();
    const auto wall = std::chrono::steady_clock::now();
    const AseBlocks blocks = indexed ? AseBlocks::indexed(file) : AseBlocks::rescanning(file);
    readModelObjects(file, blocks, objects);
    return {static_cast<double>(std::clock() - processor) / CLOCKS_PER_SEC,
            std::chrono::duration<double>(std::chrono::steady_clock::now() - wall).count()};
}

template <typename T>
bool sameBytes(const std::vector<T>& a, const std::vector<T>& b) {
    return a.size() == b.size() &&
           (a.empty() || !std::memcmp(a.data(), b.data(), a.size() * sizeof(T)));
}

bool same(const std::vector<MeshObject>& a, const std::vector<MeshObject>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const MeshObject &x = a[i], &y = b[i];
        if (!sameBytes(x.vertices, y.vertices) || !sameBytes(x.vertexNormals, y.vertexNormals) ||
            !sameBytes(x.texVertices, y.texVertices) ||
            !sameBytes(x.vertexColours, y.vertexColours) || !sameBytes(x.faces, y.faces) ||
            std::strcmp(x.bitmapName, y.bitmapName) || x.vertexCount != y.vertexCount ||
            x.faceCount != y.faceCount || x.materialRef != y.materialRef ||
            x.uTiling != y.uTiling || x.uOffset != y.uOffset)
            return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    AseSampleShape shape;
    shape.objects = argc > 1 ? std::atoi(argv[1]) : 50;
    shape.vertices = argc > 2 ? std::atoi(argv[2]) : 290;
    shape.materials = 10;
    const std::string text = generateAseSample(shape);

    // Written out and opened again as the plug-in opens a model file.
    const char* path = "vzrm_ase_bench.ase";
    std::FILE* file = std::fopen(path, "wb");
    bool written = file && std::fwrite(text.data(), 1, text.size(), file) == text.size();
    if (file) std::fclose(file);
    file = written ? std::fopen(path, "rb") : nullptr;
    if (!file) {
        std::fprintf(stderr, "vzrm_ase_bench: cannot write %s here\n", path);
        return 1;
    }
    std::vector<MeshObject> rescanned, indexed;
    const Seconds rescan = timeToRead(file, false, rescanned);
    const Seconds onePass = timeToRead(file, true, indexed);
    std::fclose(file);
    std::remove(path);

    std::printf("ASE load, %d objects of %d vertices and %d faces, %.1f MB:\n", shape.objects,
                shape.vertices, 2 * shape.vertices, text.size() / 1e6);
    std::printf("  rescanning for every block:   %6.3f s processor, %6.3f s wall\n",
                rescan.processor, rescan.wall);
    std::printf("  block positions in one walk:  %6.3f s processor, %6.3f s wall\n",
                onePass.processor, onePass.wall);
    std::printf("  one walk is %.1f times faster (processor time)\n",
                rescan.processor / onePass.processor);
    std::printf("  same objects: %s\n", same(rescanned, indexed) ? "yes" : "NO");
    return 0;
}
