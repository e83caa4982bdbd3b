// drawFigure caught in feedback mode: whatever the pose, the joints sit on the
// pose points and each limb's last ball on its hand or foot (the bones are
// rigid and join), and the matrix is kept.
#include "drawn_support_gl.h"
#include "render/figure_draw_gl.h"
#include "render/models.h"

// The centre of each model's ball, in draw order: head, torso (its ball at the
// neck), (shoulder, upper arm, forearm) x 2, hip centre, (hip, thigh, shin) x 2.
// Empty unless every model was drawn whole and finite.
static std::vector<Vector3> ballCentres(const Figure& figure) {
    std::vector<float> b(200000), v; // v: x y z of each vertex
    glMatrixMode(GL_PROJECTION), glLoadIdentity(), glOrtho(-10, 10, -10, 10, -10, 10);
    glMatrixMode(GL_MODELVIEW), glLoadIdentity(), glDisable(GL_CULL_FACE);
    glEnableClientState(GL_VERTEX_ARRAY);
    glFeedbackBuffer((GLsizei)b.size(), GL_3D, b.data()), glRenderMode(GL_FEEDBACK);
    drawFigure(figure);
    const int used = glRenderMode(GL_RENDER);
    glDisableClientState(GL_VERTEX_ARRAY), glEnable(GL_CULL_FACE);
    float m[16], identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    EXPECT_TRUE(std::equal(m, m + 16, identity)) << "the matrix was not kept";
    for (int at = 0; at < used && b[at] == GL_POLYGON_TOKEN; at += 11) // a token, a count, 3 x y z
        for (int k = at + 2; k < at + 11 && std::isfinite(b[k]); k++)
            v.push_back(b[k]);
    const int ball = jointModel.vertexCount, rod = limbModel.vertexCount - ball;
    if (v.size() != 3u * (15 * ball + 9 * rod))
        return {};
    std::vector<Vector3> centres(15, Vector3{0, 0, 0});
    for (int draw = 0, at = 0; draw < 15; draw++)
        for (int i = (0x1325 >> draw) & 1 ? 0 : -rod; i < ball; i++, at += 3) // a rod, then a ball
            if (i >= 0)
                centres[draw].x += (v[at] / 22.5f - 10) / ball,
                    centres[draw].y += (v[at + 1] / 33 - 10) / ball,
                    centres[draw].z += (10 - 20 * v[at + 2]) / ball;
    return centres;
}

// Per pose a yaw, then where each hand and foot lies from its shoulder or hip.
// The last pose is a hair out of reach: it only has to be drawn whole.
TEST(FigureDrawn, LimbsEndAtTheirHandsAndFeet) {
    // clang-format off
    const struct { float yaw, ends[4][3]; } poses[] = {
        {0.7f, {{1.6f, 0.8f, 0.6f}, {1.5f, 1, -0.4f}, {0.5f, -1.7f, 0.2f}, {-0.6f, -1.5f, -0.2f}}},
        {-2.3f, {{-0.1f, -0.7f, 0.2f}, {0.5f, -0.3f, 1}, {0.1f, -1.6f, 1}, {-0.1f, -1.2f, -0.9f}}},
        {3.0f, {{-0.5f, 1.8f, 0.4f}, {-1.2f, 0.5f, 0}, {-0.9f, -1.7f, 0}, {1.1f, -1.6f, 0.4f}}},
        {0.4f, {{1.5f, 0, 0}, {0, -1.9f, 0}, {0, -1.9f, 0}, {0, -1.2f, 0}}}, // level, straight down
        {0.2f, {{2.001f, 0, 0}, {0, -2.001f, 0}, {0, -2.0000005f, 0}, {-2.0000005f, 0, 0}}},
    };
    // clang-format on
    for (int n = 0; n < 5; n++) {
        Figure f{};
        f.yaw = poses[n].yaw, f.head = {0, 0.65f, 0}, f.neck = {0, 0.25f, 0},
        f.hipCentre = {0, -0.75f, 0};
        std::vector<std::pair<int, Vector3>> want = {{0, f.head}, {1, f.neck}, {8, f.hipCentre}};
        for (int l = 0; l < 4; l++) { // arm 0, arm 1, leg 0, leg 1
            const int i = l % 2,
                      joint = l < 2 ? 2 + 3 * l : 3 + 3 * l; // the limb's ball is joint + 2
            const float* e = poses[n].ends[l];
            const Vector3 root = {i ? -0.4f : 0.4f, l < 2 ? 0.15f : -0.85f, 0};
            const Vector3 end = {root.x + e[0], root.y + e[1], e[2]};
            if (l < 2)
                f.shoulderX[i] = root.x, f.shoulderY[i] = root.y, f.handX[i] = end.x,
                f.handY[i] = end.y, f.handZ[i] = end.z;
            else
                f.hipX[i] = root.x, f.hipY[i] = root.y, f.footX[i] = end.x, f.footY[i] = end.y,
                f.footZ[i] = end.z;
            want.push_back({joint, root}), want.push_back({joint + 2, end});
        }
        const std::vector<Vector3> got = ballCentres(f);
        ASSERT_EQ(got.size(), 15u) << "a model was not drawn whole, pose " << n;
        for (size_t k = 0; k < want.size() && n < 4; k++) {
            const Vector3 g = got[want[k].first], p = want[k].second;
            EXPECT_LT(std::hypot(g.x - p.x, g.y - p.y, g.z - p.z), 0.01)
                << "model " << want[k].first << " of pose " << n;
        }
    }
}
