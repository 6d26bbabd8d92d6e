#include "tools/texgen/ModelArt.h"

#include <cmath>
#include <filesystem>

#include "tools/texgen/ModelShapes.h"
#include "tools/texgen/PixelFont.h"
#include "tools/texgen/Procedural.h"

namespace {

constexpr float kPi = 3.14159265358979f;
constexpr float kTau = 2 * kPi;

// Texture coordinates of a pixel centre: u from the left, v from the bottom row, as OpenGL
// lays a TGA picture stored bottom row first.
float uOf(const Image& image, int x) { return (x + 0.5f) / image.width; }
float vOf(const Image& image, int y) { return 1 - (y + 0.5f) / image.height; }

// The stand-in for the live picture: colour bars, the name and a grey ramp.
Image makeTestCard() {
    Image image(256, 128, 3);
    const Colour bars[] = {rgb(235, 235, 235), rgb(235, 235, 16), rgb(16, 235, 235),
                           rgb(16, 235, 16),   rgb(235, 16, 235), rgb(235, 16, 16),
                           rgb(16, 16, 235),   rgb(16, 16, 16)};
    const char* title = "VIZORAMA";
    const int scale = 3, titleTop = 62;
    Mask text(image.width, image.height);
    stampText(text, title, (image.width - textWidth(title, scale)) / 2, titleTop, scale);
    Mask glow = blurred(text, 3);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            Colour c = mix(rgb(10, 14, 40), rgb(30, 16, 60), uOf(image, x));
            if (y >= 6 && y < 52 && x >= 8 && x < 248) c = bars[(x - 8) / 30];
            if (y >= 104 && y < 120 && x >= 8 && x < 248)
                c = rgb(255, 255, 255) * ((x - 8) / 239.0f);
            c = c + rgb(60, 150, 255) * (0.8f * glow.at(x, y));
            if (text.at(x, y) > 0) c = rgb(245, 250, 255);
            putColour(image, x, y, c);
        }
    }
    return image;
}

// A steel plate: brushed, bevelled at its border (lit from the top left), an engraved line
// inside the border, a rivet in each corner and a soft sheen in the middle.
Image makePlatingTexture() {
    Image image(128, 128, 3);
    const float border = 0.06f, groove = 0.16f;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            float u = uOf(image, x), v = vOf(image, y);
            float brush = periodicNoise(u, std::fmod(v * 16, 1.0f), 3, 5);
            Colour c = mix(rgb(126, 136, 158), rgb(186, 196, 216), brush);
            float dx = u - 0.5f, dy = v - 0.55f;
            c = c + rgb(60, 64, 70) * std::exp(-(dx * dx + dy * dy) * 6);
            float edge = std::min(std::min(u, 1 - u), std::min(v, 1 - v));
            if (edge < border) {
                bool lit = (u < border && u < 1 - v) || (v > 1 - border && 1 - v < u);
                c = lit ? mix(c, rgb(250, 252, 255), 0.55f) : c * 0.45f;
            }
            float line = std::fabs(edge - groove);
            c = c * (1 - 0.55f * std::exp(-line * line / 0.00003f));
            for (float cu : {0.1f, 0.9f})
                for (float cv : {0.1f, 0.9f}) {
                    float r = std::hypot(u - cu, v - cv) / 0.035f;
                    if (r < 1) {
                        float shine = std::max(
                            0.0f, 1 - std::hypot(u - cu + 0.012f, v - cv - 0.012f) / 0.025f);
                        c = mix(rgb(90, 92, 100), rgb(255, 255, 255), 0.25f + 0.75f * shine);
                    }
                }
            putColour(image, x, y, c);
        }
    }
    return image;
}

// Ribbed brass: four rounded ribs across u, a highlight along the middle of v; seamless both
// ways (the ring's tube wraps around v).
Image makeBrassTexture() {
    Image image(128, 64, 3);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            float u = uOf(image, x), v = vOf(image, y);
            float across = std::fmod(u * 4, 1.0f);
            float rib = std::sin(kPi * across);
            float groove = smoothstep(0.0f, 0.08f, across) * smoothstep(1.0f, 0.92f, across);
            float sheen = 0.5f - 0.5f * std::cos(kTau * v);
            float light = (0.35f + 0.65f * rib) * (0.3f + 0.7f * groove) * (0.45f + 0.55f * sheen);
            Colour c = mix(rgb(90, 56, 14), rgb(255, 214, 110), light);
            c = c + rgb(255, 250, 220) * (0.5f * std::pow(light, 6.0f));
            putColour(image, x, y, c);
        }
    }
    return image;
}

// Overlapping scales in rows along u, eight around v, each row half a scale across from the one
// before and laid over its leading half, so every scale shows a rounded free edge towards -u.
// Teal on the back, gold on the belly (v = 0.5). Seamless both ways.
Image makeScalesTexture() {
    const int rows = 16, across = 8;
    const float rowStep = 1.0f / rows, spacing = 1.0f / across, radius = 0.7f * spacing;
    Image image(256, 256, 3);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            float u = uOf(image, x), v = vOf(image, y);
            int cell = static_cast<int>(std::floor(u / rowStep));
            Colour c = rgb(8, 24, 20);
            // The newest row whose scale holds the pixel lies over the older ones.
            for (int row = cell + 1; row > cell - 3; --row) {
                float centreU = (row + 0.5f) * rowStep;
                float shift = (row & 1) ? 0.5f : 0.0f;
                int k = static_cast<int>(std::floor(v / spacing - shift + 0.5f));
                float du = u - centreU, dv = v - (k + shift) * spacing;
                float d = std::sqrt(du * du + dv * dv) / radius;
                if (d >= 1) continue;
                int wrappedRow = ((row % rows) + rows) % rows;
                int wrappedK = ((k % across) + across) % across;
                float jitter = 0.85f + 0.3f * hashUnit(wrappedRow, wrappedK, 17);
                float belly = 0.5f - 0.5f * std::cos(kTau * (k + shift) * spacing);
                Colour body = mix(rgb(18, 120, 110), rgb(214, 190, 70), belly) * jitter;
                float free = std::clamp(-du / radius, 0.0f, 1.0f);  // towards the free edge
                c = body * (0.35f + 0.85f * free);
                c = c + rgb(230, 255, 220) * (0.45f * smoothstep(0.7f, 0.9f, d));
                c = c * (1 - 0.8f * smoothstep(0.9f, 1.0f, d));  // dark rim
                break;
            }
            putColour(image, x, y, c);
        }
    }
    return image;
}

// A banded gas giant as a map of longitude (u) and latitude (v): cool bands of teal, cream and
// rose that waver with turbulence, darker violet poles and one pale storm. Seamless around u.
Image makeBandsTexture() {
    Image image(256, 128, 3);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            float u = uOf(image, x), v = vOf(image, y);
            float lat = v + 0.04f * (periodicFbm(u, v, 6, 4, 301) - 0.5f) +
                        0.012f * std::sin(kTau * (3 * u + 5 * v));
            float band = 0.5f + 0.5f * std::sin(kTau * (7 * lat + 0.15f * std::sin(kTau * 3 * lat)));
            float rose = 0.5f + 0.5f * std::sin(kTau * (4 * lat + 0.3f));
            Colour c = mix(rgb(54, 140, 164), rgb(236, 226, 200), band);
            c = mix(c, rgb(206, 118, 128), 0.55f * rose * rose * rose);
            c = c * (0.88f + 0.24f * periodicNoise(u, lat, 32, 303));
            c = mix(c, rgb(92, 70, 150), smoothstep(0.28f, 0.47f, std::fabs(v - 0.5f)));
            float du = (u - 0.3f) / 0.07f, dv = (v - 0.38f) / 0.035f, storm = du * du + dv * dv;
            if (storm < 1)
                c = mix(c, mix(rgb(252, 214, 184), rgb(214, 120, 96), 0.5f + 0.5f * std::cos(9 * storm)),
                        smoothstep(1.0f, 0.6f, storm));
            putColour(image, x, y, c);
        }
    }
    return image;
}

// The planet's rings across v, the inner edge at v = 0 and the outer at v = 0.5 over the top
// of the flat tube, back to the inner edge at v = 1 underneath: fine bright and dusky rings
// with a dark gap two thirds of the way out. Along u (around the planet) a faint grain.
Image makeRingsTexture() {
    Image image(16, 256, 3);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            float u = uOf(image, x), v = vOf(image, y);
            float out = v <= 0.5f ? 2 * v : 2 - 2 * v;  // 0 at the inner edge, 1 at the outer
            float rings = 0.5f * periodicNoise(out, 0.5f, 40, 311) + 0.5f * periodicNoise(out, 0.5f, 13, 313);
            float light = (0.35f + 0.65f * rings) * (0.4f + 0.6f * smoothstep(0.0f, 0.25f, out));
            light *= 1 - 0.9f * std::exp(-std::pow((out - 0.66f) / 0.025f, 2.0f));
            light *= 0.93f + 0.07f * periodicNoise(u, out, 4, 317);
            putColour(image, x, y, mix(rgb(24, 20, 18), rgb(240, 226, 196), light));
        }
    }
    return image;
}

// A grey moon: dusty plains, darker seas and round craters with bright rims. Seamless around u.
Image makeMoonTexture() {
    Image image(128, 64, 3);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            float u = uOf(image, x), v = vOf(image, y);
            float ground = 0.55f + 0.3f * periodicFbm(u, v, 8, 4, 321);
            ground *= 1 - 0.35f * smoothstep(0.5f, 0.65f, periodicFbm(u, v, 3, 2, 323));
            CellDistances craters = periodicCells(u * 2, v, 6, 325);
            float r = craters.nearest;
            if (r < 0.3f) ground *= 0.75f + 0.25f * r / 0.3f;                          // the floor
            ground += 0.3f * std::exp(-std::pow((r - 0.32f) / 0.04f, 2.0f));           // the rim
            putColour(image, x, y, rgb(200, 196, 188) * ground);
        }
    }
    return image;
}

AseMaterial material(const char* name, const char* bitmap, Colour diffuse, float uTiling = 1,
                     float vTiling = 1) {
    AseMaterial m;
    m.name = name;
    m.bitmap = bitmap;
    m.diffuse = diffuse;
    m.uTiling = uTiling;
    m.vTiling = vTiling;
    return m;
}

// The models are drawn in a scene some 30 units high at their distance and swell with the
// beat up to twice their size: they are designed at a comfortable size and then scaled to about
// 11 to 15 units across.
void scaleModel(AseModel& model, float factor) {
    for (AseObject& o : model.objects)
        for (Vec3& p : o.vertices) p = p * factor;
}

AseObject object(const char* name, int materialRef) {
    AseObject o;
    o.name = name;
    o.materialRef = materialRef;
    return o;
}

}  // namespace

DefaultModel makeVizoramaModel() {
    DefaultModel result;
    result.name = "Vizorama";
    AseModel& model = result.model;
    model.sourceName = "Vizorama.max";
    model.materials = {material("Screen", kLivePictureName, rgb(255, 255, 255)),
                       material("Plating", "Plating.tga", rgb(200, 205, 215)),
                       material("Brass", "Brass.tga", rgb(230, 180, 80), 24, 1)};

    // Six screens of 6 x 3 design units (the picture's 2:1), one facing +z at rest, each showing
    // the whole picture upright.
    const float phase = -kPi / 6, bandTop = 1.5f, tip = 5.8f;
    AseObject screens = object("Screens", 0);
    addLathe(screens, {{0, -bandTop}, {6, -bandTop}, {6, bandTop}, {0, bandTop}}, 6, phase, 0);

    // Domes of steel plates with a lip over the screens, cut in twelve facets like a stone.
    const std::vector<ProfilePoint> crown = {{0, bandTop}, {6.6f, bandTop}, {6.6f, 2.0f},
                                             {5.5f, 3.0f}, {3.4f, 4.4f},    {0, tip}};
    std::vector<ProfilePoint> base;
    for (auto p = crown.rbegin(); p != crown.rend(); ++p) base.push_back({p->radius, -p->height});
    AseObject top = object("Crown", 1), bottom = object("Base", 1);
    addLathe(top, crown, 12, phase, 0);
    addLathe(bottom, base, 12, phase, 0);

    // A brass ring around it all, tilted so that it sweeps through the view as the lantern turns.
    AseObject ring = object("Ring", 2);
    std::vector<Vec3> circle;
    for (int i = 0; i < 96; ++i) {
        float a = kTau * i / 96;
        circle.push_back({8.6f * std::sin(a), 0, 8.6f * std::cos(a)});
    }
    addTube(ring, circle, {0, 1, 0}, 0.32f, 8, 1);
    rotateObject(ring, {1, 0, 0.4f}, 24);

    model.objects = {screens, top, bottom, ring};
    scaleModel(model, 0.85f);
    result.textures = {{kLivePictureName, makeTestCard()},
                       {"Plating.tga", makePlatingTexture()},
                       {"Brass.tga", makeBrassTexture()}};
    return result;
}

DefaultModel makeKnotModel() {
    DefaultModel result;
    result.name = "Knot";
    AseModel& model = result.model;
    model.sourceName = "Knot.max";
    model.materials = {material("Scales", "Scales.tga", rgb(150, 220, 200), 9, 1)};

    // The (2, 3) torus knot facing +z: twice around the axis while three times through the hole.
    const int samples = 150;
    std::vector<Vec3> curve;
    for (int i = 0; i < samples; ++i) {
        float t = kTau * i / samples, r = 2 + std::cos(3 * t);
        curve.push_back(Vec3{r * std::cos(2 * t), r * std::sin(2 * t), -std::sin(3 * t)} * 2.0f);
    }
    AseObject knot = object("Knot", 0);
    addTube(knot, curve, {0, 0, 1}, 1.1f, 12, 1);

    model.objects = {knot};
    scaleModel(model, 0.85f);
    result.textures = {{"Scales.tga", makeScalesTexture()}};
    return result;
}

DefaultModel makeRingedPlanetModel() {
    DefaultModel result;
    result.name = "Ringed Planet";
    AseModel& model = result.model;
    model.sourceName = "Ringed Planet.max";
    // The globes' pictures go twice around them: repeated (not clamped to their edges, where
    // OpenGL 1.1 blends in the black border colour) they meet without a seam.
    model.materials = {material("Bands", "Bands.tga", rgb(220, 220, 230), 2, 1),
                       material("Rings", "Rings.tga", rgb(235, 225, 200), 16, 1),
                       material("Moon", "Moon.tga", rgb(200, 200, 200), 2, 1)};

    // A smooth globe; the rings a flat tube of four sides (inner edge, top, outer edge,
    // bottom) around it; both tilted together. Two small moons stand off to the sides.
    AseObject planet = object("Planet", 0), rings = object("Rings", 1), moons = object("Moons", 2);
    addGlobe(planet, {0, 0, 0}, 7, 40, 20, 1);
    std::vector<Vec3> circle;
    for (int i = 0; i < 128; ++i) {
        float a = kTau * i / 128;
        circle.push_back({10.75f * std::sin(a), 0, 10.75f * std::cos(a)});
    }
    addTube(rings, circle, {0, 1, 0}, 2.25f, 4, 0);
    scaleObject(rings, {1, 0.06f, 1});
    for (AseObject* o : {&planet, &rings}) rotateObject(*o, {1, 0, 0.35f}, 32);
    addGlobe(moons, {14.5f, 3.5f, -3}, 1.4f, 16, 8, 2);
    addGlobe(moons, {-13, -4, 5}, 1, 16, 8, 2);

    model.objects = {planet, rings, moons};
    scaleModel(model, 0.62f);
    result.textures = {{"Bands.tga", makeBandsTexture()},
                       {"Rings.tga", makeRingsTexture()},
                       {"Moon.tga", makeMoonTexture()}};
    return result;
}

bool writeDefaultModels(const std::string& folder, std::string& error) {
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec)) {
        error = "not a folder: " + folder;
        return false;
    }
    for (const DefaultModel& model : {makeVizoramaModel(), makeKnotModel(), makeRingedPlanetModel()}) {
        std::filesystem::path target = std::filesystem::path(folder) / "Models" / model.name;
        std::filesystem::create_directories(target, ec);
        std::string text = writeAse(model.model);
        if (!writeBinaryFile((target / "Model.ase").string(),
                             std::vector<uint8_t>(text.begin(), text.end()), error))
            return false;
        for (const NamedTexture& texture : model.textures)
            if (!writeBinaryFile((target / texture.fileName).string(), encodeTga(texture.image),
                                 error))
                return false;
    }
    return true;
}
