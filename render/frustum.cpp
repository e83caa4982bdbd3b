// frustum.cpp: camera matrices and frustum culling as pure maths.
#include "render/frustum.h"

// The renderer sets 50 before every frame; starting at the same value keeps
// the aim ray of a headless run (which never draws) the same as in the game.
float fieldOfView = 50.0f;
