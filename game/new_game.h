// new_game.h: the new-game setup: title, texture tables, figure models, the
// generated world with every chunk built, the player and cameras at the
// start. The world texture itself is loaded by the shell before it.
#pragma once

extern char gameTitle[64]; // "The Hollowmark"
extern float gameVersion;  // 0.9

// Everything a new game sets up except loading the world texture: title,
// tables, models, generation, the first full rebuild, the player and cameras
// at (25, 10, 25). Draws from rand(): seed with srand first.
void setupNewWorld();
