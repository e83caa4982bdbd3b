// test_meshing.cpp: the terrain, block and falling meshes of the chunks, their
// collision lists, and the rebuild pass that keeps them in step.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "game_fixture.h"

namespace {

const int OUTWARD[6][3] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};

// A face shows when its cell is filled and the cell across it is not (x and z wrap, nothing is
// below level 0 and nothing above the top). A solid block shows nothing when the floor is above
// its top at all four corners, and its bottom only when some corner is at or below it.
bool exposed(bool falling, int x, int y, int z, int f) {
    const auto& grid = falling ? fallingBlocks : blocks;
    const int across = y + OUTWARD[f][1], x1 = wrapCell(x + 1), z1 = wrapCell(z + 1);
    if (!grid[x][y][z] || across < 0 ||
        (across < 35 && grid[wrapCell(x + OUTWARD[f][0])][across][wrapCell(z + OUTWARD[f][2])]))
        return false;
    const float low =
        std::min({floorHeight[x][z], floorHeight[x1][z], floorHeight[x][z1], floorHeight[x1][z1]});
    return falling || (low <= y + 1 && (f != NegY || low <= y));
}

// What is wrong with chunk c's block or falling mesh, or "": each quad a rectangle on the grid,
// facing out of the cells behind it by its winding (and normals, with light), an eighth of the
// texture per cell from u = 0.0625 and v = 0 (width from corner 1 to 2, height from 2 to 3), one
// cell unless merged; together covering each face that shows once, and nothing else.
std::string coverageFault(bool falling, int c) {
    const ChunkMesh& m = (falling ? fallingMeshes : blockMeshes)[c];
    int covered[5][35][5][6] = {};
    for (int q = 0; q < m.vertexCount; q += 4) {
        const float* p = m.positions + 3 * q; // corners 1 to 4 at p, p + 3, p + 6, p + 9
        float lo[3], hi[3], side[2] = {};
        bool rectangle = true;
        for (int a = 0; a < 3; a++) {
            lo[a] = std::min(p[a], p[6 + a]), hi[a] = std::max(p[a], p[6 + a]); // opposite corners
            side[0] += std::fabs(p[3 + a] - p[a]), side[1] += std::fabs(p[6 + a] - p[3 + a]);
            rectangle = rectangle && p[9 + a] == p[a] + p[6 + a] - p[3 + a] &&
                        lo[a] == (int)lo[a] && hi[a] == (int)hi[a];
        }
        const int axis = lo[0] == hi[0] ? 0 : 2 - (lo[1] == hi[1]), b = (axis + 1) % 3;
        const int d = (axis + 2) % 3;
        const float area = side[0] * side[1], turn = (p[3 + b] - p[b]) * (p[6 + d] - p[3 + d]) -
                                                     (p[3 + d] - p[d]) * (p[6 + b] - p[3 + b]);
        const int f = 2 * axis + (turn < 0); // the face its winding shows
        if (!rectangle || std::fabs(turn) != area || (hi[b] - lo[b]) * (hi[d] - lo[d]) != area)
            return "quad not an upright rectangle on the grid";
        if (area != 1 && (falling || !optimizeGeometry))
            return "quad larger than a cell unmerged";
        const float u = 0.0625f + 0.125f * side[0], v = 0.125f * side[1];
        const float uv[8] = {0.0625f, v, u, v, u, 0, 0.0625f, 0};
        if (!std::equal(uv, uv + 8, m.texCoords + 2 * q))
            return "quad texture span does not match its size";
        for (int i = 0; useLight && i < 12; i++)
            if (m.normals[3 * q + i] != OUTWARD[f][i % 3])
                return "quad normal not outward";
        int from[3], to[3]; // the cells behind it
        for (int a = 0; a < 3; a++) {
            from[a] = (int)lo[a] - (a == axis && f % 2 == 0);
            to[a] = a == axis ? from[a] + 1 : (int)hi[a];
            if (from[a] < 0 || to[a] > (a == 1 ? 35 : 5))
                return "quad covers a cell outside the chunk";
        }
        for (int x = from[0]; x < to[0]; x++)
            for (int y = from[1]; y < to[1]; y++)
                for (int z = from[2]; z < to[2]; z++)
                    covered[x][y][z][f]++;
    }
    for (int i = 0; i < 5 * 35 * 5 * 6; i++) {
        const int x = i / 1050, y = i / 30 % 35, z = i / 6 % 5, f = i % 6, n = covered[x][y][z][f];
        if (n != exposed(falling, 5 * (c / 10) + x, y, 5 * (c % 10) + z, f))
            return "face " + std::to_string(f) + " of cell " + std::to_string(x) + " " +
                   std::to_string(y) + " " + std::to_string(z) + " covered " + std::to_string(n);
    }
    return "";
}

// Width first, then height: an L of three blocks at the far side of chunk 0 shows its +z side as
// one quad two wide and another above its left half, not one two high and another beside it; a
// pillar up to the top level as one quad.
TEST(BlockFaces, MergingWidensBeforeItHeightens) {
    emptyCave(0.25f, 34.75f);
    optimizeGeometry = true;
    fillBlocks(3, 4, 1, 1, 0, 0), fillBlocks(3, 3, 2, 2, 0, 0), fillBlocks(0, 0, 5, 34, 0, 0);
    std::vector<float> plusZ; // corners of the quads in the plane z = 1
    const ChunkMesh& m = blockMeshes[0];
    for (int q = 0; q < m.vertexCount; q += 4)
        if (m.positions[3 * q + 2] == 1 && m.positions[3 * q + 8] == 1)
            plusZ.insert(plusZ.end(), m.positions + 3 * q, m.positions + 3 * q + 12);
    const std::vector<float> want = {1, 35, 1, 0, 35, 1, 0, 5, 1, 1, 5, 1, 5, 2, 1, 3, 2, 1,
                                     3, 1,  1, 5, 1,  1, 4, 3, 1, 3, 3, 1, 3, 2, 1, 4, 2, 1};
    EXPECT_EQ(plusZ, want);
    optimizeGeometry = false;
}

// Position, texture coordinates and, with light, normal of vertex v.
std::vector<float> vertex(const ChunkMesh& m, int v) {
    std::vector<float> all(m.positions + 3 * v, m.positions + 3 * v + 3);
    all.insert(all.end(), m.texCoords + 2 * v, m.texCoords + 2 * v + 2);
    if (useLight)
        all.insert(all.end(), m.normals + 3 * v, m.normals + 3 * v + 3);
    return all;
}

// Odd worlds are rough (a floor burying blocks, boxes falling, blocks strewn); even ones closed
// (on a flat floor, above level 0), so with the fillers watertight: each edge drawn as often one
// way as the other, across borders too. A filler reaches a hair past its edge at most; put back
// on it, it lies on a line from a corner of its quad, texture along it, normal kept.
TEST(BlockMeshes, CoverEachFaceThatShowsOnceAndCloseTheirSeamsOnRandomWorlds) {
    Rng rng(7);
    int fallingQuads = 0;
    for (int world = 0; world < 6; world++) {
        const bool closed = world % 2 == 0;
        emptyCave(0.25f, 34.75f);
        for (int i = 0; i < 2500 && !closed; i++)
            floorHeight[i / 50][i % 50] = rng.uniform(0.25f, 12.0f);
        for (int box = 0; box < 80; box++) {
            auto& grid = !closed && box % 4 == 0 ? fallingBlocks : blocks;
            int x0 = rng.below(50), z0 = rng.below(50), y0 = closed + rng.below(closed ? 33 : 12);
            int w = 1 + rng.below(9), d = 1 + rng.below(9), h = y0 ? 1 + rng.below(35 - y0) : 35;
            for (int x = x0; x < x0 + w; x++)
                for (int y = y0; y < y0 + h; y++)
                    for (int z = z0; z < z0 + d; z++)
                        grid[x % 50][y][z % 50] = rng.below(8) != 0; // pitted
        }
        for (int i = 0; i < (closed ? 0 : 300 * (world % 4)); i++)
            (i % 3 ? blocks : fallingBlocks)[rng.below(50)][rng.below(35)][rng.below(50)] = 1;
        optimizeGeometry = closed || world % 4 == 1, useLight = world % 3 != 0;
        markAllChunksDirty(), rebuildDirtyChunks();
        std::map<std::pair<int, int>, int> edges; // +1 per drawing from the lesser end
        int fillers = 0;
        auto draw = [&edges](const float* a, const float* b, int c) {
            int k[2]; // the grid points, wrapped
            for (int e = 0; e < 2; e++)
                k[e] = ((int)(e ? b : a)[0] + 5 * (c / 10)) % 50 * 2000 + (int)(e ? b : a)[1] * 50 +
                       ((int)(e ? b : a)[2] + 5 * (c % 10)) % 50;
            edges[{std::min(k[0], k[1]), std::max(k[0], k[1])}] += k[0] < k[1] ? 1 : -1;
        };
        for (int c = 0; c < CHUNK_TOTAL; c++) {
            ASSERT_EQ(coverageFault(false, c), "") << "blocks, world " << world << " chunk " << c;
            ASSERT_EQ(coverageFault(true, c), "") << "falling, world " << world << " chunk " << c;
            const ChunkMesh &m = blockMeshes[c], &f = blockSeamFillers[c];
            fallingQuads += fallingMeshes[c].vertexCount / 4, fillers += f.vertexCount / 3;
            std::set<std::vector<float>> corners;
            for (int v = 0; v < m.vertexCount; v++) // each edge from its corner to the next
                corners.insert(vertex(m, v)),
                    draw(m.positions + 3 * v, m.positions + 3 * (v % 4 == 3 ? v - 3 : v + 1), c);
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
                    draw(&p[k][0], &p[(k + 1) % 3][0], c);
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
        const auto open =
            std::count_if(edges.begin(), edges.end(), [](auto& e) { return e.second; });
        if (closed) {
            EXPECT_GT(fillers, 1000) << world; // T-junctions to close
            EXPECT_EQ(open, 0) << world;
        }
    }
    EXPECT_GT(fallingQuads, 5000); // the worlds were not trivially empty
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
    for (int i = 0; i < 4; i++) // at (0, 0), (1, 0), (0, 1), (1, 1): floor 1 to 4, ceiling 21 to 24
        floorHeight[i % 2][i / 2] = 1.0f + i, ceilingHeight[i % 2][i / 2] = 21.0f + i;
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
    floorHeight[3][3] = floorHeight[4][3] = floorHeight[3][4] = floorHeight[4][4] = 5.5f;
    floorHeight[20][20] = 3.2f, floorHeight[21][20] = 4, floorHeight[20][21] = 5;
    floorHeight[21][21] = 6.9f, floorHeight[0][0] = 7;
    blocks[3][5][3] = blocks[20][3][20] = blocks[20][4][20] = blocks[20][6][20] = 1;
    for (int fill : {0, 1}) {
        blocks[20][5][20] = fill;
        for (int c : {0, 44, 99})
            buildTerrainMesh(c / 10, c % 10);
        EXPECT_EQ(terrainMeshes[0].vertexCount, 4 * 49);
        EXPECT_EQ(terrainMeshes[44].vertexCount, 4 * (50 - fill));
    }
    const float* far = terrainMeshes[99].positions + 3 * (4 * 24 + 1); // cell (49, 49), h11
    EXPECT_TRUE(far[0] == 5 && far[1] == 7 && far[2] == 5);
}

} // namespace
