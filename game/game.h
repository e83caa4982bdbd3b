// game.h: the game state (player, enemies, balls, cameras, clocks) and the
// per-frame update that advances all of it.
//
// Units: world units, radians, ticks (one update at time factor 1, a sixtieth
// of a second at the nominal rate). Speeds are units per tick.
#pragma once

#include "physics/vector3.h"
#include "world/world.h"

// Every body with arms and legs: the player and each enemy.
struct Figure {
    int kind;         // 1 for an enemy; unused for the player
    Vector3 target;   // where both hands reach: aimPoint, or the player for an enemy
    Vector3 position; // centre of the collision sphere (radius 1.25)
    Vector3 velocity; // units per tick
    // Radians. Pitch within +-1.1344640 (65 degrees), an enemy's always 0;
    // roll always 0.
    float pitch, yaw, roll;
    bool onGround;    // the last motion step ended standing on something
    bool flying;      // flight thrust was applied this update (player only)
    bool swinging;    // the rope is attached (player only)
    Vector3 ropeAnchor;
    float ropeLength;
    // Pose points, written only by the pose steps. Index 0 is the limb on the
    // side of yaw + pi/2, index 1 the side of yaw - pi/2.
    Vector3 head; // also the first-person camera position
    Vector3 neck;
    float shoulderX[2], shoulderY[2], shoulderZ[2];
    float handX[2], handY[2], handZ[2]; // hand 0 throws the balls
    Vector3 hipCentre;
    bool footPlanted[2]; // the feet persist between updates
    float hipX[2], hipY[2], hipZ[2];
    float footX[2], footY[2], footZ[2];
};

struct Ball {
    int kind; // 0 is the only kind created
    Vector3 position;
    Vector3 velocity; // exactly zero once stuck
};

struct CameraPose {
    Vector3 position;
    float pitch, yaw, roll;
};

enum ActionType {
    ActionRaiseGround = 0,
    ActionLowerGround = 1,
    ActionSpawnBlock = 2,
    ActionRemoveBlock = 3,
    ActionSwing = 4,
    ActionShootBall = 5,
    ActionSlowMotion = 6,
    ActionSpawnEnemy = 7,
    ActionFly = 8,
};
const int ACTION_TYPE_COUNT = 9;
extern const char* const actionTypeNames[ACTION_TYPE_COUNT]; // "actiontype_raiseground" ...

const int MAX_FIGURES = 50;
const int MAX_BALLS = 500;

extern Figure player;
extern Figure figures[MAX_FIGURES]; // live enemies packed at 0 .. figureCount - 1
extern int figureCount;
extern Ball balls[MAX_BALLS]; // live balls packed at 0 .. ballCount - 1
extern int ballCount;
extern int actionType; // ActionType, 0..8
extern bool slowMotion;
extern bool thirdPersonView;
extern float viewBlend;       // 0 first person .. 1 third person
extern bool cameraSide;       // false left, true right shoulder
extern float cameraSideBlend; // 0..1
extern CameraPose firstPersonCamera, thirdPersonCamera, viewCamera;
// With camera collision: the share (0..1) of the way from the point above the
// body to its trailing place that the third-person camera may go; 0 when no
// place on that way is free, and the camera looks from the eye.
extern float cameraReach;
// The scene camera's near plane (world units from the eye).
const float SCENE_NEAR_PLANE = 0.1f;
// The scene camera's vertical field of view, degrees: the aim ray turns the
// pointer into angles with it and the renderer projects with it.
const float SCENE_FIELD_OF_VIEW = 50.0f;
extern float fieldOfView; // "fov" (app/settings.h), SCENE_FIELD_OF_VIEW when missing; set by a new game
extern Vector3& aimPoint;     // the player's target field
extern float wavePhase;       // 0..5

// Per-chunk water quads, positions chunk-local like the other meshes.
struct WaterMesh {
    int vertexCount;
    float* positions; // 3 floats per vertex
    float* texCoords; // 2 floats per vertex
};
extern WaterMesh waterMeshes[CHUNK_TOTAL];

// Back to the state before any new game: no enemies or balls, every body,
// camera, toggle and clock at zero. Headless runners call it between runs.
void resetGameState();
void updateGame(float timeFactor);
void spawnBall(float x, float y, float z, float vx, float vy, float vz);
void spawnFigure(float x, float y, float z);
void moveFigure(Figure& figure, float f, Vector3 oldPosition, bool applyRope);
void rebuildWaterMesh();

// How opaque to draw a figure whose body is cameraToBody (world units) from a
// camera blended viewBlend (0 first person .. 1 third person) toward the
// trailing one: 1 at the figure's own size (2 units) and beyond, fading
// steadily to 0.15 at the body, so a near camera sees past it; 1 in first
// person whatever the distance.
float figureOpacity(float cameraToBody, float viewBlend);
// The player's opacity as the scene is seen now: figureOpacity of the view
// camera's distance to the line from the hips to the head, with camera
// collision, which pulls the camera near the body; 1 without it, so the
// figure is drawn as ever.
float playerOpacity();
