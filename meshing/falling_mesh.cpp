// falling_mesh.cpp: the visible faces of the falling blocks of one chunk, all
// 1 x 1, stored at rest; the renderer and the collision queries lower them
// by the settling progress.
#include "app/settings.h"
#include "meshing/chunks.h"

static const float FALLING_TILE[8] = {0.0625f, 0.125f, 0.1875f, 0.125f,
                                      0.1875f, 0.0f,   0.0625f, 0.0f};

// Which faces of falling cell (x, y, z) show: only other falling blocks hide
// them, never solid ones, and no floor test.
static int visibleFallingFaces(int x, int y, int z, bool visible[6]) {
    int xp = wrapCell(x + 1), xm = wrapCell(x - 1), zp = wrapCell(z + 1), zm = wrapCell(z - 1);
    visible[PosX] = fallingBlocks[xp][y][z] == 0;
    visible[NegX] = fallingBlocks[xm][y][z] == 0;
    visible[PosY] = y == WORLD_LEVELS - 1 || fallingBlocks[x][y + 1][z] == 0;
    visible[NegY] = y != 0 && fallingBlocks[x][y - 1][z] == 0;
    visible[PosZ] = fallingBlocks[x][y][zp] == 0;
    visible[NegZ] = fallingBlocks[x][y][zm] == 0;
    int count = 0;
    for (int f = 0; f < 6; f++) {
        count += visible[f] ? 1 : 0;
    }
    return count;
}

// Corner offsets of the unit faces, face by face, corner 1 to corner 4.
static const float FALLING_CORNERS[6][4][3] = {
    {{1, 0, 0}, {1, 1, 0}, {1, 1, 1}, {1, 0, 1}}, // PosX
    {{0, 0, 1}, {0, 1, 1}, {0, 1, 0}, {0, 0, 0}}, // NegX
    {{0, 1, 1}, {1, 1, 1}, {1, 1, 0}, {0, 1, 0}}, // PosY
    {{0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {0, 0, 1}}, // NegY
    {{1, 0, 1}, {1, 1, 1}, {0, 1, 1}, {0, 0, 1}}, // PosZ
    {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}}, // NegZ
};

void buildFallingMesh(int cx, int cz) {
    int x0 = CHUNK_SIZE * wrapChunk(cx), z0 = CHUNK_SIZE * wrapChunk(cz);
    ChunkMesh& mesh = fallingMeshes[chunkIndex(cx, cz)];
    bool visible[6] = {false, false, false, false, false, false};

    int quads = 0;
    for (int x = x0; x < x0 + CHUNK_SIZE; x++) {
        for (int z = z0; z < z0 + CHUNK_SIZE; z++) {
            for (int y = 0; y < WORLD_LEVELS; y++) {
                if (fallingBlocks[x][y][z]) {
                    quads += visibleFallingFaces(x, y, z, visible);
                }
            }
        }
    }
    prepareMeshArrays(mesh, 4 * quads);

    int v = 0;
    for (int x = x0; x < x0 + CHUNK_SIZE; x++) {
        for (int z = z0; z < z0 + CHUNK_SIZE; z++) {
            for (int y = 0; y < WORLD_LEVELS; y++) {
                if (!fallingBlocks[x][y][z]) {
                    continue;
                }
                visibleFallingFaces(x, y, z, visible);
                for (int f = 0; f < 6; f++) {
                    if (!visible[f]) {
                        continue;
                    }
                    for (int corner = 0; corner < 4; corner++, v++) {
                        const float* offset = FALLING_CORNERS[f][corner];
                        float* p = mesh.positions + 3 * v;
                        p[0] = (float)(x - x0) + offset[0];
                        p[1] = (float)y + offset[1];
                        p[2] = (float)(z - z0) + offset[2];
                        mesh.texCoords[2 * v] = FALLING_TILE[2 * corner];
                        mesh.texCoords[2 * v + 1] = FALLING_TILE[2 * corner + 1];
                    }
                }
            }
        }
    }
    if (useLight) {
        quadNormals(mesh.vertexCount, mesh.normals, mesh.positions);
    }
}
