// save.h: the kept cave as bytes. A snapshot is a plain copy of everything
// the update reads to go on; it is taken on the main thread, encoded (and
// compressed) anywhere, and decoded with every size and count checked before
// anything of the game is touched. Core library: zlib, no file system.
//
// The file: magic (8 bytes), format version, payload length, compressed
// length, CRC-32, each a little-endian 32-bit number, then the zlib-compressed
// payload. The CRC covers the four numbers before it and the compressed
// bytes, so a flipped bit anywhere but in the magic is a CRC failure or a
// size that cannot be.
#pragma once

#include <stddef.h>

#include <vector>

#include "game/game.h"

const unsigned char SAVE_MAGIC[8] = {'H', 'O', 'L', 'L', 'O', 'W', 'C', 'V'};
const int SAVE_FORMAT_VERSION = 1;
const int SAVE_HEADER_SIZE = 24;
// Far above the real payload (under 300 KB); a larger claim is a damaged file.
const unsigned int SAVE_MAX_PAYLOAD = 4u << 20;

struct SaveSnapshot {
    unsigned int worldSeed;
    unsigned char blocks[WORLD_SIZE][WORLD_LEVELS][WORLD_SIZE];
    unsigned char fallingBlocks[WORLD_SIZE][WORLD_LEVELS][WORLD_SIZE];
    float floorHeight[WORLD_SIZE][WORLD_SIZE];
    float ceilingHeight[WORLD_SIZE][WORLD_SIZE];
    float waterHeight[WORLD_SIZE][WORLD_SIZE];
    float waterFrames[5][WORLD_SIZE][WORLD_SIZE];
    float waterPhaseOffset[WORLD_SIZE][WORLD_SIZE];
    bool blocksFalling;
    bool settleReady;
    float settleProgress; // 0..1
    float wavePhase;      // 0..5
    Figure player;
    int figureCount; // 0..MAX_FIGURES
    Figure figures[MAX_FIGURES];
    int ballCount; // 0..MAX_BALLS
    Ball balls[MAX_BALLS];
    int actionType; // 0..8
    bool slowMotion;
    bool thirdPersonView;
    float viewBlend;
    bool cameraSide;
    float cameraSideBlend;
    CameraPose firstPersonCamera, thirdPersonCamera, viewCamera;
    float cameraReach;
};

// Copies the running game into snapshot: plain copies, well under a
// millisecond, the only part of a save the main thread waits for.
void takeSnapshot(SaveSnapshot& snapshot);
// Puts the snapshot back as the running game: the grids, bodies, cameras and
// clocks, every chunk rebuilt and the water mesh with it.
void applySnapshot(const SaveSnapshot& snapshot);

// The uncompressed payload of the current format version. With partEnds, the
// offset just past each of its parts, in order: world (grids, water, settling
// clock, seed), player, enemies, balls, and the rest (toggles and cameras).
const int SAVE_PART_COUNT = 5;
void encodePayload(const SaveSnapshot& snapshot, std::vector<unsigned char>& payload,
                   size_t* partEnds = nullptr);
// The whole file: header and compressed payload. False when zlib fails.
// packSave frames any payload as any version (a reader's tests need both).
bool packSave(const std::vector<unsigned char>& payload, int version,
              std::vector<unsigned char>& file);
bool encodeSave(const SaveSnapshot& snapshot, std::vector<unsigned char>& file);

// Reads a whole file. On failure returns false, leaves snapshot in an
// unspecified state and puts a short reason ("wrong magic", "truncated",
// "CRC mismatch", "format version 7 is newer than this game's 1", ...) in
// why. Older versions pass through one conversion step per version.
bool decodeSave(const unsigned char* data, size_t size, SaveSnapshot& snapshot, char* why,
                size_t whySize);
