// The ground is one closed surface on screen: where merged block faces meet,
// inside a chunk or across a border, they meet exactly, or the clear colour
// shows through along their edges as a dotted line.
#include "drawn_support_gl.h"

using namespace drawn;

// A floor of blocks on level 0 (top at 1), pitted here and there so that faces
// of many sizes meet. Low views from several places and headings, some far
// from the origin where positions carry fewer fraction bits: a floor rectangle
// 1.5 to 18 ahead and 14 to either side is floor, pit wall or pit bottom in
// every pixel more than a pixel inside it.
TEST(GroundSeams, FloorAcrossChunkBordersHasNoGaps) {
    emptyWorld();
    optimizeGeometry = true, viewRange = 6;
    for (int x = 0; x < WORLD_SIZE; x++)
        for (int z = 0; z < WORLD_SIZE; z++)
            blocks[x][0][z] = (x * 5 + z * 3) % 7 != 0;
    const float poses[][5] = {
        // x, z, height, pitch, yaw
        {25.3f, 25.7f, 0.9f, 0.22f, 0.35f},  {47.6f, 3.2f, 0.6f, 0.17f, -0.8f},
        {12.1f, 38.9f, 1.4f, 0.28f, 2.3f},   {2.4f, 2.6f, 0.7f, 0.2f, 3.9f},
        {-31.7f, 44.4f, 1.1f, 0.25f, -2.2f}, {38.8f, -17.3f, 0.8f, 0.19f, 1.2f},
        {24.9f, 10.1f, 0.5f, 0.15f, 0.02f},  {9.95f, 9.95f, 1.0f, 0.24f, 0.785f},
        {33.3f, 21.8f, 0.9f, 0.21f, -0.4f},  {18.2f, 47.1f, 1.2f, 0.26f, 1.7f},
        {41.5f, 36.6f, 0.7f, 0.18f, -1.4f},  {6.6f, 28.4f, 1.0f, 0.23f, 2.9f},
    };
    for (int n = 0; n < 12; n++) {
        const float *pose = poses[n], s = std::sin(pose[4]), c = std::cos(pose[4]);
        stage(pose[0], 1.0f + pose[2], pose[1], pose[3], pose[4], 40.0f);
        const Frame frame = drawScene("ground_seams_" + std::to_string(n));
        Point q[4]; // clockwise on a y-down screen
        for (int k = 0; k < 4; k++) {
            const float ahead = k < 2 ? 1.5f : 18.0f, side = k == 1 || k == 2 ? -14.0f : 14.0f;
            q[k] = project(pose[0] + ahead * s + side * c, 1.0f, pose[1] - ahead * c + side * s);
        }
        int floorPixels = 0, gaps = 0;
        for (int y = 60; y < HEIGHT; y++) // below the action label
            for (int x = 0; x < WIDTH; x++) {
                bool inside = true;
                for (int k = 0; k < 4; k++) {
                    const Point a = q[k], b = q[(k + 1) % 4];
                    inside =
                        inside && (b.x - a.x) * (y + 0.5f - a.y) - (b.y - a.y) * (x + 0.5f - a.x) >
                                      std::hypot(b.x - a.x, b.y - a.y);
                }
                floorPixels += inside, gaps += inside && frame.brightness(x, y) < DARK;
            }
        EXPECT_GT(floorPixels, WIDTH * HEIGHT / 8) << "pose " << n;
        EXPECT_EQ(gaps, 0) << "pose " << n << ": background shows through the floor";
    }
}
