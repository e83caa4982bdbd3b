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

// The mean vertex of each model drawn, in world units, in draw order: head,
// torso, (shoulder, upper arm, forearm) x 2, hip centre, (hip, thigh, shin) x 2.
static std::vector<V> drawnMeans(const Figure& figure) {
    std::vector<float> b(200000);
    glMatrixMode(GL_PROJECTION), glLoadIdentity(), glOrtho(-10, 10, -10, 10, -10, 10);
    glMatrixMode(GL_MODELVIEW), glLoadIdentity(), glDisable(GL_CULL_FACE);
    glEnableClientState(GL_VERTEX_ARRAY);
    glFeedbackBuffer((GLsizei)b.size(), GL_3D, b.data()), glRenderMode(GL_FEEDBACK);
    drawFigure(figure);
    const int used = glRenderMode(GL_RENDER);
    glDisableClientState(GL_VERTEX_ARRAY), glEnable(GL_CULL_FACE);
    float after[16], identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    EXPECT_TRUE(std::equal(after, after + 16, identity)) << "the matrix was not kept";
    std::vector<V> means(15, V{0, 0, 0});
    int draw = 0;
    for (int at = 0, vertex = 0; at < used && draw < 15; at += 11) { // a token, a count, 3 x y z
        const int size = (0x1325 >> draw) & 1 ? jointModel.vertexCount : limbModel.vertexCount;
        EXPECT_TRUE(b[at] == GL_POLYGON_TOKEN && b[at + 1] == 3) << "not a triangle";
        for (const float* w = &b[at + 2]; w < &b[at + 11]; w += 3)
            means[draw] = means[draw] +
                          V{w[0] / 22.5 - 10, w[1] / 33.0 - 10, 10 - 20.0 * w[2]} * (1.0 / size);
        if ((vertex += 3) == size)
            vertex = 0, draw++;
    }
    EXPECT_EQ(draw, 15) << "a model was not drawn whole";
    return means;
}

// Each limb is two bones of one unit; the limb model's mean lies on its axis a
// fraction t along, so the next draw's mean tells where a bone ended. Per pose:
// a yaw, then per arm and leg a direction from its root and a reach (0: the
// direction as it is). The last pose is a hair out of reach: it only has to
// be drawn whole.
TEST(FigureDrawn, LimbsEndAtTheirHandsAndFeet) {
    double t = 0;
    for (int i = 0; i < limbModel.vertexCount; i++)
        t -= limbModel.positions[i].y / limbModel.vertexCount;
    // clang-format off
    const struct { float yaw, limbs[4][4]; } poses[] = {
        {0.7f, {{1, 0.5f, 0.4f, 1.95f}, {1, 0.6f, -0.2f, 1.95f}, {0.3f, -1, 0.1f, 1.8f}, {-0.4f, -1, -0.1f, 1.6f}}},
        {-2.3f, {{-0.2f, -1, 0.3f, 0.7f}, {0.5f, -0.3f, 0.9f, 1.2f}, {0.05f, -1, 0.6f, 1.9f}, {-0.1f, -1, -0.7f, 1.5f}}},
        {3.0f, {{-0.3f, 1, 0.2f, 1.9f}, {-1, 0.4f, 0, 1.3f}, {-0.5f, -1, 0, 1.99f}, {0.6f, -1, 0.2f, 1.99f}}},
        {0.4f, {{1.5f, 0, 0, 0}, {0, -1.9f, 0, 0}, {0, -1.9f, 0, 0}, {0, -1.2f, 0, 0}}}, // level, straight down
        {0.2f, {{1, 0.2f, 0.1f, 2.0000005f}, {0.1f, -1, 0.2f, 2.001f}, {0.1f, -1, 0, 2.0000005f}, {0, -1, 0.2f, 2.001f}}},
    };
    // clang-format on
    for (const auto& pose : poses) {
        Figure f{};
        f.yaw = pose.yaw, f.head = {0, 0.65f, 0}, f.neck = {0, 0.25f, 0},
        f.hipCentre = {0, -0.75f, 0};
        float* points[2][2][3] = {
            {{f.shoulderX, f.shoulderY, f.shoulderZ}, {f.handX, f.handY, f.handZ}},
            {{f.hipX, f.hipY, f.hipZ}, {f.footX, f.footY, f.footZ}}};
        V ends[4][2]; // root and end of arm 0, arm 1, leg 0, leg 1
        for (int l = 0; l < 4; l++) {
            const V direction = {pose.limbs[l][0], pose.limbs[l][1], pose.limbs[l][2]};
            const double reach = pose.limbs[l][3], side = f.yaw + (l % 2 ? -1.57 : 1.57);
            ends[l][0] = {0.4 * std::cos(side), l < 2 ? 0.15 : -0.85, 0.4 * std::sin(side)};
            ends[l][1] = ends[l][0] + direction * (reach ? reach / direction.length() : 1);
            for (int e = 0; e < 2; e++)
                for (int c = 0; c < 3; c++)
                    points[l / 2][e][c][l % 2] = (float)(c == 0   ? ends[l][e].x
                                                         : c == 1 ? ends[l][e].y
                                                                  : ends[l][e].z);
        }
        const std::vector<V> m = drawnMeans(f);
        if (&pose == &poses[4])
            continue;
        std::vector<std::pair<V, V>> wanted = {
            {m[0], {0, 0.65, 0}}, {m[1], {0, t - 0.75, 0}}, {m[8], {0, -0.75, 0}}};
        for (int l = 0; l < 4; l++) {
            const int d = l < 2 ? 2 + 3 * l : 3 + 3 * l;
            const V elbow = m[d] + (m[d + 1] - m[d]) * (1.0 / t);
            EXPECT_NEAR((elbow - m[d]).length(), 1.0, 0.01) << "first bone of limb " << l;
            wanted.push_back({m[d], ends[l][0]});
            wanted.push_back({elbow + (m[d + 2] - elbow) * (1.0 / t), ends[l][1]});
        }
        for (size_t k = 0; k < wanted.size(); k++)
            EXPECT_LT((wanted[k].first - wanted[k].second).length(), 0.01)
                << "point " << k << " of pose " << &pose - poses;
    }
}
