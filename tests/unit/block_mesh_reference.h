// block_mesh_reference.h: the block face builder written the straightforward
// way, with work arrays over the whole world as first designed. Kept as the
// yardstick the game's cache-friendly builder is compared against.
#pragma once

#include "app/settings.h"
#include "meshing/chunks.h"
#include "world/new_game.h"

inline int refFaceWidth[WORLD_SIZE][WORLD_LEVELS][WORLD_SIZE][6];
inline int refFaceHeight[WORLD_SIZE][WORLD_LEVELS][WORLD_SIZE][6];

const int REF_FACE_COUNT = 6;

// Corner floor heights of column (x, z), wrapped: a block entirely below all
// four is buried and shows nothing.
inline void refColumnFloorRange(int x, int z, float& lowest) {
    int x1 = wrapCell(x + 1), z1 = wrapCell(z + 1);
    float a = floorHeight[x][z], b = floorHeight[x1][z];
    float c = floorHeight[x1][z1], d = floorHeight[x][z1];
    lowest = a;
    if (b < lowest)
        lowest = b;
    if (c < lowest)
        lowest = c;
    if (d < lowest)
        lowest = d;
}

inline void refMarkVisibleFaces(int x0, int z0) {
    for (int x = x0; x < x0 + CHUNK_SIZE; x++) {
        int xp = wrapCell(x + 1), xm = wrapCell(x - 1);
        for (int z = z0; z < z0 + CHUNK_SIZE; z++) {
            int zp = wrapCell(z + 1), zm = wrapCell(z - 1);
            float lowestFloor = 0.0f;
            refColumnFloorRange(x, z, lowestFloor);
            for (int y = 0; y < WORLD_LEVELS; y++) {
                int* width = refFaceWidth[x][y][z];
                int* height = refFaceHeight[x][y][z];
                for (int f = 0; f < REF_FACE_COUNT; f++) {
                    width[f] = 0;
                    height[f] = 0;
                }
                // "Some corner at or below y + 1" is "the lowest corner is".
                if (!blocks[x][y][z] || !(lowestFloor <= (float)(y + 1))) {
                    continue;
                }
                bool visible[REF_FACE_COUNT] = {
                    blocks[xp][y][z] == 0,
                    blocks[xm][y][z] == 0,
                    y == WORLD_LEVELS - 1 || blocks[x][y + 1][z] == 0,
                    y != 0 && blocks[x][y - 1][z] == 0 && lowestFloor <= (float)y,
                    blocks[x][y][zp] == 0,
                    blocks[x][y][zm] == 0,
                };
                for (int f = 0; f < REF_FACE_COUNT; f++) {
                    if (visible[f]) {
                        width[f] = 1;
                        height[f] = 1;
                    }
                }
            }
        }
    }
}

inline bool refFaceFree(int x, int y, int z, int f) {
    return refFaceWidth[x][y][z][f] == 1 && refFaceHeight[x][y][z][f] == 1;
}

inline void refAbsorbFace(int x, int y, int z, int f) {
    refFaceWidth[x][y][z][f] = 0;
    refFaceHeight[x][y][z][f] = 0;
}

// Axis steps of the merge: widening first, then heightening, per face pair.
struct RefMergeAxes {
    int wideX, wideY, wideZ; // one step along the widening axis
    int highX, highY, highZ; // one step along the heightening axis
};

inline RefMergeAxes refMergeAxes(int f) {
    if (f == PosX || f == NegX) {
        return RefMergeAxes{0, 0, 1, 0, 1, 0}; // widen along z, heighten along y
    }
    if (f == PosY || f == NegY) {
        return RefMergeAxes{1, 0, 0, 0, 0, 1}; // widen along x, heighten along z
    }
    return RefMergeAxes{1, 0, 0, 0, 1, 0}; // widen along x, heighten along y
}

// Inside the chunk's cells (x and z within it, y within the levels).
inline bool refInMergeLimits(int x, int y, int z, int x0, int z0) {
    return x <= x0 + CHUNK_SIZE - 1 && z <= z0 + CHUNK_SIZE - 1 && y <= WORLD_LEVELS - 1;
}

// Grows a greedy rectangle from the free face f of cell (x, y, z).
inline void refMergeFrom(int x, int y, int z, int f, int x0, int z0) {
    RefMergeAxes a = refMergeAxes(f);
    int w = refFaceWidth[x][y][z][f];
    int h = refFaceHeight[x][y][z][f];
    for (;;) {
        int nx = x + a.wideX * w, ny = y + a.wideY * w, nz = z + a.wideZ * w;
        if (!refInMergeLimits(nx, ny, nz, x0, z0) || !refFaceFree(nx, ny, nz, f)) {
            break;
        }
        refAbsorbFace(nx, ny, nz, f);
        w++;
    }
    for (;;) {
        int rx = x + a.highX * h, ry = y + a.highY * h, rz = z + a.highZ * h;
        if (!refInMergeLimits(rx, ry, rz, x0, z0)) {
            break;
        }
        bool rowFree = true;
        for (int i = 0; i < w && rowFree; i++) {
            rowFree = refFaceFree(rx + a.wideX * i, ry + a.wideY * i, rz + a.wideZ * i, f);
        }
        if (!rowFree) {
            break;
        }
        for (int i = 0; i < w; i++) {
            refAbsorbFace(rx + a.wideX * i, ry + a.wideY * i, rz + a.wideZ * i, f);
        }
        h++;
    }
    refFaceWidth[x][y][z][f] = w;
    refFaceHeight[x][y][z][f] = h;
}

inline void refMergeFaces(int x0, int z0) {
    for (int x = x0; x < x0 + CHUNK_SIZE; x++) {
        for (int z = z0; z < z0 + CHUNK_SIZE; z++) {
            for (int y = 0; y < WORLD_LEVELS; y++) {
                for (int f = 0; f < REF_FACE_COUNT; f++) {
                    if (refFaceFree(x, y, z, f)) {
                        refMergeFrom(x, y, z, f, x0, z0);
                    }
                }
            }
        }
    }
}

inline void refPutCorner(ChunkMesh& mesh, int vertex, float x, float y, float z, const float* uv) {
    float* p = mesh.positions + 3 * vertex;
    p[0] = x, p[1] = y, p[2] = z;
    float* t = mesh.texCoords + 2 * vertex;
    t[0] = uv[2 * (vertex % 4)];
    t[1] = uv[2 * (vertex % 4) + 1];
}

// Emits the W x H quad of face f of cell (x, y, z); x and z chunk-local.
inline void refEmitFace(ChunkMesh& mesh, int v, int f, float x, float y, float z, int w, int h) {
    const float* uv = blockFaceTexCoords[w][h];
    float W = (float)w, H = (float)h;
    switch (f) {
    case PosX:
        refPutCorner(mesh, v, x + 1, y + H, z, uv);
        refPutCorner(mesh, v + 1, x + 1, y + H, z + W, uv);
        refPutCorner(mesh, v + 2, x + 1, y, z + W, uv);
        refPutCorner(mesh, v + 3, x + 1, y, z, uv);
        break;
    case NegX:
        refPutCorner(mesh, v, x, y + H, z + W, uv);
        refPutCorner(mesh, v + 1, x, y + H, z, uv);
        refPutCorner(mesh, v + 2, x, y, z, uv);
        refPutCorner(mesh, v + 3, x, y, z + W, uv);
        break;
    case PosY:
        refPutCorner(mesh, v, x, y + 1, z + H, uv);
        refPutCorner(mesh, v + 1, x + W, y + 1, z + H, uv);
        refPutCorner(mesh, v + 2, x + W, y + 1, z, uv);
        refPutCorner(mesh, v + 3, x, y + 1, z, uv);
        break;
    case NegY:
        refPutCorner(mesh, v, x, y, z, uv);
        refPutCorner(mesh, v + 1, x + W, y, z, uv);
        refPutCorner(mesh, v + 2, x + W, y, z + H, uv);
        refPutCorner(mesh, v + 3, x, y, z + H, uv);
        break;
    case PosZ:
        refPutCorner(mesh, v, x + W, y + H, z + 1, uv);
        refPutCorner(mesh, v + 1, x, y + H, z + 1, uv);
        refPutCorner(mesh, v + 2, x, y, z + 1, uv);
        refPutCorner(mesh, v + 3, x + W, y, z + 1, uv);
        break;
    default: // NegZ
        refPutCorner(mesh, v, x, y + H, z, uv);
        refPutCorner(mesh, v + 1, x + W, y + H, z, uv);
        refPutCorner(mesh, v + 2, x + W, y, z, uv);
        refPutCorner(mesh, v + 3, x, y, z, uv);
        break;
    }
}

// Fills `mesh` (a slot of the caller's, managed like the game's) exactly as
// buildBlockMesh fills its own slot.
inline void referenceBuildBlockMesh(int cx, int cz, ChunkMesh& mesh) {
    int x0 = CHUNK_SIZE * wrapChunk(cx), z0 = CHUNK_SIZE * wrapChunk(cz);
    refMarkVisibleFaces(x0, z0);
    if (optimizeGeometry) {
        refMergeFaces(x0, z0);
    }

    int quads = 0;
    for (int x = x0; x < x0 + CHUNK_SIZE; x++) {
        for (int z = z0; z < z0 + CHUNK_SIZE; z++) {
            for (int y = 0; y < WORLD_LEVELS; y++) {
                for (int f = 0; f < REF_FACE_COUNT; f++) {
                    if (refFaceWidth[x][y][z][f] >= 1) {
                        quads++;
                    }
                }
            }
        }
    }
    prepareMeshArrays(mesh, 4 * quads);

    int v = 0;
    for (int x = x0; x < x0 + CHUNK_SIZE; x++) {
        for (int z = z0; z < z0 + CHUNK_SIZE; z++) {
            for (int y = 0; y < WORLD_LEVELS; y++) {
                for (int f = 0; f < REF_FACE_COUNT; f++) {
                    int w = refFaceWidth[x][y][z][f];
                    if (w > 0) {
                        refEmitFace(mesh, v, f, (float)(x - x0), (float)y, (float)(z - z0), w,
                                    refFaceHeight[x][y][z][f]);
                        v += 4;
                    }
                }
            }
        }
    }
    if (useLight) {
        quadNormals(mesh.vertexCount, mesh.normals, mesh.positions);
    }
}
