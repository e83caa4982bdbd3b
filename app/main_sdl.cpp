// main_sdl.cpp: start-up in its fixed order, then the main loop until a quit.
#include <SDL/SDL.h>
#include <cstdlib>
#include <ctime>

#include "app/cave_keeper.h"
#include "app/frame.h"
#include "app/settings.h"
#include "app/shell_sdl.h"
#include "app/sound_sdl.h"
#include "game/new_game.h"
#include "render/textures_gl.h"
#include "ui/draw2d_gl.h"
#include "world/generate.h"

int main(int, char**) {
    readVideoSettings();
    readGraphicsSettings();
    // The world generator draws every number from rand(): a new world each
    // run, unless the settings name one.
    worldSeed = chooseWorldSeed(seedSetting, (long long)time(nullptr));
    srand(worldSeed);
    initVideo();
    initSound();
    // The UI atlas needs the window's GL context; the world comes after it.
    loadUi();
    // A new game: the world atlas first, as the new-game setup expects.
    setupWorldTexture();
    setupNewWorld();
    startKeepingCave();
    while (!quitRequested) {
        runFrame();
    }
    finishKeepingCave(true);
    SDL_Quit();
    return 0;
}
