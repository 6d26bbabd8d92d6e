#pragma once
// Generated ASE model files for benchmarks and tests: plain exporter-like files of any size,
// and awkward ones (CRLF line ends, block keywords that are not the first token of their
// line, lines longer than the line walk drops in one step, material references past the list).

#include <string>

struct AseSampleShape {
    int objects = 1;
    int vertices = 8;   // per object; faces are twice as many
    int materials = 1;  // may be fewer than the objects: the rest refer past the list
    bool crlf = false;
    bool awkward = false;
    unsigned seed = 1;
};

std::string generateAseSample(const AseSampleShape& shape);
