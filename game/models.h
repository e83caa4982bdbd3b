// models.h: the three static triangle meshes figures and balls are drawn
// from. Built at twice (joint, limb) or half (big ball) the drawn size; the
// new-game setup scales them once and overwrites their texture coordinates.
#pragma once

#include "physics/vector3.h"

const int MODEL_MAX_VERTICES = 264;

struct Model {
    int vertexCount;                         // 3 per triangle
    Vector3 positions[MODEL_MAX_VERTICES];
    float texCoords[MODEL_MAX_VERTICES * 2]; // u, v per vertex
};

extern Model jointModel;   // 72 triangles: sphere of radius 0.25 as drawn
extern Model limbModel;    // 88 triangles: rod to y = -1 ending in a ball
extern Model bigBallModel; // 72 triangles: sphere of radius 1.0 as drawn

void buildModels(); // the stored (unscaled) tables
void scaleModels(); // x0.5, x0.5, x2.0 and the figure tile's coordinates
