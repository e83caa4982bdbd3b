// scene_gl.h: draws one frame of the 3D world and the action label.
#pragma once

void renderScene();
