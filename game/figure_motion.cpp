// figure_motion.cpp: the motion step every figure goes through once per
// update: integrate, hold to the rope, collide, decide whether it stands, and
// derive the new velocity from how far the body really moved. Because the
// velocity comes from the displacement after the collision, a surface that
// stops the body also removes the velocity into it.
#include <cmath>

#include "game/game.h"
#include "physics/collision.h"

const float BODY_RADIUS = 1.25f;
const float WALK_DAMPING_HORIZONTAL = 0.08f; // per tick, walking or falling
const float WALK_DAMPING_VERTICAL = 0.09f;   // per tick, walking or falling
const float GRAVITY_AIRBORNE = 0.02f;        // units per tick per tick
const float GRAVITY_STANDING = 0.0075f;      // keeps a standing body pressed down
const float ROPE_DAMPING = 0.05f;            // per tick on every axis, flying or swinging
const float GRAVITY_SWINGING = 0.01f;        // flying has none

void moveFigure(Figure& figure, float f, Vector3 oldPosition, bool applyRope) {
    Vector3& p = figure.position;
    Vector3& v = figure.velocity;
    const Vector3 start = p;
    p.x += f * v.x;
    p.y += f * v.y;
    p.z += f * v.z;
    Vector3 moved = p; // where the velocity alone took the body

    // The rope is a rigid rod: it pulls the body in and holds it out. A body
    // exactly at the anchor has no direction to be held along and stays put.
    if (applyRope && figure.swinging) {
        float dx = p.x - figure.ropeAnchor.x;
        float dy = p.y - figure.ropeAnchor.y;
        float dz = p.z - figure.ropeAnchor.z;
        float length = std::sqrt(dx * dx + dy * dy + dz * dz);
        if (length > 0.0f) {
            p.x = figure.ropeAnchor.x + dx * figure.ropeLength / length;
            p.y = figure.ropeAnchor.y + dy * figure.ropeLength / length;
            p.z = figure.ropeAnchor.z + dz * figure.ropeLength / length;
        }
    }

    bool contact = collideSphereWithWorld(p.x, p.y, p.z, BODY_RADIUS);
    // Standing: the collision left the body higher than its own vertical
    // motion would have.
    figure.onGround =
        contact && (oldPosition.y + f * v.y < p.y) && !figure.swinging && !figure.flying;

    // With no time passing there is no displacement to measure a velocity
    // from; the body keeps the one it had.
    if (!(f > 0.0f)) {
        return;
    }
    // The displacement is the velocity's own step plus whatever the rope and
    // the collision changed. Measured as position - old it would be rounded
    // to the position's precision, and a velocity of a few units in the last
    // place would then be rebuilt from its own rounding every update instead
    // of dying away: a resting body would creep, faster the farther it is
    // from the origin of the endless world.
    float dx = (start.x - oldPosition.x) + f * v.x + (p.x - moved.x);
    float dy = (start.y - oldPosition.y) + f * v.y + (p.y - moved.y);
    float dz = (start.z - oldPosition.z) + f * v.z + (p.z - moved.z);
    if (figure.flying || figure.swinging) {
        float keep = 1.0f - ROPE_DAMPING * f;
        v.x = keep * dx / f;
        v.y = keep * dy / f;
        v.z = keep * dz / f;
        if (!figure.flying) {
            v.y -= GRAVITY_SWINGING * f;
        }
        return;
    }
    float keepHorizontal = 1.0f - WALK_DAMPING_HORIZONTAL * f;
    float keepVertical = 1.0f - WALK_DAMPING_VERTICAL * f;
    float gravity = figure.onGround ? GRAVITY_STANDING : GRAVITY_AIRBORNE;
    v.x = keepHorizontal * dx / f;
    v.z = keepHorizontal * dz / f;
    v.y = keepVertical * dy / f - gravity * f;
}
