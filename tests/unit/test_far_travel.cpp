// test_far_travel.cpp: the world repeats every 50 units, so a player tens of
// thousands of units away in any direction must meet the same cave. The
// player is carried out in jumps of 5,000 units along each of eight
// directions to 40,000 units and plays a while at every stop: the chunks the
// renderer draws around it, the collision queries, the block cell rule and
// the brush at the far position agree with the same place in the first
// repeat, and no value of the game turns into a non-number.
#include <cmath>
#include <cstring>
#include <vector>

#include "game_fixture.h"
#include "physics/collision.h"
#include "physics/world_cells.h"
#include "render/scene_layout.h"

namespace {

const float JUMP = 5000.0f;    // world units, a whole number of repeats
const int JUMPS = 8;           // to 40,000 units
const float FAR_SLACK = 0.02f; // float spacing at 40,000 is 0.004; a few steps of it

bool finiteFigure(const Figure& f) {
    const float* values[] = {&f.position.x, &f.velocity.x, &f.target.x,
                             &f.head.x,     &f.neck.x,     &f.hipCentre.x};
    for (const float* v : values)
        if (!std::isfinite(v[0]) || !std::isfinite(v[1]) || !std::isfinite(v[2]))
            return false;
    for (int k = 0; k < 2; k++) {
        const float limbs[] = {f.shoulderX[k], f.shoulderY[k], f.shoulderZ[k], f.handX[k],
                               f.handY[k],     f.handZ[k],     f.hipX[k],      f.hipY[k],
                               f.hipZ[k],      f.footX[k],     f.footY[k],     f.footZ[k]};
        for (float v : limbs)
            if (!std::isfinite(v))
                return false;
    }
    return std::isfinite(f.pitch) && std::isfinite(f.yaw);
}

bool finiteGame() {
    if (!finiteFigure(player))
        return false;
    for (int i = 0; i < figureCount; i++)
        if (!finiteFigure(figures[i]))
            return false;
    for (int i = 0; i < ballCount; i++)
        if (!finite(balls[i].position) || !finite(balls[i].velocity))
            return false;
    const CameraPose* cameras[] = {&firstPersonCamera, &thirdPersonCamera, &viewCamera};
    for (const CameraPose* c : cameras)
        if (!finite(c->position) || !std::isfinite(c->pitch) || !std::isfinite(c->yaw))
            return false;
    return std::isfinite(settleProgress);
}

// The drawing around a far position: the chunk the renderer centres on is
// the one the player's body lies in, and every chunk position of the disc
// shows the mesh slot of the position it repeats, exactly as at home.
void expectSameTiling(Vector3 far, Vector3 home, float ox, float oz) {
    const int range = 6;
    static ChunkPosition farDisc[MAX_DISC_POSITIONS], homeDisc[MAX_DISC_POSITIONS];
    int farI = chunkCoordinate(far.x), farJ = chunkCoordinate(far.z);
    int homeI = chunkCoordinate(home.x), homeJ = chunkCoordinate(home.z);
    EXPECT_EQ(farI, (int)std::floor(far.x / 5.0f));
    EXPECT_EQ(farI - homeI, (int)(ox / 5.0f));
    EXPECT_EQ(farJ - homeJ, (int)(oz / 5.0f));
    int n = discChunkPositions(farI, farJ, range, farDisc, MAX_DISC_POSITIONS);
    int m = discChunkPositions(homeI, homeJ, range, homeDisc, MAX_DISC_POSITIONS);
    ASSERT_EQ(n, m);
    ASSERT_GT(n, 100);
    for (int k = 0; k < n; k++) {
        EXPECT_EQ(farDisc[k].slot, homeDisc[k].slot) << "position " << k;
        EXPECT_EQ(farDisc[k].slot, chunkIndex(farDisc[k].i, farDisc[k].j)) << "position " << k;
        EXPECT_EQ(farDisc[k].i - homeDisc[k].i, farI - homeI);
    }
}

// The sphere and segment queries at (x + ox, y, z + oz) give the answers they
// give at (x, y, z), moved by the same offset, up to the far floats' spacing.
void expectSameQueries(float ox, float oz) {
    int contacts = 0, hits = 0;
    for (float gridX = 1.3f; gridX < 50.0f; gridX += 4.1f) {
        for (float gridZ = 2.7f; gridZ < 50.0f; gridZ += 4.3f) {
            // The far start is rounded to the far floats' spacing; the home
            // query starts from the same point of the cell (exactly: both
            // offsets are whole multiples of that spacing).
            float x = (gridX + ox) - ox, z = (gridZ + oz) - oz;
            for (float y : {3.5f, 4.0f, 20.0f, 29.5f}) {
                float nx = x, ny = y, nz = z;
                float fx = x + ox, fy = y, fz = z + oz;
                bool near = collideSphereWithWorld(nx, ny, nz, 1.25f);
                bool far = collideSphereWithWorld(fx, fy, fz, 1.25f);
                ASSERT_EQ(near, far) << "sphere at " << x << "," << y << "," << z;
                EXPECT_NEAR(fx - ox, nx, FAR_SLACK);
                EXPECT_NEAR(fy, ny, FAR_SLACK);
                EXPECT_NEAR(fz - oz, nz, FAR_SLACK);
                contacts += near;

                // Straight down and slanting across cells, as aim rays go.
                float ex = x + 7.0f, ey = y - 40.0f, ez = z - 3.0f;
                float gx = ex + ox, gy = ey, gz = ez + oz;
                bool hitNear = clipSegmentToWorld(x, y, z, ex, ey, ez);
                bool hitFar = clipSegmentToWorld(x + ox, y, z + oz, gx, gy, gz);
                ASSERT_EQ(hitNear, hitFar) << "segment from " << x << "," << y << "," << z;
                EXPECT_NEAR(gx - ox, ex, FAR_SLACK);
                EXPECT_NEAR(gy, ey, FAR_SLACK);
                EXPECT_NEAR(gz - oz, ez, FAR_SLACK);
                hits += hitNear;
            }
        }
    }
    EXPECT_GT(contacts, 20);
    EXPECT_GT(hits, 200);
}

class FarTravel : public GameTest {};

TEST_F(FarTravel, EveryDirectionMeetsTheSameCave) {
    const int directions[8][2] = {{1, 0}, {-1, 0},  {0, 1},  {0, -1},
                                  {1, 1}, {-1, -1}, {1, -1}, {-1, 1}};
    settlePlayer();
    const Vector3 home = player.position;
    for (const auto& d : directions) {
        for (int jump = 1; jump <= JUMPS; jump++) {
            float ox = d[0] * JUMP * jump, oz = d[1] * JUMP * jump;
            // Carry everything along, as a long flight would have.
            Vector3 at{home.x + ox, home.y, home.z + oz};
            player.position = at;
            player.velocity = Vector3{0, 0, 0};
            firstPersonCamera.position = thirdPersonCamera.position = viewCamera.position = at;
            figureCount = 0;
            ballCount = 0;

            // Chunk lookup: the cell the far position lies in maps to the
            // chunk of the home position's cell, for collision and drawing.
            CellRange range = sphereCellRange(at.x, at.z, 0.0f);
            CellRange homeRange = sphereCellRange(home.x, home.z, 0.0f);
            EXPECT_EQ(chunkIndex(range.firstX, range.firstZ),
                      chunkIndex(homeRange.firstX, homeRange.firstZ));
            expectSameTiling(at, home, ox, oz);

            // Play a little: fly toward the pointer, throw balls, create an
            // enemy, place and remove blocks, shape the ground.
            mouseX = (int)(TEST_WIDTH * 0.55f);
            mouseY = (int)(TEST_HEIGHT * 0.7f);
            const int modes[] = {ActionFly,        ActionShootBall,   ActionSpawnEnemy,
                                 ActionSpawnBlock, ActionRemoveBlock, ActionRaiseGround,
                                 ActionLowerGround};
            for (int mode : modes) {
                actionType = mode;
                pressButton(MOUSE_LEFT);
                steps(6, 1.0f);
                releaseButton(MOUSE_LEFT);
                steps(2, 1.0f);
            }
            ASSERT_TRUE(finiteGame()) << "direction " << d[0] << "," << d[1] << " at " << jump;
            // Still near where it was put: the flight is short, and nothing
            // fell through the world.
            EXPECT_LT(std::fabs(player.position.x - at.x), 20.0f);
            EXPECT_LT(std::fabs(player.position.z - at.z), 20.0f);
            EXPECT_GT(player.position.y, FLOOR_Y - 1.0f);
            EXPECT_LT(player.position.y, CEILING_Y + 1.0f);
            EXPECT_GE(ballCount, 1);
            EXPECT_EQ(figureCount, 1);
        }
        expectSameQueries(d[0] * JUMP * JUMPS, d[1] * JUMP * JUMPS);
    }
}

TEST_F(FarTravel, EditsFarAwayChangeTheSameCells) {
    const float far = 45000.0f; // 900 repeats
    for (float sign : {1.0f, -1.0f}) {
        float ox = sign * far, oz = -sign * far;
        // The block cell rule.
        for (int k = 0; k < 40; k++) {
            // Inside the walls, between the floor and the layer at level 24.
            Vector3 p{5.5f + (float)(k * 7 % 40), 10.5f + (float)(k % 5),
                      5.5f + (float)(k * 13 % 40)};
            ASSERT_TRUE(setBlockAtPoint(Vector3{p.x + ox, p.y, p.z + oz}, 1));
            EXPECT_EQ(blocks[(int)p.x][(int)p.y][(int)p.z], 1);
            ASSERT_TRUE(setBlockAtPoint(p, 0));
        }
        // The brush: a stroke far away edits the heights as the same stroke
        // at home does.
        static float farFloor[WORLD_SIZE][WORLD_SIZE], homeFloor[WORLD_SIZE][WORLD_SIZE];
        static float saved[WORLD_SIZE][WORLD_SIZE];
        memcpy(saved, floorHeight, sizeof saved);
        shapeTerrain(12.25f + ox, FLOOR_Y, 37.75f + oz, 5.0f, 0.05f);
        memcpy(farFloor, floorHeight, sizeof farFloor);
        memcpy(floorHeight, saved, sizeof saved);
        shapeTerrain(12.25f, FLOOR_Y, 37.75f, 5.0f, 0.05f);
        memcpy(homeFloor, floorHeight, sizeof homeFloor);
        memcpy(floorHeight, saved, sizeof saved);
        int changed = 0;
        for (int x = 0; x < WORLD_SIZE; x++)
            for (int z = 0; z < WORLD_SIZE; z++) {
                EXPECT_NEAR(farFloor[x][z], homeFloor[x][z], 0.01f) << x << "," << z;
                changed += homeFloor[x][z] != saved[x][z];
            }
        EXPECT_GT(changed, 50);
    }
}

} // namespace
