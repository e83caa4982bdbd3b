// main_sdl.cpp: start-up in its fixed order, then the main loop until a quit.
#include <SDL/SDL.h>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "app/cave_keeper.h"
#include "app/frame.h"
#include "app/replay.h"
#include "app/settings.h"
#include "app/shell_sdl.h"
#include "app/sound_sdl.h"
#include "game/new_game.h"
#include "render/textures_gl.h"
#include "ui/draw2d_gl.h"
#include "world/generate.h"

int main(int argc, char** argv) {
    CommandLine line{PlayGame, nullptr, false};
    char why[160] = "";
    if (!parseCommandLine(argc, argv, line, why, sizeof why)) {
        fprintf(stderr,
                "hollowmark: %s (usage: hollowmark [--record FILE | --replay FILE [--fast]])\n",
                why);
        return EXIT_BAD_ARGUMENTS;
    }
    runMode = line.mode;
    replayFast = line.fast;
    // A replay plays with the settings and the window it was recorded with.
    if (runMode == ReplayGame && !openReplay(line.file)) {
        return EXIT_BAD_RECORDING;
    }
    readVideoSettings();
    if (runMode == ReplayGame) {
        screenWidth = (float)replayHead.width;
        screenHeight = (float)replayHead.height;
        fullscreen = false;
        aspectRatio = screenWidth / screenHeight;
    }
    readGraphicsSettings();
    // The world generator draws every number from rand(): a new world each
    // run, unless the settings name one.
    worldSeed = chooseWorldSeed(seedSetting, (long long)time(nullptr));
    srand(worldSeed);
    initVideo();
    if (runMode == ReplayGame &&
        (screenWidth != (float)replayHead.width || screenHeight != (float)replayHead.height)) {
        fprintf(stderr, "hollowmark: recorded in a %d x %d window, this one is %g x %g\n",
                replayHead.width, replayHead.height, (double)screenWidth, (double)screenHeight);
    }
    initSound();
    // The UI atlas needs the window's GL context; the world comes after it.
    loadUi();
    // A new game: the world atlas first, as the new-game setup expects.
    setupWorldTexture();
    setupNewWorld();
    if (runMode == ReplayGame) {
        // A replay leaves the kept cave alone: its start is in the recording.
        applyReplayStart();
    } else {
        startKeepingCave();
    }
    if (runMode == RecordGame && !startRecording(line.file, (int)screenWidth, (int)screenHeight)) {
        finishKeepingCave(false);
        SDL_Quit();
        return EXIT_BAD_RECORDING;
    }
    while (!quitRequested) {
        runFrame();
    }
    finishKeepingCave(true);
    const int status = finishRecordOrReplay();
    SDL_Quit();
    return status;
}
