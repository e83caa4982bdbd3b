// pose.cpp: the two pose steps that place a figure's joints every update.
// There is no skeleton and no animation clip: the feet stay planted where
// they were put down until the leg stretches too far, then step to the ground
// under the hip; the hands reach a fixed length toward the target. Walking
// and reaching both come out of these rules.
#include <cmath>

#include "game/pose.h"
#include "physics/collision.h"

const float HALF_PI = 1.570796325f;
const float NECK_HEIGHT = 1.25f; // above the body's centre
const float HEAD_OFFSET = 0.4f;  // from the neck, tipping forward as the figure looks down
const float HIP_HEIGHT = 0.25f;  // hip centre above the body's centre
const float JOINT_SPREAD = 0.4f; // hips and shoulders out to either side
const float JOINT_DROP = 0.1f;   // hips below the hip centre, shoulders below the neck
const float LEG_REACH = 1.99f;   // a foot steps when it is this far from its hip
const float ARM_REACH = 1.95f;   // hands reach exactly this far toward the target

// Side angle of limb i: index 0 on the side of yaw + pi/2, index 1 of yaw - pi/2.
static float sideAngle(const Figure& figure, int i) {
    return i == 0 ? figure.yaw + HALF_PI : figure.yaw - HALF_PI;
}

void poseFigureBody(Figure& figure) {
    const Vector3& p = figure.position;
    figure.neck = Vector3{p.x, p.y + NECK_HEIGHT, p.z};
    float a = figure.pitch + HALF_PI;
    figure.head.x = figure.neck.x + HEAD_OFFSET * (std::cos(a) * std::cos(figure.yaw));
    figure.head.y = figure.neck.y + HEAD_OFFSET * std::sin(a);
    figure.head.z = figure.neck.z + HEAD_OFFSET * (std::cos(a) * std::sin(figure.yaw));
    figure.hipCentre = Vector3{p.x, p.y + HIP_HEIGHT, p.z};

    for (int i = 0; i < 2; ++i) {
        float side = sideAngle(figure, i);
        float hx = figure.hipCentre.x + JOINT_SPREAD * std::cos(side);
        float hy = figure.hipCentre.y - JOINT_DROP;
        float hz = figure.hipCentre.z + JOINT_SPREAD * std::sin(side);
        figure.hipX[i] = hx;
        figure.hipY[i] = hy;
        figure.hipZ[i] = hz;

        float dx = hx - figure.footX[i];
        float dy = hy - figure.footY[i];
        float dz = hz - figure.footZ[i];
        float stretch = std::sqrt(dx * dx + dy * dy + dz * dz);
        bool mustStep = !figure.footPlanted[i] || hy <= figure.footY[i] || stretch >= LEG_REACH;
        if (!mustStep) {
            continue; // the foot stays where it is in the world while the body moves on
        }
        // Put the foot down on the first surface below the hip; with nothing
        // within reach it hangs at full length and tries again next update.
        figure.footX[i] = hx;
        figure.footY[i] = hy - LEG_REACH;
        figure.footZ[i] = hz;
        figure.footPlanted[i] =
            clipSegmentToWorld(hx, hy, hz, figure.footX[i], figure.footY[i], figure.footZ[i]);
    }
}

void poseFigureArms(Figure& figure) {
    const Vector3& t = figure.target;
    for (int i = 0; i < 2; ++i) {
        float side = sideAngle(figure, i);
        float sx = figure.neck.x + JOINT_SPREAD * std::cos(side);
        float sy = figure.neck.y - JOINT_DROP;
        float sz = figure.neck.z + JOINT_SPREAD * std::sin(side);
        figure.shoulderX[i] = sx;
        figure.shoulderY[i] = sy;
        figure.shoulderZ[i] = sz;

        float dx = t.x - sx;
        float dy = t.y - sy;
        float dz = t.z - sz;
        float distance = std::sqrt(dx * dx + dy * dy + dz * dz);
        // A target exactly at the shoulder gives no direction to reach in:
        // that hand stays at the shoulder.
        figure.handX[i] = sx;
        figure.handY[i] = sy;
        figure.handZ[i] = sz;
        if (distance > 0.0f) {
            figure.handX[i] += dx / distance * ARM_REACH;
            figure.handY[i] += dy / distance * ARM_REACH;
            figure.handZ[i] += dz / distance * ARM_REACH;
        }
        // A hand stops at the first surface between it and its shoulder.
        clipSegmentToWorld(sx, sy, sz, figure.handX[i], figure.handY[i], figure.handZ[i]);
    }
}
