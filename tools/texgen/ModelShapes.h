#pragma once
// Closed solids built into an ASE object: every face winds counter-clockwise seen from outside,
// neighbouring faces share their vertices (texture seams live in the texture vertices only), so
// each solid is watertight.

#include <vector>

#include "tools/texgen/AseWriter.h"

// One point of a lathe profile: distance from the y axis and height.
struct ProfilePoint {
    float radius, height;
};

// A solid of revolution about the y axis with `sides` flat facets around, the first corner at
// `phase` radians from +z towards +x. The profile runs from the bottom to the top and starts and
// ends on the axis (radius 0), which closes the solid. Every facet shows the whole texture
// upright, u from 0 to 1 left to right seen from outside, v from 0 to 1 bottom to top; a
// triangle that meets the axis shows the part of the picture with its tip at the middle of the
// edge on the axis.
void addLathe(AseObject& object, const std::vector<ProfilePoint>& profile, int sides, float phase,
              int smoothing);

// The same solid with the picture wrapped once around it instead: u from 0 to 1 around the axis
// (left to right seen from outside, starting at `phase`), v from 0 at the bottom of the profile
// to 1 at its top, in equal steps a profile point; the seam is in the texture vertices only. A
// globe painted as a map of longitude and latitude.
void addWrappedLathe(AseObject& object, const std::vector<ProfilePoint>& profile, int sides,
                     float phase, int smoothing);

// A globe: a wrapped lathe of `rings` steps from pole to pole, `sides` facets around.
void addGlobe(AseObject& object, Vec3 centre, float radius, int sides, int rings, int smoothing);

// A tube of the given radius around a closed curve (the samples in order, the last joining the
// first), `sides` faces around. The cross-sections are kept square to the curve and turned by
// `reference`, a direction the curve never runs along. Texture u runs from 0 to 1 along the
// whole curve, v from 0 to 1 around the tube.
void addTube(AseObject& object, const std::vector<Vec3>& curve, Vec3 reference, float radius,
             int sides, int smoothing);

// Scales every vertex by the factors along x, y and z (positive, so the winding stays outward).
void scaleObject(AseObject& object, Vec3 factors);

// Turns every vertex of the object by `degrees` about the axis through the origin.
void rotateObject(AseObject& object, Vec3 axis, float degrees);
