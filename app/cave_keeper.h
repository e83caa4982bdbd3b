// cave_keeper.h: keeping the cave across runs ("keepcave"): loaded at start,
// saved every "autosave" seconds of running play, from the pause menu and on
// the way out. A save copies the game on the main thread and leaves
// compressing, writing and syncing to a worker thread. Core library.
#pragma once

extern bool caveKept;          // "keepcave" is on and this game holds the folder's lock
extern int autosaveSeconds;    // "autosave"; missing, 0 or negative: 60
extern const char* caveFolder; // where the files live; "." in the game

// Reads the keys, takes the lock and, when a save is there, puts it in place
// of the cave newGame has just made. Prints one line when another game holds
// the folder; the game then runs as if the key were off.
void startKeepingCave();
// Once per frame: counts running (unpaused) milliseconds at tick count
// nowMillis and starts an autosave when "autosave" seconds have run.
void keepCaveAfterFrame(unsigned int nowMillis, bool paused);
// Starts a save in the background (after any save in progress has ended).
void saveCaveSoon();
// Keeps the current cave (it becomes the backup with the next save), then
// replaces it with a new one by the seed rule and saves that.
void startNewCave(long long clockSeconds);
// Waits for a save in progress; with saveFirst, saves the cave and waits for that.
void finishKeepingCave(bool saveFirst);

// The seed of a new cave: the "seed" setting when it is not 0, else the
// clock's, but never the seed of the cave being replaced.
unsigned int newCaveSeed(unsigned int setting, long long clockSeconds, unsigned int currentSeed);
