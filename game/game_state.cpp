// game_state.cpp: the global game state. Static storage, zero at start; the
// new-game setup places the player and the cameras.
#include "app/settings.h"
#include "game/game.h"
#include "meshing/chunks.h"

#include <cstring>

const char* const actionTypeNames[ACTION_TYPE_COUNT] = {
    "actiontype_raiseground", "actiontype_lowerground", "actiontype_spawnblock",
    "actiontype_removeblock", "actiontype_swing",       "actiontype_shootball",
    "actiontype_slowmo",      "actiontype_spawnenemy",  "actiontype_fly",
};

Figure player;
Figure figures[MAX_FIGURES];
int figureCount = 0;
Ball balls[MAX_BALLS];
int ballCount = 0;
int actionType = ActionRaiseGround;
bool slowMotion = false;
bool thirdPersonView = false;
float viewBlend = 0.0f;
bool cameraSide = false;
float cameraSideBlend = 0.0f;
CameraPose firstPersonCamera;
CameraPose thirdPersonCamera;
CameraPose viewCamera;
float cameraReach = 0.0f;
float fieldOfView = SCENE_FIELD_OF_VIEW;
Vector3& aimPoint = player.target;
float wavePhase = 0.0f;
WaterMesh waterMeshes[CHUNK_TOTAL];

void resetGameState() {
    memset(&player, 0, sizeof player);
    memset(figures, 0, sizeof figures);
    memset(balls, 0, sizeof balls);
    figureCount = 0;
    ballCount = 0;
    actionType = ActionRaiseGround;
    slowMotion = false;
    thirdPersonView = false;
    viewBlend = 0.0f;
    cameraSide = false;
    cameraSideBlend = 0.0f;
    memset(&firstPersonCamera, 0, sizeof firstPersonCamera);
    memset(&thirdPersonCamera, 0, sizeof thirdPersonCamera);
    memset(&viewCamera, 0, sizeof viewCamera);
    cameraReach = 0.0f;
    fieldOfView = sceneFov; // the "fov" key, or the designed angle
    settleProgress = 0.0f;
    settleReady = false;
    wavePhase = 0.0f;
}
