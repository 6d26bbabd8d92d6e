// Frames per second of a large model drawn as "Motion Blur" draws it (nine blended copies and
// the solid model: ten draws a frame), one call per vertex against the arrays built at load
// time, in the off-screen renderer. Prints figures and whether both pictures are the same.
//   vzrm_model_draw_bench [triangles] [width]x[height]

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "glres/TextureLoader.h"
#include "platform/headless/OffscreenContext.h"
#include "scene/Camera.h"
#include "scene/Lights.h"
#include "settings/Settings.h"
#include "tools/bench/ModelDrawReference.h"

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

template <typename Draw>
void motionBlurFrame(Draw draw) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    for (int k = 9; k >= 1; --k) {
        glColor4f(1, 1, 1, 1.0f / static_cast<float>(k + 2));
        glPushMatrix();
        glRotatef(static_cast<float>(k) * 4, 0, 1, 0);
        draw();
        glPopMatrix();
    }
    glColor4f(1, 1, 1, 1);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    draw();
    glFinish();
}

template <typename Draw>
double framesPerSecond(Draw draw) {
    for (int i = 0; i < 2; ++i) motionBlurFrame(draw);
    int frames = 0;
    auto start = Clock::now();
    do {
        motionBlurFrame(draw);
        ++frames;
    } while (seconds(start) < 3.0);
    return frames / seconds(start);
}

}  // namespace

int main(int argc, char** argv) {
    const int triangles = argc > 1 ? std::atoi(argv[1]) : 100000;
    int width = 1024, height = 768;
    if (argc > 2) std::sscanf(argv[2], "%dx%d", &width, &height);
    const int objects = 4, rings = 50;
    const int segments = triangles / (objects * rings * 2) > 3 ? triangles / (objects * rings * 2) : 3;

    std::filesystem::path folder = std::filesystem::temp_directory_path() / "vzrm-model-bench";
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(VZRM_TEXTURE_FOLDER "/Checked.tga", folder / "Checked.tga",
                               std::filesystem::copy_options::overwrite_existing);
    std::ofstream(folder / "Model.ase") << sphereModelAse(objects, rings, segments, "Checked.tga");
    std::filesystem::current_path(folder);

    OffscreenContext gl(width, height);
    if (!gl.ok()) {
        std::fprintf(stderr, "no off-screen context\n");
        return 1;
    }
    Settings settings;
    settings.dimWidth = width;
    settings.dimHeight = height;
    Camera camera(settings);
    Lights lights(settings);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glEnable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    camera.applyProjection();
    lights.setUp();
    lights.scaleColours(1.0f);

    ModelScene scene;
    TextureLoader loader;
    bool uses = false;
    auto loadStart = Clock::now();
    if (!loadModelFile("Model.ase", "Vizorama.tga", scene, loader, 0, uses)) {
        std::fprintf(stderr, "the model did not load\n");
        return 1;
    }
    double loadTime = seconds(loadStart);
    size_t faces = 0;
    for (const MeshObject& o : scene.objects) faces += o.faces.size();
    glTranslatef(0, -5, 0);
    glRotatef(30, 1, 0, 0);

    double perVertex = framesPerSecond([&] { drawModelPerVertex(scene, 0); });
    std::vector<OffscreenContext::Rgba> reference;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) reference.push_back(gl.pixel(x, y));
    double arrays = framesPerSecond([&] { scene.draw(0); });
    long differing = 0;
    for (int y = 0, i = 0; y < height; ++y)
        for (int x = 0; x < width; ++x, ++i) {
            OffscreenContext::Rgba a = gl.pixel(x, y), b = reference[static_cast<size_t>(i)];
            differing += std::abs(a.r - b.r) > 1 || std::abs(a.g - b.g) > 1 || std::abs(a.b - b.b) > 1;
        }

    std::printf("model: %zu triangles in %u objects, loaded in %.2f s\n", faces,
                scene.objectCount, loadTime);
    std::printf("%dx%d, ten draws a frame: per-vertex calls %.1f fps, arrays %.1f fps (%.1fx)\n",
                width, height, perVertex, arrays, arrays / perVertex);
    std::printf("pixels differing by more than one step: %ld\n", differing);
    scene.release(loader);
    lights.release();
    std::filesystem::current_path(std::filesystem::temp_directory_path());
    std::filesystem::remove_all(folder);
    return differing == 0 ? 0 : 1;
}
