// enemies.cpp: the enemy pass. Each enemy walks toward the player, crowds the
// other enemies and the player by pushing, and reaches both hands toward the
// player. There is no attack and no health.
#include <cmath>

#include "game/pose.h"
#include "game/update_steps.h"

const float PI = 3.14159265f;
const float CHASE_ACCELERATION = 0.005f; // units per tick per tick
const float PERSONAL_SPACE = 2.5f;       // bodies closer than this push apart
const float PUSH_STRENGTH = 0.1f;        // per unit of intrusion, an impulse (not scaled by f)

// Pushes a and b apart when closer than the personal space. The direction is
// the difference divided by the sum of its absolute components, so the push's
// components add up to k in magnitude. Coincident bodies have no direction
// and are left alone.
static void pushApart(Vector3 a, Vector3& velocityA, Vector3 b, Vector3& velocityB) {
    float dx = a.x - b.x;
    float dy = a.y - b.y;
    float dz = a.z - b.z;
    float d = std::sqrt(dx * dx + dy * dy + dz * dz);
    if (!(d < PERSONAL_SPACE)) {
        return;
    }
    float s = std::fabs(dx) + std::fabs(dy) + std::fabs(dz);
    if (s == 0.0f) {
        return;
    }
    float k = (PERSONAL_SPACE - d) * PUSH_STRENGTH;
    velocityA.x += k * dx / s;
    velocityA.y += k * dy / s;
    velocityA.z += k * dz / s;
    velocityB.x -= k * dx / s;
    velocityB.y -= k * dy / s;
    velocityB.z -= k * dz / s;
}

void updateEnemies(float f) {
    int i = 0;
    while (i < figureCount) {
        Figure& e = figures[i];
        if (farFromPlayer(e.position)) {
            removeFigure(i); // the next entry moved into slot i: examine it too
            continue;
        }
        const Vector3& p = player.position;
        e.yaw = std::atan2(p.z - e.position.z, p.x - e.position.x) + PI;
        float heading = e.yaw - PI;
        e.velocity.x += f * std::cos(heading) * CHASE_ACCELERATION;
        e.velocity.z += f * std::sin(heading) * CHASE_ACCELERATION;

        moveFigure(e, f, e.position, false);

        // Each close pair is pushed in both members' turns, with the
        // positions of that moment.
        for (int j = 0; j < figureCount; ++j) {
            if (j != i) {
                pushApart(e.position, e.velocity, figures[j].position, figures[j].velocity);
            }
        }
        pushApart(e.position, e.velocity, player.position, player.velocity);

        poseFigureBody(e);
        e.target = player.position;
        poseFigureArms(e);
        ++i;
    }
}
