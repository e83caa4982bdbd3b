// replay.h: recording what went into a game and playing it back, from the
// command line only ("--record FILE", "--replay FILE [--fast]"). Core
// library: the command line, the recording's format and reader, the state
// checksums and the session that feeds and checks; the shell only calls.
//
// A recording, all numbers little-endian 32-bit unless said otherwise:
//   head    magic "HOLLOWRP", format version, body length, CRC-32 of the body;
//           body: game version (float bits), window width and height (pixels),
//           settings text length and text (the settings lines in force, one a
//           line), start length and the starting state as a save file holds it.
//   records each: body length, CRC-32 of the body, body. A body begins with
//           its kind (one byte): a frame, or a check.
//   frame   time factor (float bits), mouseX, mouseY, mouseInWindow (byte),
//           mouse-look motion x and y, the keys not Up (16-bit count, then
//           16-bit code and state byte each), the buttons not Up (byte count,
//           then button and state bytes each).
//   check   tick, then the CRC-32 of each part of the state after that tick.
// The head is written complete or not at all; records are appended as they
// come, so a recording cut off by a crash reads up to its last whole record.
//
// The keyboard focus is not recorded: only the shell reads it (for the grab
// and the pause), never the update.
//
// A tick is one update that ran: frames are recorded only while the game is
// not paused (what happens in the pause menu leaves no trace; the pause menu's
// "New cave" ends the recording, as the recorded cave is gone).
#pragma once

#include <stddef.h>

#include <vector>

#include "app/input.h"

// ---------------------------------------------------------------------------
// Command line
// ---------------------------------------------------------------------------

enum RunMode { PlayGame, RecordGame, ReplayGame };

struct CommandLine {
    int mode;         // RunMode
    const char* file; // the recording (an argv string); null when playing
    bool fast;        // replay without frame pacing
};

// Exit statuses of the command line and the replay (the game's others are in
// window_size.h).
const int EXIT_BAD_ARGUMENTS = 2;
const int EXIT_REPLAY_DIVERGED = 5;
const int EXIT_BAD_RECORDING = 6;  // unreadable, damaged, or cannot be written
const int EXIT_REPLAY_STOPPED = 7; // closed or Escape before the last frame

// False, with one line's reason in why, for anything but no arguments,
// "--record FILE", "--replay FILE" or "--replay FILE --fast" (in any order).
bool parseCommandLine(int argc, const char* const* argv, CommandLine& line, char* why,
                      size_t whySize);

// ---------------------------------------------------------------------------
// Format
// ---------------------------------------------------------------------------

const unsigned char RECORDING_MAGIC[8] = {'H', 'O', 'L', 'L', 'O', 'W', 'R', 'P'};
const int RECORDING_FORMAT_VERSION = 1;
const int CHECK_EVERY_TICKS = 60;
const unsigned int MAX_RECORD_BYTES = 4096;    // a frame with every key down is 1.6 KB
const unsigned int MAX_HEAD_BYTES = 16u << 20; // a save is well under 1 MB
// A recording read for a replay: some 30 hours of play at 130 KB a minute.
const size_t MAX_RECORDING_BYTES = (size_t)256 << 20;
const int MAX_RECORDED_WINDOW = 16384;         // pixels a side

// The parts of the game state a check hashes: world (grids, water, settling
// clock, seed), player, enemies, balls, camera (the cameras and view blends,
// with the action type and slow motion).
// Outside the parts, on purpose: what the update derives again from them (the
// chunk meshes and collision lists, rebuilt in full at the start of both runs),
// scratch it overwrites before reading (the settling step's grids), and the
// sound events' footstep distance, which only decides what is heard and starts
// at 0 in both runs. The update draws no random numbers.
enum StatePart { PartWorld, PartPlayer, PartEnemies, PartBalls, PartCamera, STATE_PART_COUNT };
extern const char* const statePartNames[STATE_PART_COUNT];

struct RecordingHead {
    float gameVersion;
    int width, height;                // the window, pixels
    std::vector<char> settings;       // settings lines, '\n' after each
    std::vector<unsigned char> start; // a save file (game/save.h)
};

// The input one update reads, as the update saw it.
struct RecordedFrame {
    float timeFactor;
    int mouseX, mouseY;
    bool mouseInWindow;
    int motionX, motionY;                      // mouse-look motion not yet turned by
    unsigned char keys[KEY_STATE_COUNT];       // InputState
    unsigned char buttons[MOUSE_BUTTON_COUNT]; // InputState
};

struct RecordedCheck {
    unsigned int tick;
    unsigned int crc[STATE_PART_COUNT];
};

enum RecordKind { RecordFrame = 1, RecordCheck = 2 };

void encodeHead(const RecordingHead& head, std::vector<unsigned char>& out);
void encodeFrame(const RecordedFrame& frame, std::vector<unsigned char>& out); // appends
void encodeCheck(const RecordedCheck& check, std::vector<unsigned char>& out); // appends

// Reads the head at the start of data; returns the offset of the first
// record, or 0 with a short reason in why.
size_t decodeHead(const unsigned char* data, size_t size, RecordingHead& head, char* why,
                  size_t whySize);

enum RecordRead { ReadFrame, ReadCheck, ReadEnd, ReadCutOff, ReadBad };
// Reads the record at offset and moves offset past it. ReadEnd exactly at the
// end, ReadCutOff for a last record that is not whole (offset stays), ReadBad
// with a reason in why for one that is whole but damaged or absurd.
int decodeRecord(const unsigned char* data, size_t size, size_t& offset, RecordedFrame& frame,
                 RecordedCheck& check, char* why, size_t whySize);

// ---------------------------------------------------------------------------
// Checksums
// ---------------------------------------------------------------------------

// The CRC-32 of each part of the running game's state, as a save encodes it.
void stateChecksums(unsigned int crc[STATE_PART_COUNT]);
// The parts that differ, by name, comma-separated ("player, balls"); empty
// when none does.
void differingParts(const unsigned int a[STATE_PART_COUNT], const unsigned int b[STATE_PART_COUNT],
                    char* out, size_t outSize);

// ---------------------------------------------------------------------------
// Session (replay_session.cpp): what the shell calls
// ---------------------------------------------------------------------------

extern int runMode;     // RunMode of this run
extern bool replayFast; // no frame pacing

// Recording: writes the head (complete or absent) with the running game as
// the start, then opens the file for the frames. False after one line on
// stderr.
bool startRecording(const char* path, int width, int height);
// Replaying: reads and checks the whole file and applies its settings lines.
// False after one line on stderr. The window size is then in replayHead.
bool openReplay(const char* path);
extern RecordingHead replayHead;
// Replaying, once the game is set up: the recorded start becomes the game.
bool applyReplayStart();

// Around each update that runs. beforeRecordedUpdate returns false when a
// replay has no frame left (the run should end); afterwards the checks are
// written or compared. A replay's first divergence ends it.
bool beforeRecordedUpdate(float& timeFactor);
void afterRecordedUpdate();
// Recording: a check now, unless one was just written; the shell calls it as
// the game pauses, so the state before anything the pause menu does is checked.
void checkRecordingNow();
// Whether the replay has ended (last frame played, or a divergence).
bool replayFinished();
// The last word: a recording's final check and closing; a replay's one line
// on stdout. Returns the exit status.
int finishRecordOrReplay();
