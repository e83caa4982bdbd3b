// fixed_scenes_gl.h: scenes the drawing benchmark and the picture test share,
// the same on every run.
#pragma once

#include <cmath>
#include <cstdlib>

#include "app/input.h"
#include "game/game.h"
#include "game/new_game.h"
#include "game/pose.h"
#include "meshing/chunks.h"
#include "render/frustum.h"
#include "render/textures_gl.h"

namespace fixed_scenes {

// A world from a fixed seed and two seconds without input, so that the player
// has dropped to the floor and the cameras and the figure have their pose.
inline void startGame() {
    srand(20261207), setupWorldTexture(), setupNewWorld();
    mouseInWindow = false;
    for (int i = 0; i < 120; i++)
        updateGame(1.0f), rebuildDirtyChunks();
}

// The point d ahead of the eye, and a and b times d to the right and up.
inline Vector3 ahead(float d, float a, float b) {
    float m[16];
    cameraModelviewMatrix(m, viewCamera);
    const Vector3 e = viewCamera.position;
    return {e.x + d * (-m[2] + a * m[0] + b * m[1]), e.y + d * (-m[6] + a * m[4] + b * m[5]),
            e.z + d * (-m[10] + a * m[8] + b * m[9])};
}

// Every enemy the game allows on rings round the player, reaching for it, and
// every ball it allows at rest in a fixed scatter 3 to 25 units ahead.
inline void addCrowd() {
    const Vector3 c = player.position;
    for (int k = 0; k < MAX_FIGURES; k++) {
        const float angle = 6.2831853f * (float)k / (float)MAX_FIGURES, r = 4.0f + 2.0f * (k % 5);
        spawnFigure(c.x + r * std::sin(angle), c.y, c.z + r * std::cos(angle));
        Figure& enemy = figures[figureCount - 1];
        enemy.yaw = angle, enemy.target = c;
        poseFigureBody(enemy), poseFigureArms(enemy);
    }
    for (int k = 0; k < MAX_BALLS; k++) {
        const Vector3 p = ahead(3.0f + 22.0f * (float)((k * 37) % 100) / 100.0f,
                                -0.7f + 1.4f * (float)((k * 53) % 97) / 96.0f,
                                -0.35f + 0.7f * (float)((k * 29) % 89) / 88.0f);
        spawnBall(p.x, p.y, p.z, 0.0f, 0.0f, 0.0f);
    }
}

inline void removeCrowd() {
    figureCount = ballCount = 0;
}

} // namespace fixed_scenes
