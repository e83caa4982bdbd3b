// drawFigure caught in feedback mode: whatever the pose, each bone starts at
// its root or where the one before it ended, the last ends at the hand or foot,
// and the matrix is kept.
#include "drawn_support_gl.h"
#include "render/figure_draw_gl.h"
#include "render/models.h"

struct V {
    double x, y, z;
    V operator+(V b) const { return {x + b.x, y + b.y, z + b.z}; }
    V operator*(double s) const { return {x * s, y * s, z * s}; }
    double from(V b) const { return std::hypot(x - b.x, y - b.y, z - b.z); }
};
using Span = std::pair<V, V>; // where a model drawn starts and ends

// Head, torso, (shoulder, upper arm, forearm) x 2, hip centre, (hip, thigh,
// shin) x 2: a joint as its centre twice, a bone from its root (its rod's mean
// lies half way) to its ball's centre. Empty unless all were drawn, finite.
static std::vector<Span> drawnModels(const Figure& figure) {
    std::vector<float> b(200000);
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
    std::vector<V> v; // per triangle a token, a count and three x y z
    for (int at = 0; at < used && b[at] == GL_POLYGON_TOKEN; at += 11)
        for (int k = at + 2; k < at + 11 && std::isfinite(b[k] + b[k + 1] + b[k + 2]); k += 3)
            v.push_back({b[k] / 22.5 - 10, b[k + 1] / 33.0 - 10, 10 - 20.0 * b[k + 2]});
    const int ball = jointModel.vertexCount, rod = limbModel.vertexCount - ball;
    auto mean = [&](size_t from, int n) {
        V sum{0, 0, 0};
        for (int i = 0; i < n; i++)
            sum = sum + v[from + i] * (1.0 / n);
        return sum;
    };
    std::vector<Span> models;
    for (size_t draw = 0, at = 0; draw < 15 && v.size() == 15 * (size_t)ball + 9 * rod; draw++) {
        const bool joint = (0x1325 >> draw) & 1;
        const V end = mean(at + (joint ? 0 : rod), ball);
        models.push_back({joint ? end : mean(at, rod) * 2 + end * -1, end});
        at += joint ? ball : rod + ball;
    }
    return models;
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
        float* points[4][3] = {{f.shoulderX, f.shoulderY, f.shoulderZ},
                               {f.handX, f.handY, f.handZ},
                               {f.hipX, f.hipY, f.hipZ},
                               {f.footX, f.footY, f.footZ}};
        V roots[4], ends[4];
        for (int l = 0; l < 4; l++) {
            roots[l] = {l % 2 ? -0.4 : 0.4, l < 2 ? 0.15 : -0.85, 0};
            ends[l] = roots[l] + V{poses[n].ends[l][0], poses[n].ends[l][1], poses[n].ends[l][2]};
            for (int c = 0; c < 3; c++)
                points[l / 2 * 2][c][l % 2] = (float)(&roots[l].x)[c],
                                         points[l / 2 * 2 + 1][c][l % 2] = (float)(&ends[l].x)[c];
        }
        const std::vector<Span> got = drawnModels(f);
        ASSERT_EQ(got.size(), 15u) << "a model was not drawn whole, pose " << n;
        std::vector<Span> want = {{{0, 0.65, 0}, {0, 0.65, 0}}, {{0, -0.75, 0}, {0, 0.25, 0}}};
        for (int l = 0; l < 4; l++) {
            if (l == 2)
                want.push_back({{0, -0.75, 0}, {0, -0.75, 0}});
            const V bend = got[want.size() + 1].second; // the elbow or knee as drawn
            want.insert(want.end(), {{roots[l], roots[l]}, {roots[l], bend}, {bend, ends[l]}});
        }
        for (size_t k = 0; k < 15 && n < 4; k++)
            EXPECT_LT(got[k].first.from(want[k].first) + got[k].second.from(want[k].second), 0.02)
                << "model " << k << " of pose " << n;
    }
}
