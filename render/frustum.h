// frustum.h: the scene camera's matrices and view frustum as pure maths. The
// renderer loads these same numbers into GL, so tests can check the culling
// without a display.
#pragma once

#include "game/game.h"

// Six planes (a, b, c, d), (a, b, c) of unit length; a point p is inside when
// a px + b py + c pz + d > 0.
enum FrustumPlane { FrustumRight, FrustumLeft, FrustumBottom, FrustumTop, FrustumFar, FrustumNear };
struct ViewFrustum {
    float planes[6][4];
};

extern float fieldOfView; // vertical, degrees; the renderer sets sceneFov (50 plain) every frame

// Column-major 4 x 4 matrices, as OpenGL stores them.
void perspectiveMatrix(float out[16], float fovYDegrees, float aspect, float zNear, float zFar);
void cameraModelviewMatrix(float out[16], const CameraPose& camera);
void frustumFromMatrices(ViewFrustum& frustum, const float projection[16], const float modelview[16]);
void normalizePlane(int plane, ViewFrustum& frustum);
bool cubeInFrustum(const ViewFrustum& frustum, float x, float y, float z, float s);
