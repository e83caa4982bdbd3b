// camera_gl.cpp: loads the view camera's projection and modelview into GL and
// derives the frustum from the same numbers. The matrices are computed by the
// pure code in frustum.cpp and kept here, so the planes cannot drift from
// what is drawn and no GL read-back stalls the frame.
#include "render/camera_gl.h"

#include <GL/gl.h>

#include "app/settings.h"

static float cameraProjection[16] = {0.0f};
static float cameraModelview[16] = {0.0f};

void setupCamera(float zNear, float zFar) {
    glEnable(GL_DEPTH_TEST);
    perspectiveMatrix(cameraProjection, fieldOfView, aspectRatio, zNear, zFar);
    cameraModelviewMatrix(cameraModelview, viewCamera);
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(cameraProjection);
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(cameraModelview);
}

void extractFrustum(ViewFrustum& frustum) {
    frustumFromMatrices(frustum, cameraProjection, cameraModelview);
}
