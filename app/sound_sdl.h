// sound_sdl.h: playing the game's sounds through SDL_mixer. The rules (what
// sounds, how loud, where) are in game/sound_events.h; mixing runs on SDL's
// audio thread, so the main thread only starts voices.
#pragma once

// With "sound" on: opens the audio device and loads Media/sounds/. Without a
// device it says so in one line on stderr, turns sound off and the game runs
// silent. With "sound" off it does nothing: the audio device stays closed.
void initSound();
// Once per frame, after the overlay: starts the voices planned from the
// frame's events, heard from the view camera.
void playSounds();
