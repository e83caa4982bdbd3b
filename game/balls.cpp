// balls.cpp: the ball pass. A thrown ball flies under gravity and sticks at
// the first surface it meets; its velocity is then exactly zero and it never
// moves again. Balls and figures pass through each other.
#include "game/sound_events.h"
#include "game/update_steps.h"
#include "physics/collision.h"

const float BALL_GRAVITY = 0.01f; // units per tick per tick

void updateBalls(float f) {
    int i = 0;
    while (i < ballCount) {
        Ball& b = balls[i];
        if (farFromPlayer(b.position)) {
            removeBall(i); // the next entry moved into slot i: examine it too
            continue;
        }
        // Only kind 0 is ever created; any other kind is left where it is.
        bool moving = b.velocity.x != 0.0f || b.velocity.y != 0.0f || b.velocity.z != 0.0f;
        if (b.kind == 0 && moving) {
            Vector3 old = b.position;
            b.position.x += f * b.velocity.x;
            b.position.y += f * b.velocity.y;
            b.position.z += f * b.velocity.z;
            bool hit =
                clipSegmentToWorld(old.x, old.y, old.z, b.position.x, b.position.y, b.position.z);
            if (hit) {
                b.velocity = Vector3{0.0f, 0.0f, 0.0f};
                recordSound(SoundBallHit, b.position, 1.0f);
            } else {
                b.velocity.y -= BALL_GRAVITY * f;
            }
        }
        ++i;
    }
}
