// test_figure_drawn_gl.cpp: what drawFigure sends to GL, caught with GL's
// feedback mode: every joint and bone must land on the pose points the figure
// carries, whatever the pose, and the matrix must be left as it was found.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "drawn_support_gl.h"
#include "render/figure_draw_gl.h"
#include "render/models.h"

namespace {

const int WIDTH = 800;
const int HEIGHT = 600;
const float BOX = 10.0f; // the orthographic volume is [-10, 10] on every axis
const int JOINT_TRIANGLES = 72;
const int LIMB_TRIANGLES = 88;
const float TOLERANCE = 0.01f; // world units

class FigureEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        drawn::openWindow(WIDTH, HEIGHT);
        buildModels();
        scaleModels();
    }
};
::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new FigureEnvironment);

struct V {
    double x, y, z;
};
V operator+(V a, V b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
V operator-(V a, V b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
V operator*(V a, double s) {
    return {a.x * s, a.y * s, a.z * s};
}
double length(V a) {
    return std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z);
}

// Mean of a model's vertices in its own space.
V modelCentroid(const Model& m) {
    V sum{0, 0, 0};
    for (int i = 0; i < m.vertexCount; i++)
        sum = sum + V{m.positions[i].x, m.positions[i].y, m.positions[i].z};
    return sum * (1.0 / m.vertexCount);
}

// One figure drawn in feedback mode under an orthographic box: the mean
// world position of each draw's vertices, in draw order.
std::vector<V> drawnCentroids(const Figure& figure, int& triangles, bool& finite) {
    std::vector<float> buffer(200000, 0.0f);
    glViewport(0, 0, WIDTH, HEIGHT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-BOX, BOX, -BOX, BOX, -BOX, BOX);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_CULL_FACE);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glFeedbackBuffer((GLsizei)buffer.size(), GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    drawFigure(figure);
    const int used = glRenderMode(GL_RENDER);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnable(GL_CULL_FACE);

    // Window coordinates back to the box: x, y over the viewport, z over 0..1.
    std::vector<V> vertices;
    finite = used > 0;
    triangles = 0;
    for (int at = 0; at < used;) {
        const int token = (int)buffer[at++];
        if (token != GL_POLYGON_TOKEN) {
            finite = false;
            break;
        }
        const int count = (int)buffer[at++];
        if (count == 3)
            triangles++;
        for (int k = 0; k < count; k++) {
            const float wx = buffer[at], wy = buffer[at + 1], wz = buffer[at + 2];
            at += 3;
            finite = finite && std::isfinite(wx) && std::isfinite(wy) && std::isfinite(wz);
            if (count == 3) {
                vertices.push_back({(wx / (WIDTH * 0.5) - 1.0) * BOX,
                                    (wy / (HEIGHT * 0.5) - 1.0) * BOX, BOX - 2.0 * BOX * wz});
            }
        }
    }
    // Split into the draws, 72 triangles per joint and 88 per limb, in the
    // order head, torso, (shoulder, upper arm, forearm) x 2, hip, (hip,
    // thigh, shin) x 2.
    const int sizes[15] = {JOINT_TRIANGLES, LIMB_TRIANGLES,  JOINT_TRIANGLES, LIMB_TRIANGLES,
                           LIMB_TRIANGLES,  JOINT_TRIANGLES, LIMB_TRIANGLES,  LIMB_TRIANGLES,
                           JOINT_TRIANGLES, JOINT_TRIANGLES, LIMB_TRIANGLES,  LIMB_TRIANGLES,
                           JOINT_TRIANGLES, LIMB_TRIANGLES,  LIMB_TRIANGLES};
    std::vector<V> centroids;
    size_t first = 0;
    for (int d = 0; d < 15 && first + sizes[d] * 3 <= vertices.size(); d++) {
        V sum{0, 0, 0};
        for (int i = 0; i < sizes[d] * 3; i++)
            sum = sum + vertices[first + i];
        centroids.push_back(sum * (1.0 / (sizes[d] * 3)));
        first += sizes[d] * 3;
    }
    return centroids;
}

void expectPoint(V actual, V expected, const std::string& what) {
    EXPECT_LT(length(actual - expected), TOLERANCE)
        << what << ": got (" << actual.x << ", " << actual.y << ", " << actual.z << "), expected ("
        << expected.x << ", " << expected.y << ", " << expected.z << ")";
}

// A body standing at p, facing yaw, with the hands and feet given relative
// to their shoulder and hip.
Figure makeFigure(V p, float yaw, float pitch, V hand0, V hand1, V foot0, V foot1) {
    Figure f{};
    f.position = {(float)p.x, (float)p.y, (float)p.z};
    f.yaw = yaw;
    f.pitch = pitch;
    f.neck = {(float)p.x, (float)p.y + 1.25f, (float)p.z};
    f.head = {(float)p.x, (float)p.y + 1.65f, (float)p.z};
    f.hipCentre = {(float)p.x, (float)p.y + 0.25f, (float)p.z};
    const V hands[2] = {hand0, hand1};
    const V feet[2] = {foot0, foot1};
    for (int i = 0; i < 2; i++) {
        const float side = yaw + (i == 0 ? 1.570796325f : -1.570796325f);
        f.shoulderX[i] = f.neck.x + 0.4f * std::cos(side);
        f.shoulderY[i] = f.neck.y - 0.1f;
        f.shoulderZ[i] = f.neck.z + 0.4f * std::sin(side);
        f.handX[i] = f.shoulderX[i] + (float)hands[i].x;
        f.handY[i] = f.shoulderY[i] + (float)hands[i].y;
        f.handZ[i] = f.shoulderZ[i] + (float)hands[i].z;
        f.hipX[i] = f.hipCentre.x + 0.4f * std::cos(side);
        f.hipY[i] = f.hipCentre.y - 0.1f;
        f.hipZ[i] = f.hipCentre.z + 0.4f * std::sin(side);
        f.footX[i] = f.hipX[i] + (float)feet[i].x;
        f.footY[i] = f.hipY[i] + (float)feet[i].y;
        f.footZ[i] = f.hipZ[i] + (float)feet[i].z;
    }
    return f;
}

// Checks every draw of one figure against its pose points.
void expectFigureOnItsPose(const Figure& f, const char* what) {
    const std::string name = what;
    const V joint = modelCentroid(jointModel);
    const V limb = modelCentroid(limbModel);
    // The limb's mean lies on its axis, a fraction t of the way to its end.
    ASSERT_LT(length(joint), 1e-4) << "joint model centred";
    ASSERT_LT(std::fabs(limb.x) + std::fabs(limb.z), 1e-4) << "limb model on its axis";
    const double t = -limb.y;
    ASSERT_GT(t, 0.5);

    int triangles = 0;
    bool finite = false;
    const std::vector<V> c = drawnCentroids(f, triangles, finite);
    EXPECT_TRUE(finite) << what;
    EXPECT_EQ(triangles, 6 * JOINT_TRIANGLES + 9 * LIMB_TRIANGLES) << what;
    ASSERT_EQ(c.size(), 15u) << what;

    expectPoint(c[0], V{f.head.x, f.head.y, f.head.z}, name + " head");
    // The torso: a rod from 1 below the neck up to the neck.
    const V torsoBase = {f.neck.x, f.neck.y - 1.0, f.neck.z};
    expectPoint(c[1], torsoBase + V{0, t, 0}, name + " torso");
    for (int i = 0; i < 2; i++) {
        const V shoulder = {f.shoulderX[i], f.shoulderY[i], f.shoulderZ[i]};
        const V hand = {f.handX[i], f.handY[i], f.handZ[i]};
        const int d = 2 + 3 * i;
        expectPoint(c[d], shoulder, name + " shoulder " + std::to_string(i));
        const V elbow = c[d] + (c[d + 1] - c[d]) * (1.0 / t);
        const V reached = elbow + (c[d + 2] - elbow) * (1.0 / t);
        EXPECT_NEAR(length(elbow - c[d]), 1.0, TOLERANCE) << what << " upper arm " << i;
        expectPoint(reached, hand, name + " hand " + std::to_string(i));
    }
    expectPoint(c[8], V{f.hipCentre.x, f.hipCentre.y, f.hipCentre.z}, name + " hip centre");
    for (int i = 0; i < 2; i++) {
        const V hip = {f.hipX[i], f.hipY[i], f.hipZ[i]};
        const V foot = {f.footX[i], f.footY[i], f.footZ[i]};
        const int d = 9 + 3 * i;
        expectPoint(c[d], hip, name + " hip " + std::to_string(i));
        const V knee = c[d] + (c[d + 1] - c[d]) * (1.0 / t);
        const V reached = knee + (c[d + 2] - knee) * (1.0 / t);
        EXPECT_NEAR(length(knee - c[d]), 1.0, TOLERANCE) << what << " thigh " << i;
        expectPoint(reached, foot, name + " foot " + std::to_string(i));
    }
}

V along(double x, double y, double z, double reach) {
    const double l = std::sqrt(x * x + y * y + z * z);
    return {x / l * reach, y / l * reach, z / l * reach};
}

} // namespace

TEST(FigureDrawn, LimbsEndAtTheirHandsAndFeet) {
    // Standing, hands reaching forward and up at full length, feet a little
    // forward and back of the hips.
    expectFigureOnItsPose(makeFigure({0, -1, 0}, 0.7f, 0.3f, along(1, 0.5, 0.4, 1.95),
                                     along(1, 0.6, -0.2, 1.95), along(0.3, -1, 0.1, 1.8),
                                     along(-0.4, -1, -0.1, 1.6)),
                          "reaching");
    // Hands near the body and low, feet out to either side (side > 0 and < 0).
    expectFigureOnItsPose(makeFigure({1, -1, -2}, -2.3f, -0.5f, along(-0.2, -1, 0.3, 0.7),
                                     along(0.5, -0.3, 0.9, 1.2), along(0.05, -1, 0.6, 1.9),
                                     along(-0.1, -1, -0.7, 1.5)),
                          "crouched");
    // Hands above the shoulders (the elevation's half turn) and behind.
    expectFigureOnItsPose(makeFigure({-1, 0, 1}, 3.0f, 0.0f, along(-0.3, 1, 0.2, 1.9),
                                     along(-1, 0.4, 0, 1.3), along(-0.5, -1, 0, 1.99),
                                     along(0.6, -1, 0.2, 1.99)),
                          "hands up");
}

TEST(FigureDrawn, DegeneratePosesStayFinite) {
    // A hand exactly level with its shoulder and one straight below it: the
    // 0.001 nudge keeps the arm maths finite. Feet straight below the hips
    // (no forward or side offset) hang straight before the knee bends.
    Figure f = makeFigure({0, -1, 0}, 0.0f, 0.0f, V{1.5, 0, 0}, V{0, -1.9, 0}, V{0, -1.9, 0},
                          V{0, -1.2, 0});
    f.handY[0] = f.shoulderY[0];
    f.handX[1] = f.shoulderX[1];
    f.handZ[1] = f.shoulderZ[1];
    int triangles = 0;
    bool finite = false;
    drawnCentroids(f, triangles, finite);
    EXPECT_TRUE(finite);
    expectFigureOnItsPose(makeFigure({0, -1, 0}, 0.4f, 0.0f, V{0.3, 0.001, 1.2},
                                     along(1, -1, 0, 1.9), V{0, -1.9, 0}, V{0, -1.2, 0}),
                          "feet below hips");

    // Limbs stretched a hair past two bone lengths: the half-length given to
    // acos and asin rounds above 1, which must not turn into NaN.
    f = makeFigure({0, -1, 0}, 0.2f, 0.0f, along(1, 0.2, 0.1, 2.0000005),
                   along(0.1, -1, 0.2, 2.001), along(0.1, -1, 0, 2.0000005),
                   along(0, -1, 0.2, 2.001));
    drawnCentroids(f, triangles, finite);
    EXPECT_TRUE(finite) << "stretched limbs";
    EXPECT_EQ(triangles, 6 * JOINT_TRIANGLES + 9 * LIMB_TRIANGLES);
}

TEST(FigureDrawn, LeavesTheMatrixAsItFoundIt) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(1.5f, -2.0f, 3.0f);
    glRotatef(33.0f, 0.3f, 1.0f, 0.2f);
    float before[16], after[16];
    GLint depthBefore = 0, depthAfter = 0;
    glGetFloatv(GL_MODELVIEW_MATRIX, before);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthBefore);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    drawFigure(makeFigure({0, 0, 0}, 1.0f, 0.2f, along(1, 0, 0, 1.9), along(0, -1, 1, 1.0),
                          along(0, -1, 0.2, 1.8), along(0.3, -1, 0, 1.7)));
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthAfter);
    EXPECT_EQ(depthAfter, depthBefore);
    for (int i = 0; i < 16; i++)
        EXPECT_EQ(after[i], before[i]) << i;
    GLint matrixMode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &matrixMode);
    EXPECT_EQ(matrixMode, GL_MODELVIEW);
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
}
