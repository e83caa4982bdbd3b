// settings.h: the game's configuration, read from "settings.ini" in the
// working directory. Core library: no SDL, no GL.
//
// The file is read twice at start-up, first for the video keys and then for
// the graphics keys. Every missing, misspelt or non-numeric key gives 0.
#pragma once

const int SETTINGS_MAX_LINES = 100; // lines after the 100th are never read
const int SETTINGS_LINE_SIZE = 256; // 255 characters plus the terminating zero
// Reading stops after this many bytes (with one warning on stderr): 100 lines
// need far less, and a settings.ini that never ends (a link to a device, say)
// must not keep the start waiting.
const long SETTINGS_MAX_BYTES = 1L << 20;

extern char settingsLines[SETTINGS_MAX_LINES][SETTINGS_LINE_SIZE];
extern int settingsLineCount; // 0 when the file could not be opened, else 100

// Video keys (readVideoSettings); the sizes are overwritten with the real
// window size once the video mode is set.
extern float screenWidth;  // pixels; 0 = desktop width
extern float screenHeight; // pixels; 0 = desktop height
extern int screenBpp;      // bits per pixel; 0 = desktop depth
extern bool fullscreen;
extern bool showCursor;
extern bool antialiasing;
extern bool mipmapping;
extern float aspectRatio; // screenWidth / screenHeight

// Graphics keys (readGraphicsSettings).
extern int viewRange; // draw radius in chunks, capped at MAX_VIEW_RANGE
extern bool useFog;
extern bool useLight;
extern bool useTextures;
extern bool useWater;
extern bool optimizeGeometry;

// Player comforts, each off (0) when its key is missing, which keeps the
// plain game (readGraphicsSettings reads them after the graphics keys).
extern bool cameraCollision; // "cameracollision": the trailing camera stays in front of surfaces
extern bool tintFigures;     // "tintfigures": player, enemies, balls and aim marker in own colours
extern bool recenterPointer; // "recenterpointer": pointer back to the centre when the menu closes
extern bool plainLabels;     // "plainlabels": mode names in words, slow-motion panel, seed shown
extern bool screenshotKey;   // "screenshotkey": F12 saves a screenshot without pausing
extern unsigned int seedSetting; // "seed": the cave's seed; 0 takes the clock
// Sound (game/sound_events.h): off keeps the game silent and the audio
// device closed.
extern bool soundOn;                 // "sound"
extern int soundVolume;              // "soundvolume": master volume in percent, 1..100
const int DEFAULT_SOUND_VOLUME = 80; // for a missing or 0 "soundvolume"
// The master volume for a "soundvolume" value: 0 (missing) gives the
// default, anything else is clamped into 1..100.
int soundVolumeFor(float value);

// How the player steers and sees (control_settings.cpp, read last by
// readGraphicsSettings); each missing key keeps the plain control.
extern bool mouseLook;         // "mouselook": the pointer is held and its motion turns the view
extern float mouseSensitivity; // "mousesensitivity": times 0.15 degrees a pixel; 0 or missing: 1
extern bool invertMouse;       // "invertmouse": moving the mouse away from you looks down
extern float sceneFov;         // "fov": vertical field of view in degrees; 0 or missing: 50
extern bool pauseOnFocusLoss;  // "pauseonfocusloss": losing the keyboard focus pauses
const float PLAIN_FIELD_OF_VIEW = 50.0f; // degrees, the view as first designed
const float MIN_FIELD_OF_VIEW = 30.0f, MAX_FIELD_OF_VIEW = 120.0f;
const float MIN_MOUSE_SENSITIVITY = 0.01f, MAX_MOUSE_SENSITIVITY = 100.0f;
void readControlSettings();

// A view range beyond this would make the drawing loops' counters overflow
// long before it could show anything more: the world repeats every 10 chunks.
const int MAX_VIEW_RANGE = 100;

// The settings lines in force instead of settings.ini's when not null (a
// replay plays with the settings it was recorded with).
extern const char* settingsText;
void readSettingsLines();                     // from "settings.ini" (or settingsText)
void readSettingsLinesFrom(const char* path); // the same from any file (tests)
float settingValue(const char* key);          // last matching line wins; 0 when absent
void readVideoSettings();
void readGraphicsSettings();

// Conversions: an int setting is the value truncated toward zero (NaN gives 0,
// out-of-range values saturate); a bool setting is true when the value is not 0.
int settingToInt(double value);
// The seed is an unsigned 32-bit number, as srand takes it, read in double
// precision, so every clock value the dashboard shows survives a round trip
// through the file. Truncated toward zero and saturated to 0..4294967295
// (NaN gives 0); false when the value had to be changed to become one.
bool wholeSeed(double value, unsigned int& seed);
bool settingToBool(float value);
