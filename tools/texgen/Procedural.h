#pragma once
// Deterministic hashing and noise for the texture art. Every function of a position in 0..1
// image coordinates is periodic with period 1 in both directions, so pictures built from them
// tile seamlessly under GL_REPEAT.

#include <cstdint>

// A well-mixed 32-bit hash of one or more integers.
uint32_t hash32(uint32_t x);
uint32_t hash32(int32_t x, int32_t y, uint32_t seed);

// The hash as a number in [0, 1).
float hashUnit(int32_t x, int32_t y, uint32_t seed);

float smoothstep(float edge0, float edge1, float x);

// Value noise in 0..1 on a lattice of cells x cells spanning the unit square.
float periodicNoise(float u, float v, int cells, uint32_t seed);

// Octaves of periodicNoise, the first on a lattice of `cells`, each next one twice as fine and
// half as strong; normalised to 0..1.
float periodicFbm(float u, float v, int cells, int octaves, uint32_t seed);

// Distances from (u, v) to the nearest and second nearest of one jittered point per cell on a
// lattice of cells x cells, in lattice units.
struct CellDistances {
    float nearest;
    float second;
};
CellDistances periodicCells(float u, float v, int cells, uint32_t seed);
