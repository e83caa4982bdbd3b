// What drawFigure sends to GL, caught in feedback mode: joints and bones land
// on the figure's pose points whatever the pose, and the matrix is kept.
#include "drawn_support_gl.h"
#include "render/figure_draw_gl.h"
#include "render/models.h"

struct V {
    double x, y, z;
    V operator+(V b) const { return {x + b.x, y + b.y, z + b.z}; }
    V operator-(V b) const { return {x - b.x, y - b.y, z - b.z}; }
    V operator*(double s) const { return {x * s, y * s, z * s}; }
    double length() const { return std::sqrt(x * x + y * y + z * z); }
};

// The mean vertex of each model drawn, in draw order (head, torso, shoulder,
// upper arm, forearm twice, hip centre, hip, thigh, shin twice), under an
// orthographic box of +-10 units; empty if anything was not finite.
std::vector<V> drawnMeans(const Figure& figure) {
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
    const int joint = jointModel.vertexCount, limb = limbModel.vertexCount;
    const int sizes[15] = {joint, limb,  joint, limb, limb,  joint, limb, limb,
                           joint, joint, limb,  limb, joint, limb,  limb};
    std::vector<V> means(15, V{0, 0, 0});
    int draw = 0, vertex = 0;
    for (int at = 0; at < used && draw < 15; at += 11) { // a token, a count, three x y z
        if (buffer[at] != GL_POLYGON_TOKEN || buffer[at + 1] != 3)
            return {};
        for (int k = 0; k < 3; k++, vertex++) {
            const float* w = &buffer[at + 2 + 3 * k];
            if (!std::isfinite(w[0] + w[1] + w[2]))
                return {};
            means[draw] = means[draw] + V{w[0] * 20.0 / drawn::WIDTH - 10,
                                          w[1] * 20.0 / drawn::HEIGHT - 10, 10 - 20.0 * w[2]} *
                                            (1.0 / sizes[draw]);
        }
        if (vertex == sizes[draw])
            vertex = 0, draw++;
    }
    EXPECT_EQ(draw, 15);
    return means;
}

// A body at p facing yaw, hands and feet given from their shoulder and hip.
Figure makeFigure(V p, float yaw, const V hands[2], const V feet[2]) {
    Figure f{};
    f.yaw = yaw;
    f.neck = {(float)p.x, (float)p.y + 1.25f, (float)p.z};
    f.head = {(float)p.x, (float)p.y + 1.65f, (float)p.z};
    f.hipCentre = {(float)p.x, (float)p.y + 0.25f, (float)p.z};
    for (int i = 0; i < 2; i++) {
        const float cx = 0.4f * std::cos(yaw + (i ? -1 : 1) * 1.5707963f),
                    cz = 0.4f * std::sin(yaw + (i ? -1 : 1) * 1.5707963f);
        f.shoulderX[i] = f.neck.x + cx, f.shoulderY[i] = f.neck.y - 0.1f,
        f.shoulderZ[i] = f.neck.z + cz;
        f.hipX[i] = f.hipCentre.x + cx, f.hipY[i] = f.hipCentre.y - 0.1f,
        f.hipZ[i] = f.hipCentre.z + cz;
        f.handX[i] = f.shoulderX[i] + hands[i].x, f.handY[i] = f.shoulderY[i] + hands[i].y,
        f.handZ[i] = f.shoulderZ[i] + hands[i].z;
        f.footX[i] = f.hipX[i] + feet[i].x, f.footY[i] = f.hipY[i] + feet[i].y,
        f.footZ[i] = f.hipZ[i] + feet[i].z;
    }
    return f;
}

V along(double x, double y, double z, double reach) {
    return V{x, y, z} * (reach / V{x, y, z}.length());
}

// Each limb is two bones of one unit; the limb model's mean lies on its axis a
// fraction t along, so the next draw's mean tells where a bone ended.
TEST(FigureDrawn, LimbsEndAtTheirHandsAndFeet) {
    double t = 0;
    for (int i = 0; i < limbModel.vertexCount; i++)
        t -= limbModel.positions[i].y / limbModel.vertexCount;
    const struct {
        V at;
        float yaw;
        V hands[2], feet[2];
    } poses[] = {
        {{0, -1, 0},
         0.7f,
         {along(1, 0.5, 0.4, 1.95), along(1, 0.6, -0.2, 1.95)},
         {along(0.3, -1, 0.1, 1.8), along(-0.4, -1, -0.1, 1.6)}},
        {{1, -1, -2},
         -2.3f,
         {along(-0.2, -1, 0.3, 0.7), along(0.5, -0.3, 0.9, 1.2)},
         {along(0.05, -1, 0.6, 1.9), along(-0.1, -1, -0.7, 1.5)}},
        {{-1, 0, 1},
         3.0f,
         {along(-0.3, 1, 0.2, 1.9), along(-1, 0.4, 0, 1.3)},
         {along(-0.5, -1, 0, 1.99), along(0.6, -1, 0.2, 1.99)}},
        {{0, -1, 0},
         0.4f,
         {V{0.3, 0.001, 1.2}, V{1.5, 0, 0}},
         {V{0, -1.9, 0}, V{0, -1.2, 0}}}, // hand level, feet straight down
    };
    for (const auto& pose : poses) {
        const Figure f = makeFigure(pose.at, pose.yaw, pose.hands, pose.feet);
        const std::vector<V> m = drawnMeans(f);
        ASSERT_EQ(m.size(), 15u) << "a draw was not finite";
        std::vector<std::pair<V, V>> wanted = {
            {m[0], {f.head.x, f.head.y, f.head.z}},
            {m[1], V{f.neck.x, f.neck.y - 1 + t, f.neck.z}},
            {m[8], {f.hipCentre.x, f.hipCentre.y, f.hipCentre.z}}};
        for (int i = 0; i < 4; i++) {
            const int d = i < 2 ? 2 + 3 * i : 3 + 3 * i, l = i % 2;
            const V middle = m[d] + (m[d + 1] - m[d]) * (1.0 / t);
            EXPECT_NEAR((middle - m[d]).length(), 1.0, 0.01) << "first bone of limb " << i;
            wanted.push_back({m[d], i < 2 ? V{f.shoulderX[l], f.shoulderY[l], f.shoulderZ[l]}
                                          : V{f.hipX[l], f.hipY[l], f.hipZ[l]}});
            wanted.push_back({middle + (m[d + 2] - middle) * (1.0 / t),
                              i < 2 ? V{f.handX[l], f.handY[l], f.handZ[l]}
                                    : V{f.footX[l], f.footY[l], f.footZ[l]}});
        }
        for (size_t k = 0; k < wanted.size(); k++)
            EXPECT_LT((wanted[k].first - wanted[k].second).length(), 0.01)
                << "point " << k << " of pose " << &pose - poses;
    }
    // Limbs a hair past two bones long: acos and asin must not see more than 1.
    const V reach[2] = {along(1, 0.2, 0.1, 2.0000005), along(0.1, -1, 0.2, 2.001)};
    EXPECT_EQ(drawnMeans(makeFigure({0, -1, 0}, 0.2f, reach, reach)).size(), 15u);
}

TEST(FigureDrawn, DegeneratePosesStayFiniteAndTheMatrixIsKept) {
    const V hands[2] = {V{1.5, 0, 0}, V{0, -1.9, 0}}; // level with, and straight below, the joint
    EXPECT_EQ(drawnMeans(makeFigure({0, 0, 0}, 0.0f, hands, hands)).size(), 15u);
    glLoadIdentity();
    glRotatef(33.0f, 0.3f, 1.0f, 0.2f);
    float before[16], after[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, before);
    glEnableClientState(GL_VERTEX_ARRAY);
    drawFigure(makeFigure({0, 0, 0}, 1.0f, hands, hands));
    glDisableClientState(GL_VERTEX_ARRAY);
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    EXPECT_TRUE(std::equal(before, before + 16, after));
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
}
