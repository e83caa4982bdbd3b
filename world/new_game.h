// new_game.h: world generation and the new-game setup.
#pragma once

extern char gameTitle[64]; // "The Hollowmark"
extern float gameVersion;  // 0.9

// Texture-coordinate tables into the world atlas, four (u, v) pairs each in
// the order the mesh builders consume them.
extern float waterTile[8];
extern float terrainTile[8];
extern float blockFaceTexCoords[6][36][8]; // [W 0..5][H 0..35]

// The seed the cave was generated from, shown on the dashboard so a player
// can give it to the "seed" key and see the same cave again.
extern unsigned int worldSeed;
// The seed setting when it is not 0, else the clock's seconds (their low 32
// bits, so srand sees exactly the clock's value).
unsigned int chooseWorldSeed(unsigned int setting, long long clockSeconds);

void fillTextureTables();
// Fills grid with rand() values between low and high (low may exceed high),
// then smooths it `passes` times with the wrapped five-point average.
void generateHeightField(float grid[50][50], float low, float high, int passes);
void generateWorld();
// Everything newGame does except loading the world texture: title, tables,
// models, generation, the first full rebuild, the player and cameras at
// (25, 10, 25). Draws from rand(): seed with srand first.
void setupNewWorld();
