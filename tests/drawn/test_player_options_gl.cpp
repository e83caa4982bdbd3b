// The tinted figures: a ball, an enemy, the player and the aim marker side by
// side, 10 units in front of the eye, one orange without "tintfigures", four
// colours well apart with it.
#include "drawn_support_gl.h"

using namespace drawn;

TEST(PlayerOptionsDrawn, TintsTellTheFourKindsApart) {
    emptyWorld();
    useTextures = true;
    stage(25.0f, 17.0f, 40.0f, 0.0f, 0.0f);
    const float xs[4] = {22.0f, 24.0f, 26.0f, 28.0f};
    ballCount = figureCount = 1;
    balls[0] = {0, {xs[0], 17.0f, 30.0f}, {0, 0, 0}};
    gather(figures[0], {xs[1], 17.0f, 30.0f});
    gather(player, {xs[2], 17.0f, 30.0f});
    aimPoint = {xs[3], 17.0f, 30.0f};
    float rgb[2][4][3] = {}; // mean of the 5 x 5 pixels round each, plain and tinted
    for (int tint = 0; tint < 2; tint++) {
        tintFigures = tint == 1;
        const Frame frame = drawScene(tint ? "options_tinted" : "options_untinted");
        for (int k = 0; k < 4; k++)
            for (int d = 0; d < 25; d++)
                for (int c = 0; c < 3; c++) {
                    const Point p = project(xs[k], 17.0f, 30.0f);
                    rgb[tint][k][c] += frame.at((int)p.x + d % 5 - 2, (int)p.y + d / 5 - 2)[c] / 25.0f;
                }
    }
    tintFigures = false;
    auto distance = [](const float* a, const float* b) {
        return std::fabs(a[0] - b[0]) + std::fabs(a[1] - b[1]) + std::fabs(a[2] - b[2]);
    };
    for (int k = 0; k < 4; k++) {
        EXPECT_GT(rgb[0][k][0], 150.0f) << "object " << k << " is drawn, orange";
        EXPECT_LT(distance(rgb[0][k], rgb[0][0]), 30.0f) << "object " << k;
        EXPECT_GT(rgb[1][k][0] + rgb[1][k][1] + rgb[1][k][2], 90.0f) << "object " << k << " lit";
        for (int j = 0; j < k; j++)
            EXPECT_GT(distance(rgb[1][j], rgb[1][k]), 60.0f) << "objects " << j << ", " << k;
    }
}
