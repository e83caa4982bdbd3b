// test_terrain_brush.cpp: the spherical brush over the floor and ceiling
// height grids of the repeating world.
#include "physics/collision.h"
#include "world/world.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

const float R = 5.0f;       // the brush radius the game uses
const float AMOUNT = 0.01f; // its raise amount per tick

void flatWorld(float floorY, float ceilingY) {
    for (int x = 0; x < WORLD_SIZE; x++)
        for (int z = 0; z < WORLD_SIZE; z++) {
            floorHeight[x][z] = floorY;
            ceilingHeight[x][z] = ceilingY;
        }
    memset(chunkDirty, 0, sizeof chunkDirty);
}

void roughWorld(unsigned seed) {
    srand(seed);
    for (int x = 0; x < WORLD_SIZE; x++)
        for (int z = 0; z < WORLD_SIZE; z++) {
            floorHeight[x][z] = 2.0f + 6.0f * rand() / (float)RAND_MAX;
            ceilingHeight[x][z] = 9.0f + 6.0f * rand() / (float)RAND_MAX;
        }
    memset(chunkDirty, 0, sizeof chunkDirty);
}

struct Grids {
    float floor[WORLD_SIZE][WORLD_SIZE];
    float ceiling[WORLD_SIZE][WORLD_SIZE];
    unsigned char dirty[CHUNK_TOTAL];
};

void save(Grids& g) {
    memcpy(g.floor, floorHeight, sizeof g.floor);
    memcpy(g.ceiling, ceilingHeight, sizeof g.ceiling);
    memcpy(g.dirty, chunkDirty, sizeof g.dirty);
}
void restore(const Grids& g) {
    memcpy(floorHeight, g.floor, sizeof g.floor);
    memcpy(ceilingHeight, g.ceiling, sizeof g.ceiling);
    memcpy(chunkDirty, g.dirty, sizeof g.dirty);
}
bool same(const Grids& a, const Grids& b) {
    return memcmp(a.floor, b.floor, sizeof a.floor) == 0 &&
           memcmp(a.ceiling, b.ceiling, sizeof a.ceiling) == 0 &&
           memcmp(a.dirty, b.dirty, sizeof a.dirty) == 0;
}

TEST(TerrainBrush, WrapsAcrossTheWorldSeam) {
    flatWorld(5.0f, 30.0f);
    shapeTerrain(0.5f, 5.0f, 10.0f, R, AMOUNT);
    // Row z = 10: x = 46..49 are reached the short way round.
    for (int x = 0; x < WORLD_SIZE; x++) {
        float h = fminf(fabsf(0.5f - x), fabsf(50.5f - x));
        bool edited = (x >= 46 || x <= 5);
        if (edited)
            EXPECT_NEAR(floorHeight[x][10], 5.0f + (R - h) * AMOUNT, 1e-6) << x;
        else
            EXPECT_EQ(floorHeight[x][10], 5.0f) << x;
        EXPECT_EQ(ceilingHeight[x][10], 30.0f) << x; // 25 away: out of the sphere
    }
    // The chunks it passes over on both sides of the seam.
    EXPECT_EQ(chunkDirty[9 * CHUNK_COUNT + 2], 1);
    EXPECT_EQ(chunkDirty[0 * CHUNK_COUNT + 2], 1);
    EXPECT_EQ(chunkDirty[5 * CHUNK_COUNT + 2], 0);
}

TEST(TerrainBrush, EveryRepeatOfTheCentreActsAlike) {
    Grids start, at47, other;
    roughWorld(3);
    save(start);
    shapeTerrain(47.0f, 5.0f, 12.5f, R, AMOUNT);
    save(at47);
    for (float x : {-3.0f, 97.0f, 47.0f - 50.0f * 400, 47.0f + 50.0f * 1000}) {
        restore(start);
        shapeTerrain(x, 5.0f, 12.5f, R, AMOUNT);
        save(other);
        EXPECT_TRUE(same(at47, other)) << x;
    }
    // So far away that a step of 50 no longer changes the float: still
    // finishes, and acts at the coordinate's remainder.
    restore(start);
    float far = 3.0e9f;
    shapeTerrain(far, 5.0f, 12.5f, R, AMOUNT);
    save(other);
    restore(start);
    shapeTerrain(fmodf(far, 50.0f), 5.0f, 12.5f, R, AMOUNT);
    Grids remainder;
    save(remainder);
    EXPECT_TRUE(same(other, remainder));
    EXPECT_FALSE(same(start, remainder));
}

TEST(TerrainBrush, StrictlyInsideTheSphere) {
    flatWorld(5.0f, 30.0f);
    shapeTerrain(10.0f, 5.0f, 10.0f, R, AMOUNT);
    EXPECT_EQ(floorHeight[15][10], 5.0f); // h exactly 5
    EXPECT_EQ(floorHeight[13][14], 5.0f); // 3-4-5: h exactly 5
    EXPECT_EQ(floorHeight[5][10], 5.0f);
    EXPECT_GT(floorHeight[14][10], 5.0f);
    EXPECT_GT(floorHeight[13][13], 5.0f);
    // Directly below, on the surface: r x amount.
    EXPECT_FLOAT_EQ(floorHeight[10][10], 5.0f + R * AMOUNT);
    // Within reach horizontally but exactly r below the centre: untouched.
    flatWorld(5.0f, 30.0f);
    shapeTerrain(10.0f, 10.0f, 10.0f, R, AMOUNT);
    EXPECT_EQ(floorHeight[10][10], 5.0f);
    // A little less than r below: edited at h = 0 and 1, not at h = 3
    // where the distance in space, sqrt(9 + 4.75^2), exceeds r.
    flatWorld(5.0f, 30.0f);
    shapeTerrain(10.0f, 9.75f, 10.0f, R, AMOUNT);
    EXPECT_FLOAT_EQ(floorHeight[10][10], 5.0f + R * AMOUNT);
    EXPECT_FLOAT_EQ(floorHeight[11][10], 5.0f + (R - 1.0f) * AMOUNT);
    EXPECT_EQ(floorHeight[13][10], 5.0f);
}

TEST(TerrainBrush, OpenSpaceOnlyMarksDirty) {
    flatWorld(5.0f, 30.0f);
    Grids before;
    save(before);
    shapeTerrain(10.0f, 17.0f, 10.0f, R, AMOUNT);
    EXPECT_EQ(memcmp(before.floor, floorHeight, sizeof before.floor), 0);
    EXPECT_EQ(memcmp(before.ceiling, ceilingHeight, sizeof before.ceiling), 0);
    // Grid indices 4..16 each way: chunks 0..3 in x and z, nothing else.
    for (int cx = 0; cx < CHUNK_COUNT; cx++)
        for (int cz = 0; cz < CHUNK_COUNT; cz++)
            EXPECT_EQ(chunkDirty[cx * CHUNK_COUNT + cz], (cx <= 3 && cz <= 3) ? 1 : 0)
                << cx << "," << cz;
}

TEST(TerrainBrush, LowPassageAndClamps) {
    // Floor 5 and ceiling 7, brush between: floor up and ceiling down.
    flatWorld(5.0f, 7.0f);
    shapeTerrain(20.0f, 6.0f, 20.0f, R, AMOUNT);
    EXPECT_FLOAT_EQ(floorHeight[20][20], 5.0f + R * AMOUNT);
    EXPECT_FLOAT_EQ(ceilingHeight[20][20], 7.0f - R * AMOUNT);
    // Raising a floor at 34.7 by 0.1 stops at 34.75; lowering a ceiling at
    // 0.3 by 0.1 stops at 0.25.
    flatWorld(34.7f, 34.7f);
    ceilingHeight[20][20] = 0.3f;
    shapeTerrain(20.0f, 34.7f, 20.0f, R, 0.02f);
    EXPECT_EQ(floorHeight[20][20], MAX_SURFACE_HEIGHT);
    flatWorld(0.3f, 0.3f);
    shapeTerrain(20.0f, 0.3f, 20.0f, R, 0.02f);
    EXPECT_EQ(ceilingHeight[20][20], MIN_SURFACE_HEIGHT);
    EXPECT_FLOAT_EQ(floorHeight[20][20], 0.3f + 0.1f);
    // Carving: a negative amount lowers the floor, never below 0.25.
    flatWorld(0.3f, 30.0f);
    shapeTerrain(20.0f, 0.3f, 20.0f, R, -0.02f);
    EXPECT_EQ(floorHeight[20][20], MIN_SURFACE_HEIGHT);
    for (int x = 0; x < WORLD_SIZE; x++)
        for (int z = 0; z < WORLD_SIZE; z++)
            ASSERT_GE(floorHeight[x][z], MIN_SURFACE_HEIGHT);
}

// Brute force in double over all nine copies of every sample; cases within
// a hair of a boundary are left undecided.
TEST(TerrainBrush, AgreesWithABruteForceBrush) {
    const double hair = 1e-4;
    srand(5);
    for (int trial = 0; trial < 200; trial++) {
        roughWorld(100 + trial);
        Grids before;
        save(before);
        double cx = 100.0 * rand() / RAND_MAX - 50.0;
        double cz = 100.0 * rand() / RAND_MAX - 50.0;
        double cy = 2.0 + 13.0 * rand() / RAND_MAX;
        double r = 1.0 + 7.0 * rand() / RAND_MAX;
        double amount = 0.2 * rand() / RAND_MAX - 0.1;
        shapeTerrain((float)cx, (float)cy, (float)cz, (float)r, (float)amount);
        double wx = fmod(fmod(cx, 50.0) + 50.0, 50.0), wz = fmod(fmod(cz, 50.0) + 50.0, 50.0);
        for (int x = 0; x < WORLD_SIZE; x++)
            for (int z = 0; z < WORLD_SIZE; z++) {
                double h = 1e9;
                for (int sx = -1; sx <= 1; sx++)
                    for (int sz = -1; sz <= 1; sz++)
                        h = fmin(h, hypot(wx - (x + 50.0 * sx), wz - (z + 50.0 * sz)));
                const float* was[2] = {&before.floor[x][z], &before.ceiling[x][z]};
                const float* now[2] = {&floorHeight[x][z], &ceilingHeight[x][z]};
                for (int s = 0; s < 2; s++) {
                    double d3 = hypot(h, cy - *was[s]);
                    if (fabs(h - r) < hair || fabs(d3 - r) < hair)
                        continue;
                    double expected = *was[s];
                    if (h < r && d3 < r)
                        expected += (s == 0 ? 1 : -1) * (r - h) * amount;
                    expected = fmin(fmax(expected, 0.25), 34.75);
                    ASSERT_NEAR(*now[s], expected, 1e-4) << trial << " " << x << "," << z;
                }
                // Every sample within the radius lies in a chunk now dirty.
                if (h < r - hair) {
                    ASSERT_EQ(chunkDirty[(x / 5) * 10 + z / 5], 1) << trial;
                }
            }
    }
}

TEST(TerrainBrush, UnusableInputEditsNothing) {
    roughWorld(9);
    Grids before, after;
    save(before);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    shapeTerrain(nan, 5, 5, R, AMOUNT);
    shapeTerrain(5, 5, inf, R, AMOUNT);
    shapeTerrain(5, 5, 5, nan, AMOUNT);
    shapeTerrain(5, 5, 5, 1e20f, AMOUNT);
    shapeTerrain(5, 5, 5, R, nan);
    save(after);
    EXPECT_TRUE(same(before, after));
}

} // namespace
