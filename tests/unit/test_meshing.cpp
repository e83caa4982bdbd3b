// test_meshing.cpp: the terrain, block and falling meshes of the chunks, their
// collision lists, and the rebuild pass that keeps them in step.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <set>
#include <vector>

#include "game_fixture.h"

namespace {

// Corners of each face, corner 1 to 4, as offsets from the cell in x, y, z:
// '0', '1', or the quad's width 'W' or height 'H' in cells.
const char* const BLOCK_CORNERS[6][4] = {
    {"1H0", "1HW", "10W", "100"}, {"0HW", "0H0", "000", "00W"}, {"01H", "W1H", "W10", "010"},
    {"000", "W00", "W0H", "00H"}, {"WH1", "0H1", "001", "W01"}, {"0H0", "WH0", "W00", "000"}};
const char* const FALLING_CORNERS[6][4] = {
    {"100", "110", "111", "101"}, {"001", "011", "010", "000"}, {"011", "111", "110", "010"},
    {"000", "100", "101", "001"}, {"101", "111", "011", "001"}, {"000", "010", "110", "100"}};
const int OUTWARD[6][3] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
const int WIDEN[6] = {2, 2, 0, 0, 0, 0}, HEIGHTEN[6] = {1, 1, 2, 2, 1, 1}; // x 0, y 1, z 2

struct Mesh {
    std::vector<float> positions, texCoords, normals;
};

// The rule with work arrays over the whole world, as first designed: mark the visible faces, merge
// them greedily inside the chunk, emit a quad per face that starts one.
Mesh plainFaces(bool falling, int cx, int cz) {
    static int W[50][35][50][6], H[50][35][50][6];
    const auto& grid = falling ? fallingBlocks : blocks;
    const int x0 = 5 * cx, z0 = 5 * cz, limit[3] = {x0 + 4, 34, z0 + 4};
    auto inChunk = [&](auto visit) {
        for (int x = x0; x < x0 + 5; x++)
            for (int z = z0; z < z0 + 5; z++)
                for (int y = 0; y < 35; y++)
                    for (int f = 0; f < 6; f++)
                        visit(x, y, z, f);
    };
    inChunk([&](int x, int y, int z, int f) {
        int x1 = (x + 1) % 50, z1 = (z + 1) % 50, ny = y + OUTWARD[f][1];
        float low = std::min(
            {floorHeight[x][z], floorHeight[x1][z], floorHeight[x][z1], floorHeight[x1][z1]});
        bool hidden =
            ny < 0 ||
            (ny < 35 && grid[(x + OUTWARD[f][0] + 50) % 50][ny][(z + OUTWARD[f][2] + 50) % 50]);
        W[x][y][z][f] = H[x][y][z][f] =
            grid[x][y][z] && !hidden && (falling || (low <= y + 1 && (f != NegY || low <= y)));
    });
    auto isFree = [&](std::array<int, 3> p, int f) {
        return p[0] <= limit[0] && p[1] <= limit[1] && p[2] <= limit[2] &&
               W[p[0]][p[1]][p[2]][f] == 1 && H[p[0]][p[1]][p[2]][f] == 1;
    };
    auto absorb = [&](std::array<int, 3> p, int f) {
        W[p[0]][p[1]][p[2]][f] = H[p[0]][p[1]][p[2]][f] = 0;
    };
    if (optimizeGeometry && !falling)
        inChunk([&](int x, int y, int z, int f) {
            int w = 1, h = 1;
            auto cell = [&](int across, int up) {
                std::array<int, 3> p{x, y, z};
                p[WIDEN[f]] += across, p[HEIGHTEN[f]] += up;
                return p;
            };
            if (!isFree(cell(0, 0), f))
                return;
            for (; isFree(cell(w, 0), f); w++)
                absorb(cell(w, 0), f);
            for (;; h++) {
                bool rowFree = true;
                for (int i = 0; i < w; i++)
                    rowFree = rowFree && isFree(cell(i, h), f);
                if (!rowFree)
                    break;
                for (int i = 0; i < w; i++)
                    absorb(cell(i, h), f);
            }
            W[x][y][z][f] = w, H[x][y][z][f] = h;
        });
    Mesh m;
    inChunk([&](int x, int y, int z, int f) {
        int w = W[x][y][z][f], h = H[x][y][z][f];
        if (!grid[x][y][z] || w < 1)
            return;
        float u = 0.0625f + 0.125f * w, v = 0.125f * h,
              at[3] = {(float)(x - x0), (float)y, (float)(z - z0)};
        const float uv[8] = {0.0625f, v, u, v, u, 0, 0.0625f, 0};
        m.texCoords.insert(m.texCoords.end(), uv, uv + 8);
        for (int k = 0; k < 4; k++)
            for (int a = 0; a < 3; a++) {
                char c = (falling ? FALLING_CORNERS : BLOCK_CORNERS)[f][k][a];
                m.positions.push_back(at[a] + (c == 'W' ? w : c == 'H' ? h : c - '0'));
                m.normals.push_back((float)OUTWARD[f][a]);
            }
    });
    return m;
}

bool meshIs(const ChunkMesh& got, const Mesh& want) {
    return got.vertexCount == (int)want.positions.size() / 3 &&
           std::equal(want.positions.begin(), want.positions.end(), got.positions) &&
           std::equal(want.texCoords.begin(), want.texCoords.end(), got.texCoords) &&
           (!useLight || std::equal(want.normals.begin(), want.normals.end(), got.normals));
}

TEST(BlockFaces, BuildersFollowThePlainRuleOnRandomWorlds) {
    Rng rng(99);
    int quads = 0;
    for (int world = 0; world < 12; world++) {
        emptyCave(0.25f, 34.75f);
        for (int x = 0; x < 50; x++)
            for (int z = 0; z < 50; z++)
                floorHeight[x][z] = rng.uniform(0.25f, 12.0f); // buries some blocks
        for (int box = 0; box < 40; box++) { // to merge; some full columns; a quarter falling
            auto& grid = box % 4 == 0 ? fallingBlocks : blocks;
            int x0 = rng.below(50), z0 = rng.below(50), w = 1 + rng.below(8), d = 1 + rng.below(8);
            int h = box % 10 == 1 ? 35 : 1 + rng.below(12), y0 = rng.below(36 - h);
            for (int x = x0; x < x0 + w; x++)
                for (int y = y0; y < y0 + h; y++)
                    for (int z = z0; z < z0 + d; z++)
                        grid[x % 50][y][z % 50] = 1;
        }
        for (int i = 0; i < 400 * (world % 4); i++)
            (i % 3 ? blocks : fallingBlocks)[rng.below(50)][rng.below(35)][rng.below(50)] = 1;
        optimizeGeometry = world % 2 == 0, useLight = world % 3 != 0;
        for (int c = 0; c < CHUNK_TOTAL; c++) {
            buildBlockMesh(c / 10, c % 10);
            buildFallingMesh(c / 10, c % 10);
            ASSERT_TRUE(meshIs(blockMeshes[c], plainFaces(false, c / 10, c % 10)))
                << world << " " << c;
            ASSERT_TRUE(meshIs(fallingMeshes[c], plainFaces(true, c / 10, c % 10)))
                << world << " " << c;
            quads += blockMeshes[c].vertexCount / 4;
        }
    }
    EXPECT_GT(quads, 50000); // the worlds were not trivially empty
    optimizeGeometry = useLight = false;
}

// Position, texture coordinates and, with light, normal of vertex v.
std::vector<float> vertex(const ChunkMesh& m, int v) {
    std::vector<float> all(m.positions + 3 * v, m.positions + 3 * v + 3);
    all.insert(all.end(), m.texCoords + 2 * v, m.texCoords + 2 * v + 2);
    if (useLight)
        all.insert(all.end(), m.normals + 3 * v, m.normals + 3 * v + 3);
    return all;
}

// Blocks above level 0 on a flat floor have a closed surface, so drawn closed it is watertight:
// every edge of a quad or a filler is drawn as often one way as the other, in a chunk and across
// borders (the merged quads alone are not: T-junctions). A filler reaches a hair past its edge at
// most; put back on it, it lies on a line from a corner of its quad, the texture running on along
// it, the normal kept.
TEST(SeamFillers, EveryBorderStepIsAnEdgeItsNeighbourShares) {
    Rng rng(7);
    for (int world = 0; world < 3; world++) {
        emptyCave(0.25f, 34.75f);
        for (int box = 0; box < 80; box++) {
            int x0 = rng.below(50), z0 = rng.below(50), y0 = 1 + rng.below(33);
            int w = 1 + rng.below(9), d = 1 + rng.below(9), h = 1 + rng.below(35 - y0);
            for (int x = x0; x < x0 + w; x++)
                for (int y = y0; y < y0 + h; y++)
                    for (int z = z0; z < z0 + d; z++)
                        blocks[x % 50][y][z % 50] = rng.below(8) != 0; // pitted
        }
        optimizeGeometry = true, useLight = world % 2;
        markAllChunksDirty(), rebuildDirtyChunks();
        std::map<std::array<int, 6>, int> quadEdges, allEdges; // +1 per drawing from the lesser end
        auto draw = [](std::map<std::array<int, 6>, int>& edges, const float* a, const float* b,
                       int c) {
            std::array<int, 3> p, q;
            for (int k = 0; k < 3; k++) {
                const int offset = k == 1 ? 0 : k == 0 ? 5 * (c / 10) : 5 * (c % 10);
                p[k] = ((int)a[k] + offset) % 50, q[k] = ((int)b[k] + offset) % 50;
            }
            edges[p < q ? std::array<int, 6>{p[0], p[1], p[2], q[0], q[1], q[2]}
                        : std::array<int, 6>{q[0], q[1], q[2], p[0], p[1], p[2]}] += p < q ? 1 : -1;
        };
        for (int c = 0; c < CHUNK_TOTAL; c++) {
            const ChunkMesh &m = blockMeshes[c], &f = blockSeamFillers[c];
            std::set<std::vector<float>> corners;
            for (int v = 0; v < m.vertexCount; v++) {
                corners.insert(vertex(m, v));
                const float* next = m.positions + 3 * (v % 4 == 3 ? v - 3 : v + 1);
                draw(quadEdges, m.positions + 3 * v, next, c),
                    draw(allEdges, m.positions + 3 * v, next, c);
            }
            ASSERT_TRUE(f.vertexCount % 3 == 0 && (f.normals || !useLight || !f.vertexCount));
            for (int t = 0; t < f.vertexCount; t += 3) {
                std::vector<float> p[3] = {vertex(f, t), vertex(f, t + 1), vertex(f, t + 2)};
                for (auto& q : p)
                    for (int i = 0; i < 3; i++) {
                        ASSERT_LE(std::fabs(q[i] - std::round(q[i])), 1.0f / 1024) << c;
                        q[i] = std::round(q[i]); // back on the edge
                    }
                float along[3] = {};
                for (int k = 0; k < 3; k++) {
                    draw(allEdges, &p[k][0], &p[(k + 1) % 3][0], c);
                    for (int i = 0; i < 3; i++)
                        along[k] += std::fabs(p[k][i] - p[0][i]);
                }
                const float texture = std::fabs(p[2][3] - p[0][3]) + std::fabs(p[2][4] - p[0][4]);
                ASSERT_TRUE(corners.count(p[0]) && 0 < along[1] && along[1] < along[2] &&
                            texture == 0.125f * along[2]) // an eighth of the atlas a block
                    << c;
                for (size_t i = 0; i < p[0].size(); i++) // on a line, texture along; normal kept
                    ASSERT_TRUE(i < 5 ? (p[1][i] - p[0][i]) * along[2] ==
                                            (p[2][i] - p[0][i]) * along[1]
                                      : p[1][i] == p[0][i] && p[2][i] == p[0][i])
                        << c << " " << i;
            }
        }
        auto open = [](const std::map<std::array<int, 6>, int>& edges) {
            return std::count_if(edges.begin(), edges.end(), [](auto& e) { return e.second != 0; });
        };
        EXPECT_GT(open(quadEdges), 1000) << world;
        EXPECT_EQ(open(allEdges), 0) << world;
    }
    optimizeGeometry = useLight = false;
}

// A merged row moved within its chunk, the counts unchanged: the quads and the fillers are
// rebuilt (their revisions move on) and every filler moves with the row.
TEST(SeamFillers, FollowARowMovedInItsChunk) {
    emptyCave(0.25f, 34.75f);
    optimizeGeometry = true;
    fillBlocks(1, 3, 5, 5, 2, 2);
    const ChunkMesh &m = blockMeshes[0], &f = blockSeamFillers[0];
    const int revisions[2] = {m.revision, f.revision};
    const std::vector<float> before(f.positions, f.positions + 3 * f.vertexCount);
    for (float x = 1.5f; x < 4; x++)
        setBlockAtPoint({x, 5.5f, 2.5f}, 0), setBlockAtPoint({x, 5.5f, 3.5f}, 1);
    rebuildDirtyChunks();
    EXPECT_TRUE(m.revision > revisions[0] && f.revision > revisions[1]);
    ASSERT_TRUE(before.size() == 3u * f.vertexCount && !before.empty());
    for (size_t i = 0; i < before.size(); i++)
        EXPECT_EQ(f.positions[i], before[i] + (i % 3 == 2)) << i;
    optimizeGeometry = false;
}

TEST(TerrainMesh, QuadsOverEveryPatchNotBuriedInBlocks) {
    emptyCave(0.25f, 30.5f);
    float* corners[8] = {&floorHeight[0][0],   &floorHeight[1][0],   &floorHeight[0][1],
                         &floorHeight[1][1],   &ceilingHeight[0][0], &ceilingHeight[1][0],
                         &ceilingHeight[0][1], &ceilingHeight[1][1]};
    const float heights[8] = {1, 2, 3, 4, 21, 22, 23, 24};
    for (int k = 0; k < 8; k++)
        *corners[k] = heights[k];
    buildTerrainMesh(0, 0);
    ASSERT_EQ(terrainMeshes[0].vertexCount, 4 * 50); // 25 floor quads, then 25 ceiling quads
    const float floorQuad[12] = {0, 3, 1, 1, 4, 1, 1, 2, 0, 0, 1, 0};
    const float ceilingQuad[12] = {0, 21, 0, 1, 22, 0, 1, 24, 1, 0, 23, 1};
    const float tile[8] = {0.8125f, 0.4375f, 0.9375f, 0.4375f, 0.9375f, 0.3125f, 0.8125f, 0.3125f};
    EXPECT_TRUE(std::equal(floorQuad, floorQuad + 12, terrainMeshes[0].positions));
    EXPECT_TRUE(std::equal(ceilingQuad, ceilingQuad + 12, terrainMeshes[0].positions + 12 * 25));
    for (int q = 0; q < 50; q++)
        EXPECT_TRUE(std::equal(tile, tile + 8, terrainMeshes[0].texCoords + 8 * q)) << q;

    // A patch within one level is hidden by a block in it, a slope over levels 3..6 only when all
    // four are filled; the last chunk's far corners come from row and column 0.
    emptyCave(0.25f, 30.5f);
    for (int x = 3; x <= 4; x++)
        for (int z = 3; z <= 4; z++)
            floorHeight[x][z] = 5.5f;
    floorHeight[20][20] = 3.2f, floorHeight[21][20] = 4, floorHeight[20][21] = 5;
    floorHeight[21][21] = 6.9f, floorHeight[0][0] = 7;
    blocks[3][5][3] = blocks[20][3][20] = blocks[20][4][20] = blocks[20][6][20] = 1;
    const int chunks[3] = {0, 44, 99};
    for (int fill : {0, 1}) {
        blocks[20][5][20] = fill;
        for (int c : chunks)
            buildTerrainMesh(c / 10, c % 10);
        EXPECT_EQ(terrainMeshes[0].vertexCount, 4 * 49);
        EXPECT_EQ(terrainMeshes[44].vertexCount, 4 * (50 - fill));
    }
    const float* far = terrainMeshes[99].positions + 3 * (4 * 24 + 1); // cell (49, 49), h11
    EXPECT_TRUE(far[0] == 5 && far[1] == 7 && far[2] == 5);
}

} // namespace
