// The ground is one closed surface on screen. A flat floor of merged block
// faces spans many chunk borders; seen from a low angle, faces that meet must
// meet exactly, or the clear colour shows through along their edges as a
// dotted line.
#include "drawn_support_gl.h"

using namespace drawn;

static float cross(Point o, Point a, Point b) {
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

// A floor of blocks on level 0 (top at 1) over the lowest ground, pitted here
// and there so that merged faces of many sizes meet inside chunks and across
// their borders. Low views from several places and headings, some far from
// the world's origin where positions carry fewer fraction bits: a floor
// rectangle 1.5 to 18 ahead and 14 to either side, well inside the drawn disc,
// is block top, pit wall or pit bottom in every pixel.
TEST(GroundSeams, FloorAcrossChunkBordersHasNoGaps) {
    emptyWorld();
    optimizeGeometry = true;
    viewRange = 6;
    for (int x = 0; x < WORLD_SIZE; x++)
        for (int z = 0; z < WORLD_SIZE; z++)
            blocks[x][0][z] = (x * 5 + z * 3) % 7 != 0;
    const struct {
        float x, z, height, pitch, yaw;
    } poses[] = {
        {25.3f, 25.7f, 0.9f, 0.22f, 0.35f},  {47.6f, 3.2f, 0.6f, 0.17f, -0.8f},
        {12.1f, 38.9f, 1.4f, 0.28f, 2.3f},   {2.4f, 2.6f, 0.7f, 0.2f, 3.9f},
        {-31.7f, 44.4f, 1.1f, 0.25f, -2.2f}, {38.8f, -17.3f, 0.8f, 0.19f, 1.2f},
        {24.9f, 10.1f, 0.5f, 0.15f, 0.02f},  {9.95f, 9.95f, 1.0f, 0.24f, 0.785f},
        {33.3f, 21.8f, 0.9f, 0.21f, -0.4f},  {18.2f, 47.1f, 1.2f, 0.26f, 1.7f},
        {41.5f, 36.6f, 0.7f, 0.18f, -1.4f},  {6.6f, 28.4f, 1.0f, 0.23f, 2.9f},
    };
    for (const auto& pose : poses) {
        const int index = (int)(&pose - poses);
        stage(pose.x, 1.0f + pose.height, pose.z, pose.pitch, pose.yaw, 40.0f);
        const Frame frame = drawScene("ground_seams_" + std::to_string(index));
        const float s = std::sin(pose.yaw), c = std::cos(pose.yaw);
        const float ahead[4] = {1.5f, 1.5f, 18.0f, 18.0f}, side[4] = {-14, 14, 14, -14};
        Point quad[4];
        for (int k = 0; k < 4; k++)
            quad[k] = project(pose.x + ahead[k] * s + side[k] * c, 1.0f,
                              pose.z - ahead[k] * c + side[k] * s);
        if (cross(quad[0], quad[1], quad[2]) < 0.0f) // inside positive on a y-down screen
            std::swap(quad[1], quad[3]);
        int floorPixels = 0, gaps = 0;
        for (int y = 60; y < HEIGHT; y++) // below the action label
            for (int x = 0; x < WIDTH; x++) {
                bool inside = true; // by more than a pixel
                for (int k = 0; k < 4; k++) {
                    const Point a = quad[k], b = quad[(k + 1) % 4];
                    inside = inside &&
                             cross(a, b, {x + 0.5f, y + 0.5f}) > std::hypot(b.x - a.x, b.y - a.y);
                }
                floorPixels += inside;
                gaps += inside && frame.brightness(x, y) < DARK;
            }
        EXPECT_GT(floorPixels, WIDTH * HEIGHT / 8) << "pose " << index;
        EXPECT_EQ(gaps, 0) << "pose " << index << ": background shows through the floor";
    }
}
