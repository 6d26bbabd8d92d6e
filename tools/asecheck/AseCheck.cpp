// vzrm_asecheck: what the plug-in will make of a model, for people who make models. Reads the
// model with the plug-in's own loading code (block walk, field and mesh passes, assembly,
// texture choice and image decoding) but uploads nothing, so it needs no OpenGL.
// Usage: vzrm_asecheck [--strict] <model folder or ASE file>...
// Exit: 0 every model loads; 1 some model would not load; 2 usage; 3 (with --strict) every model
// loads but some has problems.

#include <cstdio>
#include <string>
#include <vector>

#include "readers/ImageFile.h"
#include "glres/ModelScene.h"
#include "platform/Platform.h"

namespace {

enum Outcome { kLoads = 0, kWouldNotLoad = 1, kUsage = 2, kProblems = 3 };

bool isPowerOfTwo(unsigned n) { return n != 0 && (n & (n - 1)) == 0; }

const char* wrapName(GLenum wrap) { return wrap == GL_CLAMP ? "clamp" : "repeat"; }

const char* imageFault(int status) {
    switch (status) {
    case kTgaCannotOpen:
        return "the file cannot be opened";
    case kTgaNotTrueColour:
        return "not an uncompressed true-colour TGA (colour-mapped, grey-scale or run-length "
               "encoded)";
    case kTgaBadDepth:
        return "a TGA depth other than 24 or 32 bits a pixel";
    case kTgaNoPixels:
        return "its pixel data is shorter than its header says, or too big";
    case kImageUndecodable:
        static_assert(kMaxDecodedSide == 4096, "the message names the largest side");
        return "it cannot be decoded (damaged, an unsupported kind, or sides beyond 4096)";
    default:
        return "it cannot be read";
    }
}

class Report {
public:
    explicit Report(std::string prefix) : prefix_(std::move(prefix)) {}
    void problem(const std::string& text) { problems_.push_back(prefix_ + text); }
    const std::vector<std::string>& problems() const { return problems_; }
    void setPrefix(std::string prefix) { prefix_ = std::move(prefix); }

private:
    std::string prefix_;
    std::vector<std::string> problems_;
};

std::string count(uint64_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// A count the file announces against the entries the mesh pass met.
void compareCount(Report& report, const char* keyword, uint64_t announced, const char* entry,
                  uint64_t present) {
    if (announced == present) return;
    report.problem(std::string(keyword) + " says " + std::to_string(announced) + ", the file has " +
                   count(present, (std::string(entry) + " entry").c_str(),
                         (std::string(entry) + " entries").c_str()));
}

// Prints the object's texture and returns whether it will be drawn textured.
bool checkTexture(const MeshObject& object, Report& report) {
    const TextureChoice choice = chooseModelTexture(object, kDynamicTextureName);
    const std::string name = std::string("\"") + object.bitmapName + "\"";
    switch (choice.kind) {
    case TextureChoice::None:
        std::printf("    no bitmap: drawn untextured\n");
        return false;
    case TextureChoice::Dynamic:
        std::printf("    bitmap %s: the live picture of the player's window, wrap %s\n",
                    name.c_str(), wrapName(choice.wrap));
        return true;
    case TextureChoice::File:
        break;
    }
    if (choice.source == BitmapSource::Missing) {
        std::printf("    bitmap %s: not found, drawn untextured\n", name.c_str());
        report.problem("bitmap " + name + " not found, neither as named nor beside the model");
        return false;
    }
    const std::string where = choice.source == BitmapSource::AsNamed
                                  ? "found as named"
                                  : "found beside the model as \"" + choice.path + "\"";
    std::printf("    bitmap %s: %s", name.c_str(), where.c_str());
    TgaImage image;
    ImageFormat format;
    const int status = readImageFile(choice.path, image, format);
    if (status != kTgaOk) {
        std::printf(", %s, unreadable: drawn untextured\n", imageFormatName(format));
        report.problem("bitmap " + name + " cannot be read: " + imageFault(status));
        return false;
    }
    std::printf(", %s %u x %u, %s, wrap %s\n", imageFormatName(format), image.width, image.height,
                image.channels == 4 ? "with alpha" : "without alpha",
                wrapName(choice.wrap));
    if (!isPowerOfTwo(image.width) || !isPowerOfTwo(image.height))
        report.problem("bitmap " + name + " is " + std::to_string(image.width) + " x " +
                       std::to_string(image.height) +
                       ": OpenGL 1.1 refuses sides that are not powers of two");
    return true;
}

void checkFaces(const MeshObject& object, bool textured, Report& report) {
    const bool coloured = !object.vertexColours.empty();
    uint64_t badVertices = 0, badTexture = 0, badColour = 0;
    for (const MeshFace& face : object.faces) {
        const FaceIndexCheck check = checkFaceIndices(object, face);
        badVertices += !check.vertices;
        badTexture += textured && !object.texVertices.empty() && !check.texVertices;
        badColour += coloured && !check.colourVertices;
    }
    auto say = [&](uint64_t bad, const char* what, uint64_t size) {
        if (bad)
            report.problem(count(bad, "face uses ", "faces use ") + what + " indices outside its " +
                           std::to_string(size) + " (such faces are not drawn)");
    };
    say(badVertices, "vertex", object.vertices.size());
    say(badTexture, "texture-vertex", object.texVertices.size());
    say(badColour, "colour-vertex", object.vertexColours.size());
}

Outcome checkModel(const std::string& argument) {
    // A folder means its Model.ase; the model's folder is the current directory while it loads.
    std::string folder = argument, file = "Model.ase";
    const std::string previous = platform::currentDirectory();
    if (!platform::setCurrentDirectory(argument)) {
        const size_t cut = argument.find_last_of("\\/");
        folder = cut == std::string::npos ? "." : argument.substr(0, cut + 1);
        file = cut == std::string::npos ? argument : argument.substr(cut + 1);
        platform::setCurrentDirectory(folder);
    }
    std::printf("%s\n", argument.c_str());

    Outcome outcome = kLoads;
    std::string text;
    const bool opened = readModelFile(platform::nativePath(file), text);
    if (!opened) {
        std::printf("  would not load: %s cannot be opened\n", file.c_str());
        outcome = kWouldNotLoad;
    }
    const AseBlocks blocks = opened ? AseBlocks(text) : AseBlocks{};
    std::vector<MeshObject> objects;
    std::vector<MeshEntryTally> tallies;
    if (opened && blocks.geomObjectCount() == 0) {
        std::printf("  would not load: no line starts with *GEOMOBJECT\n");
        outcome = kWouldNotLoad;
    } else if (opened && !readModelObjects(text, blocks, objects, &tallies)) {
        std::printf("  would not load: %s objects are more than a model may hold\n",
                    std::to_string(blocks.geomObjectCount()).c_str());
        outcome = kWouldNotLoad;
    }
    if (outcome == kWouldNotLoad) {
        platform::setCurrentDirectory(previous);
        return outcome;
    }

    Report report("");
    std::printf("  %s, %s\n", count(objects.size(), "object", "objects").c_str(),
                count(blocks.materialCount(), "material", "materials").c_str());
    for (size_t i = 0; i < objects.size(); ++i) {
        const MeshObject& o = objects[i];
        const MeshEntryTally& met = tallies[i];
        report.setPrefix("object " + std::to_string(i) + ": ");
        std::printf("  object %s: %s, %s, %s, %s, %s; material %s\n", std::to_string(i).c_str(),
                    count(o.vertexCount, "vertex", "vertices").c_str(),
                    count(o.faceCount, "face", "faces").c_str(),
                    count(o.texVertexCount, "texture vertex", "texture vertices").c_str(),
                    count(o.colourVertexCount, "colour vertex", "colour vertices").c_str(),
                    o.hasNormals ? "normals" : "no normals", std::to_string(o.materialRef).c_str());
        if (o.vertices.size() != o.vertexCount || o.faces.size() != o.faceCount)
            report.problem("its lists cannot be allocated (counts beyond what a model may hold)");
        if (o.materialRef >= blocks.materialCount() && blocks.materialCount() > 0)
            report.problem("*MATERIAL_REF " + std::to_string(o.materialRef) + " is past the " +
                           count(blocks.materialCount(), "material", "materials"));
        compareCount(report, "*MESH_NUMVERTEX", o.vertexCount, "*MESH_VERTEX", met.vertices);
        compareCount(report, "*MESH_NUMFACES", o.faceCount, "*MESH_FACE", met.faces);
        // Each mapping channel's entries against its own counts.
        uint64_t ignored = met.ignored;
        for (const MappingChannelTally& channel : met.channels) {
            const std::string where =
                met.channels.size() > 1
                    ? "mapping channel " + std::to_string(channel.number) + ": "
                    : std::string();
            compareCount(report, (where + "*MESH_NUMTVERTEX").c_str(),
                         channel.announcedTexVertices, "*MESH_TVERT", channel.texVertices);
            compareCount(report, (where + "*MESH_NUMTVFACES").c_str(), channel.announcedTexFaces,
                         "*MESH_TFACE", channel.texFaces);
            ignored += channel.outside;
        }
        if (met.channels.size() > 1)
            std::printf("    %s: drawn with the texture vertices and faces of the last, channel "
                        "%s; the others are not drawn\n",
                        count(met.channels.size(), "mapping channel", "mapping channels").c_str(),
                        std::to_string(met.channels.back().number).c_str());
        compareCount(report, "*MESH_NUMCVERTEX", o.colourVertexCount, "*MESH_VERTCOL",
                     met.colourVertices);
        compareCount(report, "*MESH_NUMCVFACES", o.colourFaceCount, "*MESH_CFACE", met.colourFaces);
        if (ignored)
            report.problem(count(ignored, "entry", "entries") +
                           " with an index outside its list ignored");
        const bool textured = checkTexture(o, report);
        if (textured && o.texVertices.empty())
            report.problem("textured but without texture vertices");
        checkFaces(o, textured, report);
    }
    for (const std::string& problem : report.problems())
        std::printf("  problem: %s\n", problem.c_str());
    std::printf("  loads, %s\n",
                report.problems().empty()
                    ? "no problems"
                    : count(report.problems().size(), "problem", "problems").c_str());
    platform::setCurrentDirectory(previous);
    return report.problems().empty() ? kLoads : kProblems;
}

}  // namespace

int main(int argc, char** argv) {
    bool strict = false;
    std::vector<std::string> models;
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        if (argument == "--strict")
            strict = true;
        else if (!argument.empty() && argument[0] != '-')
            models.push_back(argument);
        else
            models.clear(), i = argc;  // an unknown option: show the usage
    }
    if (models.empty()) {
        std::fprintf(stderr,
                     "usage: vzrm_asecheck [--strict] <model folder or ASE file>...\n"
                     "  --strict  exit with 3 when a model loads but has problems\n");
        return kUsage;
    }
    bool failed = false, problems = false;
    for (const std::string& model : models) {
        Outcome outcome = checkModel(model);
        failed = failed || outcome == kWouldNotLoad;
        problems = problems || outcome == kProblems;
    }
    if (failed) return kWouldNotLoad;
    return strict && problems ? kProblems : kLoads;
}
