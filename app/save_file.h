// save_file.h: the kept cave on disk: the all-or-nothing write with its
// backup, the lock that keeps a second game out, and the reading at start
// that sets damaged files aside. Core library: POSIX calls, no SDL.
//
// Files, all in the given folder (the working folder in the game):
//   cave.sav          the last save
//   cave.bak          the save before it
//   .cave-<pid>.tmp   a save being written; renamed to cave.sav when complete
//   cave-bad-N.sav    a file that could not be read, kept for the player
//   cave.lock         held (flock) by the game that keeps the cave
#pragma once

#include <stddef.h>
#include <sys/types.h>

#include <vector>

struct SaveSnapshot;

// Every write of a save goes through this; tests replace it to play a full
// disk. Same contract as write(2).
extern ssize_t (*saveWriteHook)(int fd, const void* bytes, size_t size);

// Writes bytes as folder/cave.sav: a hidden temporary file, synced, the old
// cave.sav kept as cave.bak, the temporary renamed over cave.sav, the folder
// synced. A process killed at any instant leaves a complete cave.sav (or, on
// a file system without hard links, for an instant only a complete cave.bak).
// On failure nothing that was there is changed, no temporary file stays, and
// why says what failed.
bool writeSaveFile(const char* folder, const std::vector<unsigned char>& bytes, char* why,
                   size_t whySize);

// Takes the lock on folder/cave.lock without waiting. Returns its descriptor
// (kept open for the run), -1 when another process holds it, -2 when the lock
// file cannot be had at all (the folder is not writable, say).
int lockSaveFolder(const char* folder);

// Reads folder/cave.sav, or cave.bak when cave.sav is missing or damaged.
// A damaged file (one line on stderr each) is renamed to the first free
// cave-bad-N.sav and never deleted. False when neither gave a sound save.
bool loadSaveFolder(const char* folder, SaveSnapshot& snapshot);
