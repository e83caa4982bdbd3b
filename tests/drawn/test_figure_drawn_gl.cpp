// What drawFigure sends to GL, caught in feedback mode: every joint and bone
// lands on the figure's pose points, whatever the pose, and the matrix is
// left as it was found.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "drawn_support_gl.h"
#include "render/figure_draw_gl.h"
#include "render/models.h"

namespace {

struct V {
    double x, y, z;
    V operator+(V b) const { return {x + b.x, y + b.y, z + b.z}; }
    V operator-(V b) const { return {x - b.x, y - b.y, z - b.z}; }
    V operator*(double s) const { return {x * s, y * s, z * s}; }
    double length() const { return std::sqrt(x * x + y * y + z * z); }
};

// The mean of each draw's vertices in world units, in draw order: head,
// torso, (shoulder, upper arm, forearm) x 2, hip, (hip, thigh, shin) x 2.
// An orthographic box of +-10 maps the window back to world units.
std::vector<V> drawnCentroids(const Figure& figure, bool& finite) {
    std::vector<float> buffer(200000);
    glViewport(0, 0, drawn::WIDTH, drawn::HEIGHT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-10, 10, -10, 10, -10, 10);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_CULL_FACE);
    glEnableClientState(GL_VERTEX_ARRAY);
    glFeedbackBuffer((GLsizei)buffer.size(), GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    drawFigure(figure);
    const int used = glRenderMode(GL_RENDER);
    glDisableClientState(GL_VERTEX_ARRAY);
    glEnable(GL_CULL_FACE);
    std::vector<V> vertices;
    finite = used > 0;
    for (int at = 0; at + 1 < used; at += 2 + 3 * (int)buffer[at + 1]) {
        finite = finite && buffer[at] == GL_POLYGON_TOKEN && buffer[at + 1] == 3;
        for (int k = 0; k < 3; k++) {
            const float* w = &buffer[at + 2 + 3 * k];
            finite = finite && std::isfinite(w[0]) && std::isfinite(w[1]) && std::isfinite(w[2]);
            vertices.push_back({w[0] * 20.0 / drawn::WIDTH - 10, w[1] * 20.0 / drawn::HEIGHT - 10,
                                10 - 20.0 * w[2]});
        }
    }
    std::vector<V> centroids;
    const int joint = jointModel.vertexCount, limb = limbModel.vertexCount;
    const int sizes[15] = {joint, limb, joint, limb, limb, joint, limb, limb,
                           joint, joint, limb, limb, joint, limb, limb};
    for (size_t d = 0, first = 0; d < 15 && first + sizes[d] <= vertices.size(); first += sizes[d++]) {
        V sum{0, 0, 0};
        for (int i = 0; i < sizes[d]; i++)
            sum = sum + vertices[first + i];
        centroids.push_back(sum * (1.0 / sizes[d]));
    }
    EXPECT_EQ(vertices.size(), (size_t)(6 * joint + 9 * limb));
    return centroids;
}

// A body at p facing yaw, hands and feet at offsets from shoulders and hips.
Figure makeFigure(V p, float yaw, float pitch, const V hands[2], const V feet[2]) {
    Figure f{};
    f.yaw = yaw, f.pitch = pitch;
    f.neck = {(float)p.x, (float)p.y + 1.25f, (float)p.z};
    f.head = {(float)p.x, (float)p.y + 1.65f, (float)p.z};
    f.hipCentre = {(float)p.x, (float)p.y + 0.25f, (float)p.z};
    for (int i = 0; i < 2; i++) {
        const float side = yaw + (i == 0 ? 1.570796325f : -1.570796325f);
        const float cx = 0.4f * std::cos(side), cz = 0.4f * std::sin(side);
        f.shoulderX[i] = f.neck.x + cx, f.shoulderY[i] = f.neck.y - 0.1f, f.shoulderZ[i] = f.neck.z + cz;
        f.hipX[i] = f.hipCentre.x + cx, f.hipY[i] = f.hipCentre.y - 0.1f, f.hipZ[i] = f.hipCentre.z + cz;
        f.handX[i] = f.shoulderX[i] + hands[i].x, f.handY[i] = f.shoulderY[i] + hands[i].y;
        f.handZ[i] = f.shoulderZ[i] + hands[i].z;
        f.footX[i] = f.hipX[i] + feet[i].x, f.footY[i] = f.hipY[i] + feet[i].y;
        f.footZ[i] = f.hipZ[i] + feet[i].z;
    }
    return f;
}

V along(double x, double y, double z, double reach) {
    return V{x, y, z} * (reach / V{x, y, z}.length());
}

void expectNear(V got, V want, const char* what, int i) {
    EXPECT_LT((got - want).length(), 0.01) << what << " " << i << ": " << got.x << " " << got.y
                                           << " " << got.z;
}

} // namespace

// Each limb is two bones of one unit; the limb model's mean lies on its axis
// a fraction t of the way along, so the mean of the next bone's model says
// where the bone before it ended.
TEST(FigureDrawn, LimbsEndAtTheirHandsAndFeet) {
    V limbMean{0, 0, 0};
    for (int i = 0; i < limbModel.vertexCount; i++)
        limbMean = limbMean + V{limbModel.positions[i].x, limbModel.positions[i].y, limbModel.positions[i].z};
    const double t = -limbMean.y / limbModel.vertexCount;
    ASSERT_GT(t, 0.5);
    const struct {
        V at;
        float yaw, pitch;
        V hands[2], feet[2];
    } poses[] = {
        {{0, -1, 0}, 0.7f, 0.3f, {along(1, 0.5, 0.4, 1.95), along(1, 0.6, -0.2, 1.95)},
         {along(0.3, -1, 0.1, 1.8), along(-0.4, -1, -0.1, 1.6)}}, // reaching forward and up
        {{1, -1, -2}, -2.3f, -0.5f, {along(-0.2, -1, 0.3, 0.7), along(0.5, -0.3, 0.9, 1.2)},
         {along(0.05, -1, 0.6, 1.9), along(-0.1, -1, -0.7, 1.5)}}, // crouched, feet to the sides
        {{-1, 0, 1}, 3.0f, 0.0f, {along(-0.3, 1, 0.2, 1.9), along(-1, 0.4, 0, 1.3)},
         {along(-0.5, -1, 0, 1.99), along(0.6, -1, 0.2, 1.99)}}, // hands above the shoulders
        {{0, -1, 0}, 0.4f, 0.0f, {V{0.3, 0.001, 1.2}, along(1, -1, 0, 1.9)},
         {V{0, -1.9, 0}, V{0, -1.2, 0}}}, // feet straight below the hips
        {{0, -1, 0}, 0.2f, 0.0f, {along(1, 0.2, 0.1, 2.0000005), along(0.1, -1, 0.2, 2.001)},
         {along(0.1, -1, 0, 2.0000005), along(0, -1, 0.2, 2.001)}}, // stretched a hair too far
    };
    for (const auto& pose : poses) {
        const Figure f = makeFigure(pose.at, pose.yaw, pose.pitch, pose.hands, pose.feet);
        bool finite = false;
        const std::vector<V> c = drawnCentroids(f, finite);
        EXPECT_TRUE(finite);
        ASSERT_EQ(c.size(), 15u);
        expectNear(c[0], {f.head.x, f.head.y, f.head.z}, "head", 0);
        expectNear(c[1], V{f.neck.x, f.neck.y - 1.0, f.neck.z} + V{0, t, 0}, "torso", 0);
        expectNear(c[8], {f.hipCentre.x, f.hipCentre.y, f.hipCentre.z}, "hip centre", 0);
        if (&pose == &poses[4])
            continue; // out of reach: only finite
        for (int i = 0; i < 4; i++) {
            const int d = i < 2 ? 2 + 3 * i : 9 + 3 * (i - 2), l = i % 2;
            const V root = i < 2 ? V{f.shoulderX[l], f.shoulderY[l], f.shoulderZ[l]}
                                 : V{f.hipX[l], f.hipY[l], f.hipZ[l]};
            const V end = i < 2 ? V{f.handX[l], f.handY[l], f.handZ[l]} : V{f.footX[l], f.footY[l], f.footZ[l]};
            const V middle = c[d] + (c[d + 1] - c[d]) * (1.0 / t);
            expectNear(c[d], root, "root", i);
            EXPECT_NEAR((middle - c[d]).length(), 1.0, 0.01) << "first bone " << i;
            expectNear(middle + (c[d + 2] - middle) * (1.0 / t), end, "end", i);
        }
    }
}

// A hand exactly level with its shoulder, one straight below it: the nudge
// keeps the maths finite; and the modelview matrix comes back unchanged.
TEST(FigureDrawn, DegeneratePosesStayFiniteAndTheMatrixIsKept) {
    const V hands[2] = {V{1.5, 0, 0}, V{0, -1.9, 0}}, feet[2] = {V{0, -1.9, 0}, V{0, -1.2, 0}};
    bool finite = false;
    drawnCentroids(makeFigure({0, -1, 0}, 0.0f, 0.0f, hands, feet), finite);
    EXPECT_TRUE(finite);
    glLoadIdentity();
    glTranslatef(1.5f, -2.0f, 3.0f);
    glRotatef(33.0f, 0.3f, 1.0f, 0.2f);
    float before[16], after[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, before);
    glEnableClientState(GL_VERTEX_ARRAY);
    drawFigure(makeFigure({0, 0, 0}, 1.0f, 0.2f, hands, feet));
    glDisableClientState(GL_VERTEX_ARRAY);
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    EXPECT_TRUE(std::equal(before, before + 16, after));
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
}
