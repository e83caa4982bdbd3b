// block_mesh.cpp: the visible faces of the solid blocks of one chunk, with
// coplanar faces optionally merged into larger rectangles ("optimizegeometry").
//
// The work arrays cover one chunk only, laid out in the order the passes
// visit the cells (x, then z, then y, then face), so a rebuild stays in a few
// kilobytes of cache instead of striding through arrays over the whole world.
#include "app/settings.h"
#include "meshing/chunks.h"
#include "world/world_atlas.h"

int faceWidth[CHUNK_SIZE][CHUNK_SIZE][WORLD_LEVELS][6];
int faceHeight[CHUNK_SIZE][CHUNK_SIZE][WORLD_LEVELS][6];

const int FACE_COUNT = 6;

// Corner floor heights of column (x, z), wrapped: a block entirely below all
// four is buried and shows nothing.
static void columnFloorRange(int x, int z, float& lowest) {
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

static void markVisibleFaces(int x0, int z0) {
    for (int x = x0; x < x0 + CHUNK_SIZE; x++) {
        int xp = wrapCell(x + 1), xm = wrapCell(x - 1);
        for (int z = z0; z < z0 + CHUNK_SIZE; z++) {
            int zp = wrapCell(z + 1), zm = wrapCell(z - 1);
            float lowestFloor = 0.0f;
            columnFloorRange(x, z, lowestFloor);
            for (int y = 0; y < WORLD_LEVELS; y++) {
                int* width = faceWidth[x - x0][z - z0][y];
                int* height = faceHeight[x - x0][z - z0][y];
                for (int f = 0; f < FACE_COUNT; f++) {
                    width[f] = 0;
                    height[f] = 0;
                }
                // "Some corner at or below y + 1" is "the lowest corner is".
                if (!blocks[x][y][z] || !(lowestFloor <= (float)(y + 1))) {
                    continue;
                }
                bool visible[FACE_COUNT] = {
                    blocks[xp][y][z] == 0,
                    blocks[xm][y][z] == 0,
                    y == WORLD_LEVELS - 1 || blocks[x][y + 1][z] == 0,
                    y != 0 && blocks[x][y - 1][z] == 0 && lowestFloor <= (float)y,
                    blocks[x][y][zp] == 0,
                    blocks[x][y][zm] == 0,
                };
                for (int f = 0; f < FACE_COUNT; f++) {
                    if (visible[f]) {
                        width[f] = 1;
                        height[f] = 1;
                    }
                }
            }
        }
    }
}

// x and z below are chunk-local (0..4).
static bool faceFree(int x, int y, int z, int f) {
    return faceWidth[x][z][y][f] == 1 && faceHeight[x][z][y][f] == 1;
}

static void absorbFace(int x, int y, int z, int f) {
    faceWidth[x][z][y][f] = 0;
    faceHeight[x][z][y][f] = 0;
}

// Axis steps of the merge: widening first, then heightening, per face pair.
struct MergeAxes {
    int wideX, wideY, wideZ; // one step along the widening axis
    int highX, highY, highZ; // one step along the heightening axis
};

static MergeAxes mergeAxes(int f) {
    if (f == PosX || f == NegX) {
        return MergeAxes{0, 0, 1, 0, 1, 0}; // widen along z, heighten along y
    }
    if (f == PosY || f == NegY) {
        return MergeAxes{1, 0, 0, 0, 0, 1}; // widen along x, heighten along z
    }
    return MergeAxes{1, 0, 0, 0, 1, 0}; // widen along x, heighten along y
}

// Inside the chunk's cells (local x and z within it, y within the levels).
static bool inMergeLimits(int x, int y, int z) {
    return x <= CHUNK_SIZE - 1 && z <= CHUNK_SIZE - 1 && y <= WORLD_LEVELS - 1;
}

// Grows a greedy rectangle from the free face f of local cell (x, y, z).
static void mergeFrom(int x, int y, int z, int f) {
    MergeAxes a = mergeAxes(f);
    int w = faceWidth[x][z][y][f];
    int h = faceHeight[x][z][y][f];
    for (;;) {
        int nx = x + a.wideX * w, ny = y + a.wideY * w, nz = z + a.wideZ * w;
        if (!inMergeLimits(nx, ny, nz) || !faceFree(nx, ny, nz, f)) {
            break;
        }
        absorbFace(nx, ny, nz, f);
        w++;
    }
    for (;;) {
        int rx = x + a.highX * h, ry = y + a.highY * h, rz = z + a.highZ * h;
        if (!inMergeLimits(rx, ry, rz)) {
            break;
        }
        bool rowFree = true;
        for (int i = 0; i < w && rowFree; i++) {
            rowFree = faceFree(rx + a.wideX * i, ry + a.wideY * i, rz + a.wideZ * i, f);
        }
        if (!rowFree) {
            break;
        }
        for (int i = 0; i < w; i++) {
            absorbFace(rx + a.wideX * i, ry + a.wideY * i, rz + a.wideZ * i, f);
        }
        h++;
    }
    faceWidth[x][z][y][f] = w;
    faceHeight[x][z][y][f] = h;
}

static void mergeFaces() {
    for (int x = 0; x < CHUNK_SIZE; x++) {
        for (int z = 0; z < CHUNK_SIZE; z++) {
            for (int y = 0; y < WORLD_LEVELS; y++) {
                for (int f = 0; f < FACE_COUNT; f++) {
                    if (faceFree(x, y, z, f)) {
                        mergeFrom(x, y, z, f);
                    }
                }
            }
        }
    }
}

static void putCorner(ChunkMesh& mesh, int vertex, float x, float y, float z, const float* uv) {
    float* p = mesh.positions + 3 * vertex;
    p[0] = x, p[1] = y, p[2] = z;
    float* t = mesh.texCoords + 2 * vertex;
    t[0] = uv[2 * (vertex % 4)];
    t[1] = uv[2 * (vertex % 4) + 1];
}

// Emits the W x H quad of face f of cell (x, y, z); x and z chunk-local.
static void emitFace(ChunkMesh& mesh, int v, int f, float x, float y, float z, int w, int h) {
    const float* uv = blockFaceTexCoords[w][h];
    float W = (float)w, H = (float)h;
    switch (f) {
    case PosX:
        putCorner(mesh, v, x + 1, y + H, z, uv);
        putCorner(mesh, v + 1, x + 1, y + H, z + W, uv);
        putCorner(mesh, v + 2, x + 1, y, z + W, uv);
        putCorner(mesh, v + 3, x + 1, y, z, uv);
        break;
    case NegX:
        putCorner(mesh, v, x, y + H, z + W, uv);
        putCorner(mesh, v + 1, x, y + H, z, uv);
        putCorner(mesh, v + 2, x, y, z, uv);
        putCorner(mesh, v + 3, x, y, z + W, uv);
        break;
    case PosY:
        putCorner(mesh, v, x, y + 1, z + H, uv);
        putCorner(mesh, v + 1, x + W, y + 1, z + H, uv);
        putCorner(mesh, v + 2, x + W, y + 1, z, uv);
        putCorner(mesh, v + 3, x, y + 1, z, uv);
        break;
    case NegY:
        putCorner(mesh, v, x, y, z, uv);
        putCorner(mesh, v + 1, x + W, y, z, uv);
        putCorner(mesh, v + 2, x + W, y, z + H, uv);
        putCorner(mesh, v + 3, x, y, z + H, uv);
        break;
    case PosZ:
        putCorner(mesh, v, x + W, y + H, z + 1, uv);
        putCorner(mesh, v + 1, x, y + H, z + 1, uv);
        putCorner(mesh, v + 2, x, y, z + 1, uv);
        putCorner(mesh, v + 3, x + W, y, z + 1, uv);
        break;
    default: // NegZ
        putCorner(mesh, v, x, y + H, z, uv);
        putCorner(mesh, v + 1, x + W, y + H, z, uv);
        putCorner(mesh, v + 2, x + W, y, z, uv);
        putCorner(mesh, v + 3, x, y, z, uv);
        break;
    }
}

void buildBlockMesh(int cx, int cz) {
    int x0 = CHUNK_SIZE * wrapChunk(cx), z0 = CHUNK_SIZE * wrapChunk(cz);
    ChunkMesh& mesh = blockMeshes[chunkIndex(cx, cz)];
    markVisibleFaces(x0, z0);
    if (optimizeGeometry) {
        mergeFaces();
    }

    // The arrays hold the chunk's cells in emitting order: count and emit
    // walk them straight through.
    const int entries = CHUNK_SIZE * CHUNK_SIZE * WORLD_LEVELS * FACE_COUNT;
    const int* widths = &faceWidth[0][0][0][0];
    const int* heights = &faceHeight[0][0][0][0];
    int quads = 0;
    for (int i = 0; i < entries; i++) {
        quads += widths[i] >= 1;
    }
    prepareMeshArrays(mesh, 4 * quads);

    int v = 0;
    for (int i = 0; i < entries; i++) {
        int w = widths[i];
        if (w > 0) {
            int f = i % FACE_COUNT;
            int y = (i / FACE_COUNT) % WORLD_LEVELS;
            int z = (i / (FACE_COUNT * WORLD_LEVELS)) % CHUNK_SIZE;
            int x = i / (FACE_COUNT * WORLD_LEVELS * CHUNK_SIZE);
            emitFace(mesh, v, f, (float)x, (float)y, (float)z, w, heights[i]);
            v += 4;
        }
    }
    if (useLight) {
        quadNormals(mesh.vertexCount, mesh.normals, mesh.positions);
    }
    buildSeamFillers(blockSeamFillers[chunkIndex(cx, cz)], mesh);
}
