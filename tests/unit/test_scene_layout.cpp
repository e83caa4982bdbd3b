// test_scene_layout.cpp: which chunk positions the scene draws and with which
// meshes, the per-column culling, the far plane and the label's place.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "render/scene_layout.h"

namespace {

ChunkPosition table[MAX_DISC_POSITIONS];

ViewFrustum frustumFor(float x, float y, float z, float pitch, float yaw, float farPlane) {
    CameraPose camera{};
    camera.position = {x, y, z};
    camera.pitch = pitch;
    camera.yaw = yaw;
    float projection[16];
    float modelview[16];
    perspectiveMatrix(projection, 50.0f, 4.0f / 3.0f, 0.1f, farPlane);
    cameraModelviewMatrix(modelview, camera);
    ViewFrustum f{};
    frustumFromMatrices(f, projection, modelview);
    return f;
}

} // namespace

TEST(SceneLayout, ChunkCoordinateRoundsDown) {
    EXPECT_EQ(chunkCoordinate(0.0f), 0);
    EXPECT_EQ(chunkCoordinate(4.99f), 0);
    EXPECT_EQ(chunkCoordinate(5.0f), 1);
    EXPECT_EQ(chunkCoordinate(27.5f), 5);
    EXPECT_EQ(chunkCoordinate(-0.1f), -1);
    EXPECT_EQ(chunkCoordinate(-5.0f), -1);
    EXPECT_EQ(chunkCoordinate(-5.01f), -2);
    EXPECT_EQ(chunkCoordinate(-52.0f), -11);
    // Garbage positions give a usable chunk instead of undefined conversions.
    EXPECT_EQ(chunkCoordinate(NAN), 0);
    EXPECT_EQ(chunkCoordinate(1e30f), 1000000);
    EXPECT_EQ(chunkCoordinate(-1e30f), -1000000);
}

TEST(SceneLayout, DiscSizesAndOrder) {
    // No position has a distance below 0, nor below a negative range.
    EXPECT_EQ(discChunkPositions(0, 0, 0, table, MAX_DISC_POSITIONS), 0);
    EXPECT_EQ(discChunkPositions(0, 0, -3, table, MAX_DISC_POSITIONS), 0);
    // Range 1: only the player's own chunk.
    ASSERT_EQ(discChunkPositions(3, 4, 1, table, MAX_DISC_POSITIONS), 1);
    EXPECT_EQ(table[0].i, 3);
    EXPECT_EQ(table[0].j, 4);
    EXPECT_EQ(table[0].slot, 34);
    // Range 2: the 3 x 3 square (the diagonal is 1.41); (2, 0) at exactly 2 is out.
    ASSERT_EQ(discChunkPositions(0, 0, 2, table, MAX_DISC_POSITIONS), 9);
    const int expectedI[9] = {-1, -1, -1, 0, 0, 0, 1, 1, 1};
    const int expectedJ[9] = {-1, 0, 1, -1, 0, 1, -1, 0, 1};
    for (int n = 0; n < 9; n++) {
        EXPECT_EQ(table[n].i, expectedI[n]) << n;
        EXPECT_EQ(table[n].j, expectedJ[n]) << n;
    }
    // Range 3: the 5 x 5 square (corner 2.83), nothing at distance 3.
    EXPECT_EQ(discChunkPositions(0, 0, 3, table, MAX_DISC_POSITIONS), 25);
    // A full table refuses the rest.
    EXPECT_EQ(discChunkPositions(0, 0, 3, table, 10), 10);
    EXPECT_EQ(table[9].i, -1);
    // The largest range fits the table.
    const int largest = discChunkPositions(0, 0, MAX_VIEW_RANGE, table, MAX_DISC_POSITIONS);
    EXPECT_GT(largest, 31000);
    EXPECT_LT(largest, MAX_DISC_POSITIONS);
}

TEST(SceneLayout, DiscMatchesTheDistanceRule) {
    // Every position of the square is in the list exactly when
    // sqrt(di^2 + dj^2) < r, as floats, for a range bigger than the world.
    const int r = 7;
    const int count = discChunkPositions(-2, 13, r, table, MAX_DISC_POSITIONS);
    int expected = 0;
    for (int i = -2 - r; i <= -2 + r; i++) {
        for (int j = 13 - r; j <= 13 + r; j++) {
            const float d = std::sqrt((float)((i + 2) * (i + 2) + (j - 13) * (j - 13)));
            bool listed = false;
            for (int n = 0; n < count; n++) {
                listed = listed || (table[n].i == i && table[n].j == j);
            }
            EXPECT_EQ(listed, d < (float)r) << i << "," << j;
            expected += d < (float)r ? 1 : 0;
        }
    }
    EXPECT_EQ(count, expected);
}

TEST(SceneLayout, NegativePositionsMapToTheRightChunk) {
    // A player just below x = 0 and z = 0 stands in chunk (-1, -1): slot 99,
    // drawn at x and z from -5 to 0.
    const int pcx = chunkCoordinate(-0.1f);
    const int pcz = chunkCoordinate(-3.0f);
    ASSERT_EQ(discChunkPositions(pcx, pcz, 1, table, MAX_DISC_POSITIONS), 1);
    EXPECT_EQ(table[0].i, -1);
    EXPECT_EQ(table[0].j, -1);
    EXPECT_EQ(table[0].slot, 9 * 10 + 9);
    // Far into negative space.
    ASSERT_EQ(discChunkPositions(-11, -20, 1, table, MAX_DISC_POSITIONS), 1);
    EXPECT_EQ(table[0].slot, 9 * 10 + 0);
    ASSERT_EQ(discChunkPositions(-1, 3, 1, table, MAX_DISC_POSITIONS), 1);
    EXPECT_EQ(table[0].slot, 93);
    // Every slot of range 2 around (-1, -1): chunks 9, 0, 8 along each axis.
    ASSERT_EQ(discChunkPositions(-1, -1, 2, table, MAX_DISC_POSITIONS), 9);
    const int expectedSlots[9] = {88, 89, 80, 98, 99, 90, 8, 9, 0};
    for (int n = 0; n < 9; n++) {
        EXPECT_EQ(table[n].slot, expectedSlots[n]) << n;
    }
}

TEST(SceneLayout, RangesAboveFiveRepeatTheWorld) {
    // Range 6 from (0, 0): chunk 5 of each axis appears at i = -5 and at i = 5,
    // 50 units apart.
    int count = discChunkPositions(0, 0, 6, table, MAX_DISC_POSITIONS);
    int seenSlot50 = 0;
    for (int n = 0; n < count; n++) {
        if (table[n].slot == 50) {
            EXPECT_EQ(table[n].j, 0);
            EXPECT_TRUE(table[n].i == -5 || table[n].i == 5) << table[n].i;
            seenSlot50++;
        }
    }
    EXPECT_EQ(seenSlot50, 2);
    // Range 11: the centre chunk's slot at the centre and 10 chunks away on each axis.
    count = discChunkPositions(0, 0, 11, table, MAX_DISC_POSITIONS);
    int seenSlot0 = 0;
    for (int n = 0; n < count; n++) {
        if (table[n].slot == 0) {
            seenSlot0++;
            const int offAxis = (table[n].i != 0) + (table[n].j != 0);
            EXPECT_LE(offAxis, 1);
            EXPECT_EQ(std::abs(table[n].i) % 10, 0);
            EXPECT_EQ(std::abs(table[n].j) % 10, 0);
        }
    }
    EXPECT_EQ(seenSlot0, 5);
}

TEST(SceneLayout, ColumnAndWaterCulling) {
    // Eye high up in chunk (0, 0) looking level along +x, far plane 10: the
    // column is seen through its top cube only, the water slab not at all.
    ViewFrustum f = frustumFor(2.5f, 32.5f, 2.5f, 0.0f, 1.570796325f, 10.0f);
    EXPECT_TRUE(chunkColumnVisible(f, 0, 0));
    EXPECT_FALSE(waterSlabVisible(f, 0, 0));
    EXPECT_TRUE(chunkColumnVisible(f, 1, 0));   // ahead
    EXPECT_FALSE(chunkColumnVisible(f, -2, 0)); // behind
    EXPECT_FALSE(chunkColumnVisible(f, 4, 0));  // 17.5 ahead, past the far plane
    // Eye low, looking level: the water slab ahead is seen.
    f = frustumFor(2.5f, 2.0f, 2.5f, 0.0f, 1.570796325f, 10.0f);
    EXPECT_TRUE(waterSlabVisible(f, 1, 0));
    EXPECT_FALSE(waterSlabVisible(f, -2, 0));
    // Culling follows the tiling: the same chunk column 50 units on is its own position.
    EXPECT_FALSE(chunkColumnVisible(f, 11, 0));
}

TEST(SceneLayout, FarPlaneFollowsTheRange) {
    EXPECT_EQ(farPlaneDistance(0), 5.0f);
    EXPECT_EQ(farPlaneDistance(3), 20.0f);
    EXPECT_EQ(farPlaneDistance(10), 55.0f);
    // A negative range draws as 0, keeping the far plane beyond the near one.
    EXPECT_EQ(drawnViewRange(-2), 0);
    EXPECT_EQ(farPlaneDistance(-2), 5.0f);
    EXPECT_EQ(drawnViewRange(6), 6);
}

TEST(SceneLayout, LabelPosition) {
    EXPECT_EQ(labelPanelX(800.0f), 525);
    EXPECT_EQ(labelPanelX(1280.0f), 1005);
    EXPECT_EQ(labelPanelX(800.9f), 525); // truncated
    const char* swing = labelText(ActionSwing);
    ASSERT_NE(swing, nullptr);
    EXPECT_STREQ(swing, "actiontype_swing");
    EXPECT_EQ(std::strlen(swing), 16u);
    // 16 characters start 45 pixels right of the panel's left edge.
    EXPECT_EQ(labelTextX(525, swing) - 525, 45);
    // 22 characters: 15 pixels right; centred on the panel's middle either way.
    EXPECT_STREQ(labelText(ActionRaiseGround), "actiontype_raiseground");
    EXPECT_EQ(labelTextX(525, labelText(ActionRaiseGround)), 540);
    EXPECT_STREQ(labelText(ActionFly), "actiontype_fly");
    EXPECT_EQ(labelTextX(0, labelText(ActionFly)), 55);
    EXPECT_STREQ(labelText(ActionSlowMotion), "actiontype_slowmo");
    EXPECT_EQ(labelText(9), nullptr);
    EXPECT_EQ(labelText(-1), nullptr);
}
