// settle_reference.h: the block-settling step as the plain repeated sweep,
// kept as the yardstick the game's flood fill is timed against.
// Slow by design: one full pass of the grid per step of support it spreads.
#pragma once

#include "world/world.h"

// One step; returns how many full passes the support sweep made.
inline int referenceSettlePasses() {
    int passes = 0;
    const int N = WORLD_SIZE, L = WORLD_LEVELS;
    if (blocksFalling) {
        for (int x = 0; x < N; x++) {
            for (int z = 0; z < N; z++) {
                for (int y = 0; y < L - 1; y++) {
                    fallingBlocks[x][y][z] = fallingBlocks[x][y + 1][z];
                }
                fallingBlocks[x][L - 1][z] = 0;
            }
        }
    }
    for (int x = 0; x < N; x++) {
        for (int y = 0; y < L; y++) {
            for (int z = 0; z < N; z++) {
                if (blocks[x][y][z] == 1) {
                    blocks[x][y][z] = 0;
                    fallingBlocks[x][y][z] = 1;
                }
            }
        }
    }
    bool changed = true;
    while (changed) {
        changed = false;
        passes++;
        for (int x = 0; x < N; x++) {
            for (int y = 0; y < L; y++) {
                for (int z = 0; z < N; z++) {
                    if (fallingBlocks[x][y][z] != 1) {
                        continue;
                    }
                    int xm = (x + N - 1) % N, xp = (x + 1) % N;
                    int zm = (z + N - 1) % N, zp = (z + 1) % N;
                    int ym = y - 1 < 0 ? 0 : y - 1;
                    int yp = y + 1 > L - 1 ? L - 1 : y + 1;
                    float fy = (float)y;
                    bool supported = y == 0 || floorHeight[x][z] > fy || floorHeight[xp][z] > fy ||
                                     floorHeight[x][zp] > fy || floorHeight[xp][zp] > fy ||
                                     blocks[xm][y][z] == 1 || blocks[xp][y][z] == 1 ||
                                     blocks[x][y][zm] == 1 || blocks[x][y][zp] == 1 ||
                                     blocks[x][ym][z] == 1 || blocks[x][yp][z] == 1;
                    if (supported) {
                        blocks[x][y][z] = 1;
                        fallingBlocks[x][y][z] = 0;
                        changed = true;
                    }
                }
            }
        }
    }
    blocksFalling = false;
    for (int x = 0; x < N; x++) {
        for (int y = 0; y < L; y++) {
            for (int z = 0; z < N; z++) {
                if (fallingBlocks[x][y][z] == 1) {
                    blocksFalling = true;
                }
            }
        }
    }
    return passes;
}

inline void referenceSettleBlocks() {
    referenceSettlePasses();
}
