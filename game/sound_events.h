// sound_events.h: what the game sounds like, decided here and played
// elsewhere. The update and the menu record events (which sound, where, how
// strong) into a small queue; once per frame planSounds turns that queue and
// the listener (the view camera) into voices: which file, how loud, which
// side. The platform side (app/sound_sdl.cpp) only plays them.
//
// With the "sound" setting off nothing is recorded and nothing else here
// changes any state, so the game runs exactly as without sound.
//
// Units: world units, radians (the view's yaw), milliseconds of the frame
// clock; strength and volume 0..1; pan -1 (left) .. 1 (right).
#pragma once

#include "physics/vector3.h"

enum SoundId {
    SoundStep, // a footstep, one per stride walked on the ground
    SoundJump,
    SoundLand,  // louder for a harder fall
    SoundBrush, // the ground brush grinding, while raise or lower is held
    SoundBlockPlace,
    SoundBlockRemove,
    SoundBlockLand, // a falling block coming to rest
    SoundRopeCatch,
    SoundRopeRelease,
    SoundThrow,
    SoundBallHit, // a ball sticking to rock
    SoundEnemy,   // an enemy created
    SoundSlowOn,
    SoundSlowOff,
    SoundButton,  // a pause menu button
    SoundShutter, // a screenshot saved
    SOUND_COUNT
};

struct SoundInfo {
    const char* name; // file Media/sounds/<name>.wav; slowed copy <name>_slow.wav
    int millis;       // length at normal speed
    float level;      // volume of the strongest event heard up close, 0..1
    bool inWorld;     // has a place (quieter with distance, panned) and follows slow motion
};
extern const SoundInfo soundTable[SOUND_COUNT];

// A slowed copy plays this many times longer, as much lower in pitch.
const int SLOW_SOUND_STRETCH = 2;

// One event per sound per frame is kept: the strongest, and of equally
// strong ones the nearest to the player. So the queue never overflows, and
// 500 balls landing in one update are one event.
struct SoundEvent {
    int sound;        // SoundId
    Vector3 position; // where it happened (unused for sounds not inWorld)
    float strength;   // 0..1
};
extern SoundEvent soundEvents[SOUND_COUNT];
extern int soundEventCount;

void recordSound(int sound, Vector3 at, float strength); // nothing with sound off
void recordUiSound(int sound);

// Footsteps and landing, after the player's motion step: before is the
// position and wasOnGround the ground flag from before the step, fallSpeed
// the downward speed the step started with (units per tick).
const float STRIDE_LENGTH = 1.8f; // units walked on the ground per footstep
void listenToPlayerMotion(Vector3 before, bool wasOnGround, float fallSpeed);
// 0 for a fall too soft to hear, else rising with the speed up to 1.
float landingStrength(float fallSpeed);
// After a settling step: the cells that became solid were falling blocks
// that came to rest. blocksBefore is laid out like blocks.
void recordLandedBlocks(const unsigned char* blocksBefore);

// One voice to start now.
struct SoundPlay {
    int sound;    // SoundId
    bool slow;    // play the slowed copy
    float volume; // 0..1, the master volume applied
    float pan;    // -1 left .. 1 right
};

// Voices that may sound at once. Their volumes (before the master volume)
// add up to at most 1, and every file peaks below full scale, so the mix
// never clips however many things happen together.
const int MAX_VOICES = 8;

// Takes the queued events, empties the queue and writes the voices to start
// into plays (at most MAX_VOICES); returns their count. The listener is at
// ear facing yaw (the view camera's: turning right raises the yaw). Remembers
// the voices it started until they end by nowMillis.
int planSounds(Vector3 ear, float yaw, unsigned int nowMillis, SoundPlay* plays);
// Forgets the queue and every voice (tests, a new run).
void resetSounds();
