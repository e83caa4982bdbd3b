// cave_keeper.cpp: when the cave is saved and loaded, and the one worker
// thread that writes it. The main thread only copies the game into
// pendingSnapshot; the worker owns that copy until it has finished, and the
// main thread joins it before touching the copy again.
#include "app/cave_keeper.h"

#include <stdio.h>
#include <stdlib.h>

#include <atomic>
#include <thread>
#include <vector>

#include "app/save_file.h"
#include "app/settings.h"
#include "game/game.h"
#include "game/save.h"
#include "game/new_game.h"
#include "world/generate.h"

bool caveKept = false;
int autosaveSeconds = 60;
const char* caveFolder = ".";

const int DEFAULT_AUTOSAVE_SECONDS = 60;

static SaveSnapshot pendingSnapshot; // the worker's while saveRunning
static std::thread saveWorker;
static std::atomic<bool> saveRunning(false);
// Written only by the worker; a failure is reported once until a save works.
static bool lastSaveFailed = false;

static unsigned int runningMillis = 0; // unpaused play since the last autosave
static unsigned int lastFrameTicks = 0;
static bool ticksSeen = false;

static void writePendingSnapshot() {
    std::vector<unsigned char> bytes;
    char why[512] = "";
    bool saved = encodeSave(pendingSnapshot, bytes);
    if (!saved) {
        snprintf(why, sizeof why, "compression failed");
    } else {
        saved = writeSaveFile(caveFolder, bytes, why, sizeof why);
    }
    if (!saved && !lastSaveFailed) {
        fprintf(stderr, "hollowmark: cave not saved (%s); the last save is kept\n", why);
    }
    lastSaveFailed = !saved;
    saveRunning.store(false);
}

static void waitForSave() {
    if (saveWorker.joinable()) {
        saveWorker.join();
    }
}

void saveCaveSoon() {
    if (!caveKept) {
        return;
    }
    waitForSave();
    takeSnapshot(pendingSnapshot);
    saveRunning.store(true);
    saveWorker = std::thread(writePendingSnapshot);
}

void startKeepingCave() {
    caveKept = false;
    if (!settingToBool(settingValue("keepcave"))) {
        return;
    }
    const int seconds = settingToInt(settingValue("autosave"));
    autosaveSeconds = seconds > 0 ? seconds : DEFAULT_AUTOSAVE_SECONDS;
    if (lockSaveFolder(caveFolder) == -1) {
        fprintf(stderr, "hollowmark: the cave in this folder is in use by another game; this "
                        "game's cave is not kept\n");
        return;
    }
    // A lock that cannot be had for another reason (a folder that cannot be
    // written) still lets the cave be loaded; the first save will say why it
    // cannot write.
    caveKept = true;
    if (loadSaveFolder(caveFolder, pendingSnapshot)) {
        applySnapshot(pendingSnapshot);
    }
}

void keepCaveAfterFrame(unsigned int nowMillis, bool paused) {
    if (!caveKept) {
        return;
    }
    if (ticksSeen && !paused) {
        runningMillis += nowMillis - lastFrameTicks;
    }
    lastFrameTicks = nowMillis;
    ticksSeen = true;
    // A save still running when the next is due (a very slow disk) delays
    // that one to the frame after it ends rather than stalling this frame.
    if (runningMillis >= (unsigned int)autosaveSeconds * 1000u && !saveRunning.load()) {
        runningMillis = 0;
        saveCaveSoon();
    }
}

unsigned int newCaveSeed(unsigned int setting, long long clockSeconds, unsigned int currentSeed) {
    const unsigned int seed = chooseWorldSeed(setting, clockSeconds);
    if (setting == 0 && seed == currentSeed) {
        return seed + 1 != 0 ? seed + 1 : seed + 2; // 0 would mean "take the clock"
    }
    return seed;
}

void startNewCave(long long clockSeconds) {
    saveCaveSoon(); // the cave so far, which the next save turns into the backup
    waitForSave();
    const unsigned int seed = newCaveSeed(seedSetting, clockSeconds, worldSeed);
    resetGameState();
    worldSeed = seed;
    srand(seed);
    setupNewWorld();
    runningMillis = 0;
    saveCaveSoon();
}

void finishKeepingCave(bool saveFirst) {
    if (saveFirst) {
        saveCaveSoon();
    }
    waitForSave();
}
