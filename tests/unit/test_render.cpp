// test_render.cpp: the renderer's pure parts: camera matrices and frustum,
// the static models, which chunk positions are drawn and the label's place.

#include "game/models.h"
#include "game_fixture.h"
#include "render/figure_tints.h"
#include "render/frustum.h"
#include "render/scene_layout.h"
#include "world/world_atlas.h"

TEST(Frustum, MatricesHaveTheProjectionAndCameraNumbers) {
    float m[16];
    perspectiveMatrix(m, 90.0f, 2.0f, 1.0f, 3.0f); // cot 45 = 1
    const float expected[16] = {0.5f, 0, 0, 0, 0, 1, 0, 0, 0, 0, -2, -1, 0, 0, -3, 0};
    for (int i = 0; i < 16; i++)
        EXPECT_NEAR(m[i], expected[i], 1e-6f) << i;
    // Pitch, yaw, roll rotate in that order, then the eye moves to the
    // origin: yaw pi/2 faces +x, positive pitch looks down.
    const float q = 1.570796325f;
    const struct {
        CameraPose camera;
        double point[4], eye[3];
    } cases[] = {{{{1, 2, 3}, 0, 0, 0}, {1, 2, -2, 1}, {0, 0, -5}},
                 {{{0, 0, 0}, 0, q, 0}, {5, 0, 0, 1}, {0, 0, -5}},
                 {{{0, 0, 0}, q, 0, 0}, {0, -5, 0, 1}, {0, 0, -5}},
                 {{{0, 0, 0}, q, q, 0}, {5, 0, 0, 1}, {0, 5, 0}},
                 {{{0, 0, 0}, 0, 0, q}, {1, 0, 0, 1}, {0, 1, 0}},
                 {{{25, 10, 25}, 0.4f, -2.1f, 0.3f}, {25, 10, 25, 1}, {0, 0, 0}}};
    for (const auto& c : cases) {
        cameraModelviewMatrix(m, c.camera);
        double eye[4];
        applyMatrix(m, c.point, eye);
        for (int i = 0; i < 3; i++)
            EXPECT_NEAR(eye[i], c.eye[i], 1e-5) << c.camera.yaw << " " << i;
    }
}

// Over random cameras, windows wide and tall, fields of view of 30 to 120
// degrees, and points: a point is inside every plane exactly when its clip
// coordinates are within w; every plane's normal has length 1 (a zero normal
// is left as it is).
TEST(Frustum, PlanesBoundTheClipVolumeOfTheMatrices) {
    ViewFrustum f{};
    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    frustumFromMatrices(f, identity, identity); // right, left, bottom, top, far, near
    const float cube[6][4] = {{-1, 0, 0, 1}, {1, 0, 0, 1},  {0, 1, 0, 1},
                              {0, -1, 0, 1}, {0, 0, -1, 1}, {0, 0, 1, 1}};
    EXPECT_EQ(memcmp(f.planes, cube, sizeof cube), 0);
    int inside = 0;
    Rng rng(7);
    for (int n = 0; n < 3000; n++) {
        const CameraPose camera = {{rng.uniform(-50, 50), rng.uniform(0, 30), rng.uniform(-50, 50)},
                                   rng.uniform(-1.2f, 1.2f),
                                   rng.uniform(-7, 7),
                                   rng.uniform(-0.5f, 0.5f)};
        float aspect = n % 2 ? rng.uniform(1.0f, 2.5f) : rng.uniform(0.3f, 1.0f);
        float projection[16], modelview[16];
        perspectiveMatrix(projection, rng.uniform(30, 120), aspect, 0.1f, rng.uniform(5, 60));
        cameraModelviewMatrix(modelview, camera);
        frustumFromMatrices(f, projection, modelview);
        double point[4] = {camera.position.x + rng.uniform(-40, 40),
                           camera.position.y + rng.uniform(-40, 40),
                           camera.position.z + rng.uniform(-40, 40), 1},
               eye[4], c[4];
        applyMatrix(modelview, point, eye);
        applyMatrix(projection, eye, c);
        bool near = false, in = true;
        for (int i = 0; i < 3; i++) {
            near = near || std::fabs(std::fabs(c[i]) - c[3]) < 1e-3 * std::fabs(c[3]);
            in = in && std::fabs(c[i]) < c[3];
        }
        for (int p = 0; p < 6; p++)
            EXPECT_NEAR(std::hypot(f.planes[p][0], std::hypot(f.planes[p][1], f.planes[p][2])),
                        1.0f, 1e-5f);
        if (!near) {
            ASSERT_EQ(cubeInFrustum(f, (float)point[0], (float)point[1], (float)point[2], 0), in);
            inside += in;
            const float s = rng.uniform(0.1f, 3); // a cube with that point as its far corner
            ASSERT_TRUE(!in || cubeInFrustum(f, (float)point[0] - s, (float)point[1] - s,
                                             (float)point[2] - s, s));
        }
    }
    EXPECT_GT(inside, 50);
    f = ViewFrustum{}; // a zero normal is left as it is, not made NaN
    f.planes[FrustumFar][3] = 7;
    normalizePlane(FrustumFar, f);
    EXPECT_EQ(f.planes[FrustumFar][3], 7.0f);
}

// Every vertex of triangles [first, last) at `radius` from `centre`, every
// front face (counter-clockwise) facing away from it; returns the area.
double checkSphere(const Model& m, int first, int last, Vector3 centre, double radius) {
    double area = 0.0;
    for (int t = first; t < last; t++) {
        double v[3][3], n[3], outward = 0.0;
        for (int k = 0; k < 3; k++) {
            const Vector3& p = m.positions[3 * t + k];
            v[k][0] = p.x - centre.x, v[k][1] = p.y - centre.y, v[k][2] = p.z - centre.z;
            EXPECT_NEAR(std::sqrt(v[k][0] * v[k][0] + v[k][1] * v[k][1] + v[k][2] * v[k][2]),
                        radius, 1e-5)
                << t;
        }
        for (int i = 0; i < 3; i++) {
            int a = (i + 1) % 3, b = (i + 2) % 3;
            n[i] = (v[1][a] - v[0][a]) * (v[2][b] - v[0][b]) -
                   (v[1][b] - v[0][b]) * (v[2][a] - v[0][a]);
        }
        for (int i = 0; i < 3; i++)
            outward += n[i] * (v[0][i] + v[1][i] + v[2][i]);
        EXPECT_GT(outward, 0.0) << "triangle " << t << " faces inward";
        area += 0.5 * std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    }
    return area;
}

TEST(Models, SpheresAndLimbAsDrawnWithTheFigureTile) {
    buildModels();
    EXPECT_EQ(jointModel.vertexCount, 216);
    EXPECT_EQ(limbModel.vertexCount, 264);
    EXPECT_EQ(bigBallModel.vertexCount, 216);
    checkSphere(jointModel, 0, 72, Vector3{0, 0, 0}, 0.5); // stored at twice the size
    for (int twice = 0; twice < 2; twice++) { // building again starts from the stored tables
        buildModels();
        scaleModels();
    }
    const double sphere = 4 * 3.14159265;
    double joint = checkSphere(jointModel, 0, 72, Vector3{0, 0, 0}, 0.25) / 0.0625;
    double big = checkSphere(bigBallModel, 0, 72, Vector3{0, 0, 0}, 1.0);
    EXPECT_TRUE(joint < sphere && joint > 0.85 * sphere) << joint; // closed
    EXPECT_TRUE(big < sphere && big > 0.85 * sphere) << big;
    checkSphere(limbModel, 16, 88, Vector3{0, -1, 0}, 0.25); // the ball at the rod's end
    for (int t = 0; t < 16; t++) { // the rod: radius 0.125 from y = 0 to -1, facing out
        const Vector3 *a = &limbModel.positions[3 * t], *b = a + 1, *c = a + 2;
        for (const Vector3* p : {a, b, c})
            EXPECT_TRUE(std::fabs(std::hypot(p->x, p->z) - 0.125f) < 1e-6f &&
                        (p->y == 0.0f || std::fabs(p->y + 1.0f) < 1e-6f))
                << t;
        float nx = (b->y - a->y) * (c->z - a->z) - (b->z - a->z) * (c->y - a->y);
        float nz = (b->x - a->x) * (c->y - a->y) - (b->y - a->y) * (c->x - a->x);
        EXPECT_GT(nx * (a->x + b->x + c->x) + nz * (a->z + b->z + c->z), 0.0f) << t;
    }
    const float uv[6] = {0.8125f, 0.9375f, 0.9375f, 0.9375f, 0.8125f, 0.8125f};
    for (const Model* m : {&jointModel, &limbModel, &bigBallModel})
        for (int i = 0; i < 2 * m->vertexCount; i++)
            ASSERT_EQ(m->texCoords[i], uv[i % 6]) << i;
}

// With "tintfigures" the README's colours (player orange, enemies red, balls yellow-green, aim
// marker and rope green) multiply the light grey tile (the drawn test sees them apart).
TEST(FigureTints, FourColoursOnTheGreyTile) {
    const float want[FIGURE_TINT_KINDS][3] = {
        {1.0f, 0.5f, 0.16f}, {0.95f, 0.14f, 0.12f}, {0.72f, 1.0f, 0.1f}, {0.1f, 0.85f, 0.3f}};
    for (int k = 0; k < FIGURE_TINT_KINDS; k++)
        for (int c = 0; c < 3; c++)
            EXPECT_EQ(figureTint(k)[c], want[k][c]) << k << " " << c;
    EXPECT_EQ(neutralFigureTileShift(), -0.25f); // from the orange tile's rows 832.. to 576..
}

TEST(SceneLayout, DiscOfChunkPositionsAroundThePlayer) {
    const float coordinates[][2] = {{0, 0},           {4.99f, 0},        {5, 1},     {-0.1f, -1},
                                    {-5, -1},         {-5.01f, -2},      {-52, -11}, {NAN, 0},
                                    {1e30f, 1000000}, {-1e30f, -1000000}};
    for (const auto& c : coordinates)
        EXPECT_EQ(chunkCoordinate(c[0]), (int)c[1]) << c[0];
    // Strictly closer than the range, i outer and j inner, both ascending, each with the mesh slot
    // of its chunk wrapped into 0..9: range 2 around (3, -1) is a 3 x 3 square, range 3 has 25.
    static ChunkPosition table[MAX_DISC_POSITIONS];
    const int square[9][3] = {{2, -2, 28}, {2, -1, 29}, {2, 0, 20},  {3, -2, 38}, {3, -1, 39},
                              {3, 0, 30},  {4, -2, 48}, {4, -1, 49}, {4, 0, 40}};
    ASSERT_EQ(discChunkPositions(3, -1, 2, table, MAX_DISC_POSITIONS), 9);
    for (int n = 0; n < 9; n++) {
        EXPECT_EQ(table[n].i, square[n][0]) << n;
        EXPECT_EQ(table[n].j, square[n][1]) << n;
        EXPECT_EQ(table[n].slot, square[n][2]) << n;
    }
    EXPECT_EQ(discChunkPositions(0, 0, 3, table, MAX_DISC_POSITIONS), 25);
    EXPECT_EQ(discChunkPositions(-11, -20, 1, table, MAX_DISC_POSITIONS), 1);
    EXPECT_EQ(table[0].slot, 90);
    EXPECT_EQ(discChunkPositions(0, 0, 0, table, MAX_DISC_POSITIONS), 0);
    EXPECT_EQ(discChunkPositions(0, 0, 3, table, 10), 10); // a full table refuses the rest
    EXPECT_LT(discChunkPositions(0, 0, MAX_VIEW_RANGE, table, MAX_DISC_POSITIONS),
              MAX_DISC_POSITIONS);
    const int farPlanes[][3] = {{0, 0, 5}, {3, 3, 20}, {10, 10, 55}, {-2, 0, 5}};
    for (const auto& r : farPlanes)
        EXPECT_TRUE(drawnViewRange(r[0]) == r[1] && farPlaneDistance(r[0]) == (float)r[2]) << r[0];
}

TEST(SceneLayout, LabelCentredOnItsPanelInTheTopRightCorner) {
    const float labels[][4] = {
        {800, 4, 525, 570}, {800.9f, 0, 525, 540}, {1280, 8, 1005, 1060}, {600, 6, 325, 365}};
    for (const auto& l : labels) {
        EXPECT_EQ(labelPanelX(l[0]), (int)l[2]);
        EXPECT_EQ(labelTextX((int)l[2], labelText((int)l[1])), (int)l[3]) << l[1];
    }
    EXPECT_TRUE(labelText(9) == nullptr && labelText(-1) == nullptr);
}
