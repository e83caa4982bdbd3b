// terrain_mesh.cpp: the floor (seen from above) and ceiling (seen from below)
// surfaces over one chunk, one quad per cell and surface unless the cell's
// patch runs entirely through solid blocks.
#include "app/settings.h"
#include "meshing/chunks.h"
#include "world/world_atlas.h"

#include <cmath>

// The four corner heights of cell (x, z) of a surface, x + 1 and z + 1 wrapped.
struct CellCorners {
    float h00, h10, h01, h11;
};

static CellCorners cellCorners(const float surface[WORLD_SIZE][WORLD_SIZE], int x, int z) {
    int x1 = wrapCell(x + 1), z1 = wrapCell(z + 1);
    CellCorners c = {surface[x][z], surface[x1][z], surface[x][z1], surface[x1][z1]};
    return c;
}

static int levelOf(float height) {
    int level = (int)std::floor(height);
    // Heights are kept inside the levels; clamping only guards the grid reads.
    if (level < 0)
        return 0;
    if (level > WORLD_LEVELS - 1)
        return WORLD_LEVELS - 1;
    return level;
}

// True when some level the patch passes through is free of blocks.
static bool patchVisible(int x, int z, CellCorners c) {
    float low = std::fmin(std::fmin(c.h00, c.h10), std::fmin(c.h01, c.h11));
    float high = std::fmax(std::fmax(c.h00, c.h10), std::fmax(c.h01, c.h11));
    for (int k = levelOf(low); k <= levelOf(high); k++) {
        if (blocks[x][k][z] == 0) {
            return true;
        }
    }
    return false;
}

static int countSurfaceQuads(const float surface[WORLD_SIZE][WORLD_SIZE], int x0, int z0) {
    int quads = 0;
    for (int x = x0; x < x0 + CHUNK_SIZE; x++) {
        for (int z = z0; z < z0 + CHUNK_SIZE; z++) {
            if (patchVisible(x, z, cellCorners(surface, x, z))) {
                quads++;
            }
        }
    }
    return quads;
}

static void putVertex(ChunkMesh& mesh, int vertex, float x, float y, float z) {
    float* p = mesh.positions + 3 * vertex;
    p[0] = x, p[1] = y, p[2] = z;
    float* t = mesh.texCoords + 2 * vertex;
    t[0] = terrainTile[2 * (vertex % 4)];
    t[1] = terrainTile[2 * (vertex % 4) + 1];
}

// Writes the surface's quads from vertex `start`; returns the next free vertex.
static int writeSurfaceQuads(ChunkMesh& mesh, int start,
                             const float surface[WORLD_SIZE][WORLD_SIZE], bool facesUp, int x0,
                             int z0) {
    int v = start;
    for (int x = x0; x < x0 + CHUNK_SIZE; x++) {
        for (int z = z0; z < z0 + CHUNK_SIZE; z++) {
            CellCorners c = cellCorners(surface, x, z);
            if (!patchVisible(x, z, c)) {
                continue;
            }
            float j = (float)(x - x0), k = (float)(z - z0);
            if (facesUp) {
                putVertex(mesh, v++, j, c.h01, k + 1);
                putVertex(mesh, v++, j + 1, c.h11, k + 1);
                putVertex(mesh, v++, j + 1, c.h10, k);
                putVertex(mesh, v++, j, c.h00, k);
            } else {
                putVertex(mesh, v++, j, c.h00, k);
                putVertex(mesh, v++, j + 1, c.h10, k);
                putVertex(mesh, v++, j + 1, c.h11, k + 1);
                putVertex(mesh, v++, j, c.h01, k + 1);
            }
        }
    }
    return v;
}

void buildTerrainMesh(int cx, int cz) {
    int x0 = CHUNK_SIZE * wrapChunk(cx), z0 = CHUNK_SIZE * wrapChunk(cz);
    ChunkMesh& mesh = terrainMeshes[chunkIndex(cx, cz)];
    int quads = countSurfaceQuads(floorHeight, x0, z0) + countSurfaceQuads(ceilingHeight, x0, z0);
    prepareMeshArrays(mesh, 4 * quads);
    int v = writeSurfaceQuads(mesh, 0, floorHeight, true, x0, z0);
    writeSurfaceQuads(mesh, v, ceilingHeight, false, x0, z0);
    if (useLight) {
        quadNormals(mesh.vertexCount, mesh.normals, mesh.positions);
    }
}
