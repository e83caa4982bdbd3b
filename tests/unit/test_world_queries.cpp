// test_world_queries.cpp: the sphere and segment queries over the repeating
// world, on chunk lists built by hand.
#include "game/game.h"
#include "physics/collision.h"
#include "physics/world_cells.h"
#include "triangle_lists.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>
#include <vector>

namespace {

const float R = 1.25f;

std::vector<std::pair<int, int>> cellsOf(float x1, float z1, float x2, float z2) {
    int cells[256][2];
    int n = listSegmentCells(x1, z1, x2, z2, cells, 256);
    std::vector<std::pair<int, int>> out;
    for (int k = 0; k < n && k < 256; k++)
        out.push_back({cells[k][0], cells[k][1]});
    return out;
}

using Cells = std::vector<std::pair<int, int>>;

TEST(SegmentCells, LineHelpers) {
    EXPECT_FLOAT_EQ(lineZAtX(5, 0, 0, 10, 20), 10.0f);
    EXPECT_FLOAT_EQ(lineXAtZ(5, 0, 0, 10, 20), 2.5f);
    // Parallel to an axis: the second point is nudged by 0.001, so the line
    // meets the parallel sides only far away, and never divides by zero.
    EXPECT_NEAR(lineZAtX(3, 2, 0, 2, 1), 1000.0f, 0.1f);
    EXPECT_NEAR(lineXAtZ(3, 0, 2, 1, 2), 1000.0f, 0.1f);
    EXPECT_TRUE(std::isfinite(lineZAtX(3, 2, 2, 2, 2)));
    // Square [0, 5] x [0, 5], given as xmin, zmax, xmax, zmin.
    EXPECT_TRUE(lineTouchesCell(1, 1, 20, 30, 0, 5, 5, 0)); // first point inside
    EXPECT_TRUE(lineTouchesCell(-9, -9, 5, 5, 0, 5, 5, 0)); // second point on a corner
    EXPECT_TRUE(lineTouchesCell(-1, 2, 7, 3, 0, 5, 5, 0));  // passes straight through
    EXPECT_TRUE(lineTouchesCell(-4, 6, -2, 4, 0, 5, 5, 0)); // its line clips the corner region
    EXPECT_FALSE(lineTouchesCell(-1, 7, 7, 8, 0, 5, 5, 0)); // passes above
    EXPECT_FALSE(lineTouchesCell(6, -1, 6, 9, 0, 5, 5, 0)); // parallel, beside it
    EXPECT_TRUE(lineTouchesCell(5, -1, 5, 9, 0, 5, 5, 0));  // parallel, along its side
}

TEST(SegmentCells, CellsScanned) {
    // A vertical segment: its own cell only, even on the cell's lower border.
    EXPECT_EQ(cellsOf(7, 3, 7, 3), (Cells{{1, 0}}));
    EXPECT_EQ(cellsOf(5, 5, 5, 5), (Cells{{1, 1}}));
    EXPECT_EQ(cellsOf(-0.5f, 3, -0.5f, 3), (Cells{{-1, 0}}));
    // x from 2 to 5 ends on cell 1's border; 5 to 7 lies in cell 1 alone.
    EXPECT_EQ(cellsOf(2, 2.5f, 5, 2.5f), (Cells{{0, 0}, {1, 0}}));
    EXPECT_EQ(cellsOf(5, 2.5f, 7, 2.5f), (Cells{{1, 0}}));
    // Through the corners (5, 5) and (10, 10): seven cells, the two
    // off-diagonal corners of the box skipped.
    Cells diagonal{{0, 0}, {0, 1}, {1, 0}, {1, 1}, {1, 2}, {2, 1}, {2, 2}};
    EXPECT_EQ(cellsOf(2.5f, 2.5f, 12.5f, 12.5f), diagonal);
    EXPECT_EQ(cellsOf(12.5f, 12.5f, 2.5f, 2.5f), diagonal);
    // A 50-unit aim ray scans its path, far fewer than its 11 x 11 box.
    Cells aim = cellsOf(1, 2, 41, 32);
    EXPECT_GE(aim.size(), 11u);
    EXPECT_LE(aim.size(), 2u * 11u + 2u);
}

class WorldQuery : public ::testing::Test {
  protected:
    TestWorld world;
    void SetUp() override { settleProgress = 0.0f; }
    void TearDown() override { settleProgress = 0.0f; }
};

TEST_F(WorldQuery, SphereOnAFloor) {
    TestList floor;
    addFloor(floor, -1, -1, 6, 6, 1.0f);
    terrainCollision[chunkIndex(0, 0)] = &floor.list;
    // Sunk by any amount under the radius: lifted to exactly one radius.
    for (float sunk : {0.0001f, 0.5f, 1.0f, 1.2499f}) {
        float x = 2.5f, y = 1.0f + R - sunk, z = 3.0f;
        EXPECT_TRUE(collideSphereWithWorld(x, y, z, R));
        EXPECT_EQ(y, 1.0f + R);
        EXPECT_EQ(x, 2.5f);
        EXPECT_EQ(z, 3.0f);
    }
    // Resting: untouched, no contact. Clear of everything likewise.
    float x = 2.5f, y = 1.0f + R, z = 3.0f;
    EXPECT_FALSE(collideSphereWithWorld(x, y, z, R));
    EXPECT_EQ(y, 1.0f + R);
    y = 20.0f;
    EXPECT_FALSE(collideSphereWithWorld(x, y, z, R));
    EXPECT_EQ(y, 20.0f);
    // Every repeat of the world holds the same floor, also at negative
    // coordinates and hundreds of repeats away.
    for (int k : {-300, -7, -1, 1, 2, 40, 299}) {
        float wx = 2.5f + 50.0f * k, wy = 1.5f, wz = 3.0f - 50.0f * k;
        EXPECT_TRUE(collideSphereWithWorld(wx, wy, wz, R)) << k;
        EXPECT_EQ(wy, 1.0f + R) << k;
        EXPECT_EQ(wx, 2.5f + 50.0f * k) << k;
        EXPECT_EQ(wz, 3.0f - 50.0f * k) << k;
    }
}

TEST_F(WorldQuery, NegativeCellsUseTheLastChunkRow) {
    // x = -1 lies in cell -1: chunk row 9, local x 4.
    TestList floor;
    addFloor(floor, 3.5f, 2, 4.5f, 3, 1.0f);
    terrainCollision[chunkIndex(9, 0)] = &floor.list;
    EXPECT_EQ(chunkIndex(-1, 0), 90);
    float x = -1.0f, y = 1.5f, z = 2.5f;
    EXPECT_TRUE(collideSphereWithWorld(x, y, z, R));
    EXPECT_EQ(y, 1.0f + R);
    EXPECT_EQ(x, -1.0f);
    x = 49.0f, y = 1.5f, z = 2.5f;
    EXPECT_TRUE(collideSphereWithWorld(x, y, z, R));
    EXPECT_EQ(y, 1.0f + R);
    // Four units away the square lies outside the sphere's cells.
    x = -6.0f, y = 1.5f, z = 2.5f;
    EXPECT_FALSE(collideSphereWithWorld(x, y, z, R));
}

TEST_F(WorldQuery, ChunkCornerScansFourChunksInOrder) {
    // Each of the four chunks around the corner (5, 5) alone catches it.
    for (int cx = 0; cx < 2; cx++)
        for (int cz = 0; cz < 2; cz++) {
            world.reset();
            TestList floor;
            float lx = 5.0f - 5.0f * cx, lz = 5.0f - 5.0f * cz; // the corner, chunk-local
            addFloor(floor, lx - 0.5f, lz - 0.5f, lx + 0.5f, lz + 0.5f, 0.0f);
            terrainCollision[chunkIndex(cx, cz)] = &floor.list;
            float x = 5.1f, y = 0.5f, z = 5.1f;
            EXPECT_TRUE(collideSphereWithWorld(x, y, z, R)) << cx << cz;
            EXPECT_EQ(y, R);
        }
    // Order: a floor in chunk (0, 0) lifts the sphere to 1.25; a ceiling at
    // 2 in chunk (1, 1), visited later, then finds it 0.75 below and pushes
    // it down to 0.75. The other order would leave it at 1.25.
    world.reset();
    TestList floor, ceiling;
    addFloor(floor, 3, 3, 7, 7, 0.0f);
    addCeiling(ceiling, -2, -2, 2, 2, 2.0f);
    terrainCollision[chunkIndex(0, 0)] = &floor.list;
    terrainCollision[chunkIndex(1, 1)] = &ceiling.list;
    float x = 4.9f, y = 0.5f, z = 4.9f;
    EXPECT_TRUE(collideSphereWithWorld(x, y, z, R));
    EXPECT_FLOAT_EQ(y, 0.75f);
}

TEST_F(WorldQuery, FacesOfBothListsBeforeEdges) {
    // Terrain floor up to x = 2, block floor from x = 2, both at y = 0. The
    // sunk sphere over the block floor is lifted by that face; the terrain
    // edge along the seam is then out of reach and leaves x alone.
    TestList terrain, block;
    addFloor(terrain, -3, 0, 2, 5, 0.0f);
    addFloor(block, 2, 0, 5, 5, 0.0f);
    terrainCollision[0] = &terrain.list;
    blockCollision[0] = &block.list;
    float x = 2.5f, y = 0.5f, z = 2.5f;
    EXPECT_TRUE(collideSphereWithWorld(x, y, z, R));
    EXPECT_EQ(x, 2.5f);
    EXPECT_EQ(y, R);
    EXPECT_EQ(z, 2.5f);
}

TEST_F(WorldQuery, FallingBlocksWhereTheyAreDrawn) {
    TestList falling;
    addFloor(falling, 0, 0, 5, 5, 3.0f);
    fallingCollision[0] = &falling.list;
    settleProgress = 0.25f; // drawn at 2.75
    // An empty falling mesh: the list is stale and never consulted.
    float x = 2, y = 3.0f, z = 2;
    EXPECT_FALSE(collideSphereWithWorld(x, y, z, R));
    EXPECT_EQ(y, 3.0f);
    float ex = 2, ey = 0, ez = 2;
    EXPECT_FALSE(clipSegmentToWorld(2, 6, 2, ex, ey, ez));
    EXPECT_EQ(ey, 0.0f);
    fallingMeshes[0].vertexCount = 4;
    EXPECT_TRUE(collideSphereWithWorld(x, y, z, R));
    EXPECT_FLOAT_EQ(y, 2.75f + R);
    // A resting body (on the drawn surface) stays put.
    y = 2.75f + R + 0.001f;
    EXPECT_FALSE(collideSphereWithWorld(x, y, z, R));
    // The clipped end comes back in world space.
    EXPECT_TRUE(clipSegmentToWorld(2, 6, 2, ex, ey, ez));
    EXPECT_FLOAT_EQ(ey, 2.75f);
    EXPECT_FLOAT_EQ(ex, 2.0f);
    fallingMeshes[0].vertexCount = 0;
}

TEST_F(WorldQuery, SegmentNearestHitWhicheverCellComesFirst) {
    // A terrain wall at x = 11 (cell 2) and a block wall at x = 3 (cell 0):
    // from x = 12 the terrain wall is nearer though cell 0 is scanned first.
    TestList terrain, block;
    addWallFacingNegX(terrain, 1, 0, 5, 0, 10); // chunk-local x 1 in cell 2
    addWallFacingNegX(block, 3, 0, 5, 0, 10);
    terrainCollision[chunkIndex(2, 0)] = &terrain.list;
    blockCollision[chunkIndex(0, 0)] = &block.list;
    float ex = 1, ey = 2, ez = 2.5f;
    EXPECT_TRUE(clipSegmentToWorld(12, 2, 2.5f, ex, ey, ez));
    EXPECT_FLOAT_EQ(ex, 11.0f);
    EXPECT_FLOAT_EQ(ey, 2.0f);
    EXPECT_FLOAT_EQ(ez, 2.5f);
    // The other way the block wall is nearer.
    ex = 12, ey = 2, ez = 2.5f;
    EXPECT_TRUE(clipSegmentToWorld(1, 2, 2.5f, ex, ey, ez));
    EXPECT_FLOAT_EQ(ex, 3.0f);
    // The same a world repeat to the west.
    ex = 1 - 50, ey = 2, ez = 2.5f;
    EXPECT_TRUE(clipSegmentToWorld(12 - 50, 2, 2.5f, ex, ey, ez));
    EXPECT_FLOAT_EQ(ex, 11.0f - 50);
    // Ending exactly on the nearer wall: only the far one could be crossed,
    // and it is not reached.
    ex = 11, ey = 2, ez = 2.5f;
    EXPECT_FALSE(clipSegmentToWorld(12, 2, 2.5f, ex, ey, ez));
    EXPECT_EQ(ex, 11.0f);
}

TEST_F(WorldQuery, MissLeavesTheEndExactlyAsItWas) {
    // Spanning the world's seam, through cells whose offsets do not round
    // trip exactly for these coordinates.
    float ex = 0.1f, ey = 5.3f, ez = 2.3f;
    EXPECT_FALSE(clipSegmentToWorld(47.7f, 5.3f, 2.2f, ex, ey, ez));
    EXPECT_EQ(ex, 0.1f);
    EXPECT_EQ(ey, 5.3f);
    EXPECT_EQ(ez, 2.3f);
    float x = 0.1f, y = 5.3f, z = 49.9f;
    EXPECT_FALSE(collideSphereWithWorld(x, y, z, R));
    EXPECT_EQ(x, 0.1f);
    EXPECT_EQ(z, 49.9f);
}

TEST_F(WorldQuery, UnusableInputIsRefused) {
    TestList floor;
    addFloor(floor, 0, 0, 5, 5, 1.0f);
    terrainCollision[0] = &floor.list;
    terrainCollision[1] = nullptr; // a slot never built moves nothing
    float x = 2, y = 1.5f, z = 7;
    EXPECT_FALSE(collideSphereWithWorld(x, y, z, R));
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    x = nan, y = 1.5f, z = 2;
    EXPECT_FALSE(collideSphereWithWorld(x, y, z, R));
    EXPECT_EQ(y, 1.5f);
    x = 2, y = 1.5f, z = 2;
    EXPECT_FALSE(collideSphereWithWorld(x, y, z, nan));
    EXPECT_FALSE(collideSphereWithWorld(x, y, z, 1e9f)); // would scan for ever
    EXPECT_EQ(y, 1.5f);
    x = 1e30f;
    EXPECT_FALSE(collideSphereWithWorld(x, y, z, R));
    EXPECT_EQ(x, 1e30f);
    float ex = inf, ey = 0, ez = 2;
    EXPECT_FALSE(clipSegmentToWorld(2, 3, 2, ex, ey, ez));
    EXPECT_EQ(ex, inf);
}

} // namespace
