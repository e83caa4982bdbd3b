// water.cpp: the water surface. Every point runs through five stored key
// frames at its own phase, so the surface ripples instead of moving as one
// sheet; each chunk gets one quad per cell where the water reaches the
// floor. Drawn only: no body collides with water.
//
// The mesh is rebuilt every update, but a chunk's arrays are reallocated only
// when its number of wet cells changes, so the steady state never allocates.
#include <cmath>

#include "game/update_steps.h"
#include "world/world_atlas.h"

const float WAVE_RATE = 0.025f; // key frames per tick: a full cycle in 200 ticks
const int WAVE_FRAMES = 5;

void animateWater(float f) {
    wavePhase += WAVE_RATE * f;
    while (wavePhase >= (float)WAVE_FRAMES) {
        wavePhase -= (float)WAVE_FRAMES;
    }
    for (int x = 0; x < WORLD_SIZE; ++x) {
        for (int z = 0; z < WORLD_SIZE; ++z) {
            float t = waterPhaseOffset[x][z] + wavePhase;
            while (t >= (float)WAVE_FRAMES) {
                t -= (float)WAVE_FRAMES;
            }
            // Offsets are never negative, but a bad one must not index
            // outside the key frames.
            while (t < 0.0f) {
                t += (float)WAVE_FRAMES;
            }
            int k = (int)std::floor(t);
            if (k < 0 || k >= WAVE_FRAMES) {
                k = 0; // only reachable when t is not a number
            }
            float w = t - (float)k;
            int next = (k + 1) % WAVE_FRAMES;
            waterHeight[x][z] = (1.0f - w) * waterFrames[k][x][z] + w * waterFrames[next][x][z];
        }
    }
}

static bool cellIsWet(int x, int z) {
    int x1 = (x + 1) % WORLD_SIZE;
    int z1 = (z + 1) % WORLD_SIZE;
    return waterHeight[x][z] >= floorHeight[x][z] || waterHeight[x1][z1] >= floorHeight[x1][z1] ||
           waterHeight[x1][z] >= floorHeight[x1][z] || waterHeight[x][z1] >= floorHeight[x][z1];
}

static void putVertex(WaterMesh& mesh, int vertex, float x, float y, float z) {
    mesh.positions[vertex * 3 + 0] = x;
    mesh.positions[vertex * 3 + 1] = y;
    mesh.positions[vertex * 3 + 2] = z;
    mesh.texCoords[vertex * 2 + 0] = waterTile[(vertex % 4) * 2 + 0];
    mesh.texCoords[vertex * 2 + 1] = waterTile[(vertex % 4) * 2 + 1];
}

void rebuildWaterMesh() {
    for (int cx = 0; cx < CHUNK_COUNT; ++cx) {
        for (int cz = 0; cz < CHUNK_COUNT; ++cz) {
            WaterMesh& mesh = waterMeshes[cx * CHUNK_COUNT + cz];
            int x0 = cx * CHUNK_SIZE;
            int z0 = cz * CHUNK_SIZE;
            int count = 0;
            for (int x = x0; x < x0 + CHUNK_SIZE; ++x) {
                for (int z = z0; z < z0 + CHUNK_SIZE; ++z) {
                    if (cellIsWet(x, z)) {
                        count += 4;
                    }
                }
            }
            if (count != mesh.vertexCount) {
                delete[] mesh.positions;
                delete[] mesh.texCoords;
                mesh.vertexCount = count;
                mesh.positions = new float[count * 3];
                mesh.texCoords = new float[count * 2];
            }
            int vertex = 0;
            for (int x = x0; x < x0 + CHUNK_SIZE; ++x) {
                for (int z = z0; z < z0 + CHUNK_SIZE; ++z) {
                    if (!cellIsWet(x, z)) {
                        continue;
                    }
                    int x1 = (x + 1) % WORLD_SIZE;
                    int z1 = (z + 1) % WORLD_SIZE;
                    float l = (float)(x - x0);
                    float m = (float)(z - z0);
                    putVertex(mesh, vertex + 0, l, waterHeight[x][z1], m + 1.0f);
                    putVertex(mesh, vertex + 1, l + 1.0f, waterHeight[x1][z1], m + 1.0f);
                    putVertex(mesh, vertex + 2, l + 1.0f, waterHeight[x1][z], m);
                    putVertex(mesh, vertex + 3, l, waterHeight[x][z], m);
                    vertex += 4;
                }
            }
        }
    }
}
