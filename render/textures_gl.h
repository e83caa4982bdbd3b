// textures_gl.h: the two GL textures, the world atlas and the UI atlas.
#pragma once

struct SDL_Surface;

extern unsigned int worldTexture; // GL name; 0 when the image could not be loaded
extern unsigned int uiTexture;

unsigned int loadWorldTexture(); // "Media/worldtexture.png"
unsigned int createUiTexture(SDL_Surface* surface);
// worldTexture := loadWorldTexture(); before each new game (setupNewWorld,
// game/new_game.h), and again when the mipmap setting changes.
void setupWorldTexture();
