// sound_sdl.cpp: the audio device, the sound files and the starting of
// voices. Every decision is planSounds'; this file only plays.
#include "app/sound_sdl.h"

#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>
#include <cstdio>

#include "app/settings.h"
#include "game/game.h"
#include "game/sound_events.h"

const int MIX_RATE = 22050;   // the files' own rate: no resampling
const int MIX_BUFFER = 1024;  // samples per channel: about 46 ms
const int SPARE_CHANNELS = 2; // the mixer may finish a voice a little after planSounds does

static Mix_Chunk* chunks[SOUND_COUNT][2]; // [sound][slowed copy]
static bool audioOpen = false;

static int unreadable = 0; // sound files that could not be loaded
static char firstUnreadable[256] = "";

static Mix_Chunk* loadSound(const char* name, const char* suffix) {
    char path[128] = "";
    snprintf(path, sizeof path, "Media/sounds/%s%s.wav", name, suffix);
    Mix_Chunk* chunk = Mix_LoadWAV(path);
    if (chunk == nullptr && unreadable++ == 0) {
        snprintf(firstUnreadable, sizeof firstUnreadable, "%s: %s", path, Mix_GetError());
    }
    return chunk;
}

void initSound() {
    if (!soundOn) {
        return;
    }
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0 ||
        Mix_OpenAudio(MIX_RATE, AUDIO_S16SYS, 2, MIX_BUFFER) != 0) {
        fprintf(stderr, "hollowmark: no sound device (%s); playing without sound\n",
                SDL_GetError());
        soundOn = false;
        return;
    }
    audioOpen = true;
    Mix_AllocateChannels(MAX_VOICES + SPARE_CHANNELS);
    for (int s = 0; s < SOUND_COUNT; ++s) {
        chunks[s][0] = loadSound(soundTable[s].name, "");
        chunks[s][1] = soundTable[s].inWorld ? loadSound(soundTable[s].name, "_slow") : nullptr;
    }
    if (unreadable > 0) {
        fprintf(stderr,
                "hollowmark: %d sound files cannot be read (the first, %s); they stay silent\n",
                unreadable, firstUnreadable);
    }
}

void playSounds() {
    if (!audioOpen) {
        return;
    }
    SoundPlay plays[MAX_VOICES];
    int count = planSounds(viewCamera.position, viewCamera.yaw, SDL_GetTicks(), plays);
    for (int i = 0; i < count; ++i) {
        Mix_Chunk* chunk = chunks[plays[i].sound][plays[i].slow ? 1 : 0];
        int channel = Mix_GroupAvailable(-1);
        if (chunk == nullptr || channel < 0) {
            continue;
        }
        // Volume and side are set before the voice starts, so no buffer of
        // it is mixed with the channel's last settings.
        float pan = plays[i].pan;
        Mix_Volume(channel, (int)(plays[i].volume * MIX_MAX_VOLUME + 0.5f));
        Mix_SetPanning(channel, (Uint8)(255.0f * (pan > 0.0f ? 1.0f - pan : 1.0f)),
                       (Uint8)(255.0f * (pan < 0.0f ? 1.0f + pan : 1.0f)));
        Mix_PlayChannel(channel, chunk, 0);
    }
}
