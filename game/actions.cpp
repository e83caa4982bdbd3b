// actions.cpp: what the left mouse button does in each action mode, at the
// aim point. Held modes act once per update while the button stays down (so
// from the frame after the press); pressed modes act once per click.
#include <cmath>

#include "app/input.h"
#include "game/sound_events.h"
#include "game/update_steps.h"
#include "physics/collision.h"

const float BRUSH_RADIUS = 5.0f;
const float BRUSH_RATE = 0.01f;       // shaping amount per tick
const float BLOCK_AIM_OFFSET = 0.25f; // toward the camera to place, into the surface to remove
const float BALL_SPEED = 0.75f;       // units per tick, an impulse
const float ENEMY_AIM_OFFSET = 1.5f;  // enemies appear this far in front of the surface
const float FLIGHT_THRUST = 0.025f;   // units per tick per tick toward the aim

// Unit vector from a to b, or zero when they coincide.
static Vector3 directionTo(Vector3 a, Vector3 b) {
    float dx = b.x - a.x;
    float dy = b.y - a.y;
    float dz = b.z - a.z;
    float length = std::sqrt(dx * dx + dy * dy + dz * dz);
    if (!(length > 0.0f)) {
        return Vector3{0.0f, 0.0f, 0.0f};
    }
    return Vector3{dx / length, dy / length, dz / length};
}

static Vector3 alongAim(Vector3 n, float distance) {
    return Vector3{aimPoint.x + n.x * distance, aimPoint.y + n.y * distance,
                   aimPoint.z + n.z * distance};
}

bool setBlockAtPoint(Vector3 p, unsigned char value) {
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) {
        return false;
    }
    float fy = std::floor(p.y);
    if (fy < 0.0f || fy > (float)(WORLD_LEVELS - 1)) {
        return false;
    }
    // Wrap in floating point first: a body far along the endless world must
    // not overflow the conversion to int.
    double fx = std::fmod(std::floor((double)p.x), (double)WORLD_SIZE);
    double fz = std::fmod(std::floor((double)p.z), (double)WORLD_SIZE);
    int x = wrapCell((int)fx);
    int y = (int)fy;
    int z = wrapCell((int)fz);
    if (blocks[x][y][z] == value) {
        return false;
    }
    blocks[x][y][z] = value;
    markBlockCellDirty(x, y, z);
    return true;
}

void applyPlayerAction(float f) {
    bool held = mouseButtonState[MOUSE_LEFT] == Held;
    bool pressed = mouseButtonState[MOUSE_LEFT] == Pressed;
    Vector3 n = directionTo(viewCamera.position, aimPoint);

    const bool wasSwinging = player.swinging;
    const int ballsBefore = ballCount, figuresBefore = figureCount;
    bool holdingRope = false;
    if (held) {
        switch (actionType) {
        case ActionRaiseGround:
            shapeTerrain(aimPoint.x, aimPoint.y, aimPoint.z, BRUSH_RADIUS, BRUSH_RATE * f);
            recordSound(SoundBrush, aimPoint, 1.0f);
            break;
        case ActionLowerGround:
            shapeTerrain(aimPoint.x, aimPoint.y, aimPoint.z, BRUSH_RADIUS, -BRUSH_RATE * f);
            recordSound(SoundBrush, aimPoint, 1.0f);
            break;
        case ActionRemoveBlock:
            if (setBlockAtPoint(alongAim(n, BLOCK_AIM_OFFSET), 0)) {
                recordSound(SoundBlockRemove, aimPoint, 1.0f);
            }
            break;
        case ActionSwing:
            // The length is measured once, when the rope attaches.
            if (!player.swinging) {
                player.ropeAnchor = aimPoint;
                float dx = aimPoint.x - player.position.x;
                float dy = aimPoint.y - player.position.y;
                float dz = aimPoint.z - player.position.z;
                player.ropeLength = std::sqrt(dx * dx + dy * dy + dz * dz);
                recordSound(SoundRopeCatch, aimPoint, 1.0f);
            }
            player.swinging = true;
            holdingRope = true;
            break;
        default:
            break;
        }
    }

    if (!holdingRope) {
        if (pressed && actionType == ActionSpawnBlock &&
            setBlockAtPoint(alongAim(n, -BLOCK_AIM_OFFSET), 1)) {
            recordSound(SoundBlockPlace, aimPoint, 1.0f);
        }
        if (wasSwinging) {
            recordSound(SoundRopeRelease, player.position, 1.0f);
        }
        player.swinging = false;
        if (pressed) {
            switch (actionType) {
            case ActionShootBall: {
                Vector3 hand{player.handX[0], player.handY[0], player.handZ[0]};
                Vector3 d = directionTo(hand, aimPoint);
                spawnBall(hand.x, hand.y, hand.z, BALL_SPEED * d.x, BALL_SPEED * d.y,
                          BALL_SPEED * d.z);
                break;
            }
            case ActionSlowMotion:
                slowMotion = !slowMotion;
                recordUiSound(slowMotion ? SoundSlowOn : SoundSlowOff);
                break;
            case ActionSpawnEnemy: {
                Vector3 at = alongAim(n, -ENEMY_AIM_OFFSET);
                spawnFigure(at.x, at.y, at.z);
                break;
            }
            default:
                break;
            }
        }
    }

    if (ballCount > ballsBefore) {
        recordSound(SoundThrow, Vector3{player.handX[0], player.handY[0], player.handZ[0]}, 1.0f);
    }
    if (figureCount > figuresBefore) {
        recordSound(SoundEnemy, figures[figureCount - 1].position, 1.0f);
    }
    player.flying = false;
    if (held && actionType == ActionFly) {
        player.flying = true;
        player.velocity.x += f * FLIGHT_THRUST * n.x;
        player.velocity.y += f * FLIGHT_THRUST * n.y;
        player.velocity.z += f * FLIGHT_THRUST * n.z;
    }
}
