// camera_gl.h: loads the scene camera's matrices into GL and derives the frustum.
#pragma once

#include "render/frustum.h"

void setupCamera(float zNear, float zFar);
void extractFrustum(ViewFrustum& frustum);
