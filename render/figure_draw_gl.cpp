// figure_draw_gl.cpp: turns a figure's pose points into limb rotations (a
// two-bone solve with both bones one unit long) and draws the joint and limb
// models under the current modelview matrix, leaving it as it was found.
#include "render/figure_draw_gl.h"

#include <GL/gl.h>

#include <cmath>

#include "game/models.h"

static const float RADIANS_TO_DEGREES = 57.2957795f;
static const float PI = 3.14159265f;
static const float HALF_PI = 1.570796325f;
static const float BONE_LENGTH = 1.0f; // upper arm, forearm, thigh and shin
static const float NUDGE = 0.001f;     // keeps the arm quotients finite
static const float TORSO_DROP = 1.0f;  // the torso rod hangs from the neck this far

void drawModel(const Model& model) {
    glVertexPointer(3, GL_FLOAT, 0, model.positions);
    glTexCoordPointer(2, GL_FLOAT, 0, model.texCoords);
    glDrawArrays(GL_TRIANGLES, 0, model.vertexCount);
}

// Rounding can carry a half-length a hair past 1 for a fully stretched limb;
// acos and asin would then give NaN and the limb would vanish.
static float clampUnit(float v) {
    return v > 1.0f ? 1.0f : (v < -1.0f ? -1.0f : v);
}

static void rotateDegrees(float radians, float ax, float ay, float az) {
    glRotatef(radians * RADIANS_TO_DEGREES, ax, ay, az);
}

static void drawArm(float sx, float sy, float sz, float hx, float hy, float hz) {
    // A hand level with, or in line with, its shoulder would divide by zero.
    if (hx == sx) {
        sx += NUDGE;
    }
    if (hy == sy) {
        sy += NUDGE;
    }
    if (hz == sz) {
        sz += NUDGE;
    }
    const float dx = sx - hx;
    const float dy = sy - hy;
    const float dz = sz - hz;
    const float length = std::sqrt(dx * dx + dy * dy + dz * dz);
    const float armYaw = std::atan2(dx, dz);
    float elevation = std::atan(std::sqrt(dx * dx + dz * dz) / dy);
    if (hy >= sy) {
        elevation += PI;
    }
    const float half = clampUnit(length * 0.5f / BONE_LENGTH);
    const float bend = std::acos(half);

    glPushMatrix();
    glTranslatef(sx, sy, sz);
    glRotatef(armYaw * RADIANS_TO_DEGREES - 180.0f, 0.0f, 1.0f, 0.0f);
    drawModel(jointModel);
    rotateDegrees(-elevation, 1.0f, 0.0f, 0.0f);
    rotateDegrees(bend, 1.0f, 0.0f, 0.0f);
    drawModel(limbModel);
    glTranslatef(0.0f, -BONE_LENGTH, 0.0f);
    glRotatef(-bend * RADIANS_TO_DEGREES - 90.0f, 1.0f, 0.0f, 0.0f);
    rotateDegrees(std::asin(half), 1.0f, 0.0f, 0.0f);
    drawModel(limbModel);
    glPopMatrix();
}

static void drawLeg(const Figure& figure, int leg) {
    const float c = std::cos(figure.yaw);
    const float s = std::sin(figure.yaw);
    const float dx = figure.footX[leg] - figure.hipX[leg];
    const float dy = figure.footY[leg] - figure.hipY[leg];
    const float dz = figure.footZ[leg] - figure.hipZ[leg];
    const float forward = c * dx + s * dz;
    const float side = c * dz - s * dx;

    // Swing the leg forward or back into the plane of the foot...
    float a1 = 0.0f;
    if (forward > 0.0f) {
        a1 = std::atan(dy / forward) + HALF_PI;
    } else if (forward < 0.0f) {
        a1 = std::atan(dy / forward) - HALF_PI;
    }
    const float ca = std::cos(a1);
    const float sa = std::sin(a1);
    const float forward2 = ca * forward + sa * dy;
    const float dy2 = ca * dy - sa * forward;
    // ...then out to the side, then bend the knee to shorten it to the foot.
    float a2 = 0.0f;
    if (side > 0.0f) {
        a2 = -std::atan(dy2 / side) - HALF_PI;
    } else if (side < 0.0f) {
        a2 = HALF_PI - std::atan(dy2 / side);
    }
    const float length = std::sqrt(forward2 * forward2 + dy2 * dy2 + side * side);
    const float half = clampUnit(length * 0.5f / BONE_LENGTH);
    const float a3 = -std::acos(half);

    glPushMatrix();
    glTranslatef(figure.hipX[leg], figure.hipY[leg], figure.hipZ[leg]);
    rotateDegrees(-figure.yaw, 0.0f, 1.0f, 0.0f);
    drawModel(jointModel);
    rotateDegrees(a1, 0.0f, 0.0f, 1.0f);
    rotateDegrees(a2, 1.0f, 0.0f, 0.0f);
    rotateDegrees(a3, 0.0f, 0.0f, 1.0f);
    drawModel(limbModel);
    glTranslatef(0.0f, -BONE_LENGTH, 0.0f);
    rotateDegrees(HALF_PI - (std::asin(half) + a3), 0.0f, 0.0f, 1.0f);
    drawModel(limbModel);
    glPopMatrix();
}

void drawFigure(Figure figure) {
    glPushMatrix();
    glTranslatef(figure.head.x, figure.head.y, figure.head.z);
    rotateDegrees(-figure.yaw, 0.0f, 1.0f, 0.0f);
    rotateDegrees(figure.pitch, 0.0f, 0.0f, 1.0f);
    drawModel(jointModel);
    glPopMatrix();

    // The torso rod is the limb model turned upside down, its ball at the neck.
    glPushMatrix();
    glTranslatef(figure.neck.x, figure.neck.y - TORSO_DROP, figure.neck.z);
    rotateDegrees(-figure.yaw, 0.0f, 1.0f, 0.0f);
    glRotatef(180.0f, 1.0f, 0.0f, 0.0f);
    drawModel(limbModel);
    glPopMatrix();

    for (int arm = 0; arm < 2; arm++) {
        drawArm(figure.shoulderX[arm], figure.shoulderY[arm], figure.shoulderZ[arm],
                figure.handX[arm], figure.handY[arm], figure.handZ[arm]);
    }

    glPushMatrix();
    glTranslatef(figure.hipCentre.x, figure.hipCentre.y, figure.hipCentre.z);
    rotateDegrees(-figure.yaw, 0.0f, 1.0f, 0.0f);
    drawModel(jointModel);
    glPopMatrix();

    for (int leg = 0; leg < 2; leg++) {
        drawLeg(figure, leg);
    }
}
