// textures_gl.h: the two GL textures, the world atlas and the UI atlas.
#pragma once

struct SDL_Surface;

extern unsigned int worldTexture; // GL name; 0 when the image could not be loaded
extern unsigned int uiTexture;

unsigned int loadWorldTexture(); // "Media/worldtexture.png"
unsigned int createUiTexture(SDL_Surface* surface);
void setupWorldTexture(); // loadWorldTexture, then the coordinate tables
// A new world: loads the world texture, then setupNewWorld (world/new_game.h).
void newGame();
