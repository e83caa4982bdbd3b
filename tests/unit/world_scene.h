// world_scene.h: what the world, meshing and physics tests share: a seeded
// random source (the same sequence on every run) and an empty cave to build
// scenes in.
#pragma once

#include <cstring>

#include "app/settings.h"
#include "meshing/chunks.h"
#include "world/new_game.h"
#include "world/world.h"

struct Rng {
    unsigned state;
    explicit Rng(unsigned seed) : state(seed) {}
    int below(int n) {
        state = state * 1103515245u + 12345u;
        return (int)((state >> 8) % (unsigned)n);
    }
    float uniform(float lo, float hi) { return lo + (hi - lo) * (float)below(65536) / 65535.0f; }
};

template <typename Visit> void eachCell(Visit visit) {
    for (int x = 0; x < WORLD_SIZE; x++)
        for (int y = 0; y < WORLD_LEVELS; y++)
            for (int z = 0; z < WORLD_SIZE; z++)
                visit(x, y, z);
}

inline int countCells(const unsigned char grid[WORLD_SIZE][WORLD_LEVELS][WORLD_SIZE]) {
    int n = 0;
    eachCell([&](int x, int y, int z) { n += grid[x][y][z] != 0; });
    return n;
}

// No blocks, nothing falling, flat floor and ceiling, texture tables filled.
inline void emptyCave(float floorY, float ceilingY) {
    memset(blocks, 0, sizeof blocks);
    memset(fallingBlocks, 0, sizeof fallingBlocks);
    for (int x = 0; x < WORLD_SIZE; x++)
        for (int z = 0; z < WORLD_SIZE; z++)
            floorHeight[x][z] = floorY, ceilingHeight[x][z] = ceilingY;
    blocksFalling = false;
    fillTextureTables();
}
