// fixed_scenes_gl.h: the scenes the drawing benchmark and the picture test share,
// the same on every run: the game's own start on a world from a fixed seed,
// and a crowd added to it (every enemy the game allows standing round the
// player and every ball it allows hanging in view).
#pragma once

#include <cmath>
#include <cstdlib>

#include "app/input.h"
#include "game/game.h"
#include "meshing/chunks.h"
#include "render/frustum.h"
#include "render/pose.h"
#include "render/textures_gl.h"
#include "world/new_game.h"

namespace fixed_scenes {

const unsigned WORLD_SEED = 20261207;
const int SETTLE_UPDATES = 120; // two seconds of game time: the player lands

// A new game from the seed, then two seconds without input: the player drops
// to the floor and the cameras and the figure take their in-game pose.
inline void startGame(unsigned seed = WORLD_SEED) {
    srand(seed);
    newGame();
    mouseInWindow = false;
    for (int i = 0; i < SETTLE_UPDATES; i++) {
        updateGame(1.0f);
        rebuildDirtyChunks();
    }
}

// 50 enemies on rings round the player, facing it with their arms reaching
// for it, and 500 balls at rest spread through the view from 3 to 25 units
// ahead. Nothing moves afterwards unless the game is updated.
inline void addCrowd() {
    const Vector3 centre = player.position;
    for (int k = 0; k < MAX_FIGURES; k++) {
        const float angle = 6.2831853f * (float)k / (float)MAX_FIGURES;
        const float radius = 4.0f + 2.0f * (float)(k % 5);
        spawnFigure(centre.x + radius * std::sin(angle), centre.y,
                    centre.z + radius * std::cos(angle));
        Figure& enemy = figures[figureCount - 1];
        enemy.yaw = angle;
        enemy.target = centre;
        poseFigureBody(enemy);
        poseFigureArms(enemy);
    }
    float m[16];
    cameraModelviewMatrix(m, viewCamera);
    const Vector3 eye = viewCamera.position;
    const Vector3 right = {m[0], m[4], m[8]};
    const Vector3 up = {m[1], m[5], m[9]};
    const Vector3 ahead = {-m[2], -m[6], -m[10]};
    for (int k = 0; k < MAX_BALLS; k++) {
        // A fixed scatter: distance, then across and up within the view.
        const float d = 3.0f + 22.0f * (float)((k * 37) % 100) / 100.0f;
        const float a = -0.7f + 1.4f * (float)((k * 53) % 97) / 96.0f;
        const float b = -0.35f + 0.7f * (float)((k * 29) % 89) / 88.0f;
        spawnBall(eye.x + d * (ahead.x + a * right.x + b * up.x),
                  eye.y + d * (ahead.y + a * right.y + b * up.y),
                  eye.z + d * (ahead.z + a * right.z + b * up.z), 0.0f, 0.0f, 0.0f);
    }
}

inline void removeCrowd() {
    figureCount = 0;
    ballCount = 0;
}

} // namespace fixed_scenes
