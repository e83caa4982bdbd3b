// generate.h: a new world's block layout and its random floor, ceiling and
// water grids.
#pragma once

#include "world/world.h"

// The seed the cave was generated from, shown on the dashboard so a player
// can give it to the "seed" key and see the same cave again.
extern unsigned int worldSeed;
// The seed setting when it is not 0, else the clock's seconds (their low 32
// bits, so srand sees exactly the clock's value).
unsigned int chooseWorldSeed(unsigned int setting, long long clockSeconds);

// Fills grid with rand() values between low and high (low may exceed high),
// then smooths it `passes` times with the wrapped five-point average.
void generateHeightField(float grid[WORLD_SIZE][WORLD_SIZE], float low, float high, int passes);
// Blocks, floor, ceiling and (with "usewater") water, drawing from rand() in
// a fixed order.
void generateWorld();
