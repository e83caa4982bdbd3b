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

// A new game from the seed, then two seconds of game time without input: the
// player drops to the floor and the cameras and the figure take their pose.
inline void startGame(unsigned seed = 20261207) {
    srand(seed);
    newGame();
    mouseInWindow = false;
    for (int i = 0; i < 120; i++)
        updateGame(1.0f), rebuildDirtyChunks();
}

// Enemies on rings round the player, facing it with their arms reaching for
// it, and balls at rest in a fixed scatter through the view from 3 to 25 units
// ahead. Nothing moves afterwards unless the game is updated.
inline void addCrowd() {
    const Vector3 c = player.position;
    for (int k = 0; k < MAX_FIGURES; k++) {
        const float angle = 6.2831853f * (float)k / (float)MAX_FIGURES, r = 4.0f + 2.0f * (k % 5);
        spawnFigure(c.x + r * std::sin(angle), c.y, c.z + r * std::cos(angle));
        Figure& enemy = figures[figureCount - 1];
        enemy.yaw = angle, enemy.target = c;
        poseFigureBody(enemy), poseFigureArms(enemy);
    }
    float m[16];
    cameraModelviewMatrix(m, viewCamera);
    const Vector3 eye = viewCamera.position;
    for (int k = 0; k < MAX_BALLS; k++) {
        const float d = 3.0f + 22.0f * (float)((k * 37) % 100) / 100.0f;
        const float a = -0.7f + 1.4f * (float)((k * 53) % 97) / 96.0f;
        const float b = -0.35f + 0.7f * (float)((k * 29) % 89) / 88.0f;
        spawnBall(eye.x + d * (-m[2] + a * m[0] + b * m[1]),
                  eye.y + d * (-m[6] + a * m[4] + b * m[5]),
                  eye.z + d * (-m[10] + a * m[8] + b * m[9]), 0.0f, 0.0f, 0.0f);
    }
}

inline void removeCrowd() {
    figureCount = ballCount = 0;
}

} // namespace fixed_scenes
