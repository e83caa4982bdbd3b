// settings.cpp: reading "settings.ini". Core library.
//
// The file holds key=value lines; spaces are removed before matching, keys
// match as an exact, case-sensitive prefix "key=", the last matching line
// wins, and only the first 100 lines count.
#include "app/settings.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

char settingsLines[SETTINGS_MAX_LINES][SETTINGS_LINE_SIZE];
int settingsLineCount = 0;

float screenWidth = 0.0f;
float screenHeight = 0.0f;
int screenBpp = 0;
bool fullscreen = false;
bool showCursor = false;
bool antialiasing = false;
bool mipmapping = false;
float aspectRatio = 0.0f;

int viewRange = 0;
bool useFog = false;
bool useLight = false;
bool useTextures = false;
bool useWater = false;
bool optimizeGeometry = false;

// Reads one line into entry (at most SETTINGS_LINE_SIZE - 1 characters). A
// longer line keeps its first 255 characters and the rest of it is skipped,
// so the keys on the following lines are still read. Returns false at the
// end of the file.
static bool readLine(FILE* file, char* entry) {
    int length = 0;
    int c = 0;
    bool readAny = false;
    while ((c = fgetc(file)) != EOF) {
        readAny = true;
        if (c == '\n') {
            break;
        }
        if (length < SETTINGS_LINE_SIZE - 1) {
            entry[length++] = (char)c;
        }
    }
    entry[length] = '\0';
    return readAny;
}

static void removeSpaces(char* entry) {
    char* out = entry;
    for (const char* in = entry; *in != '\0'; ++in) {
        if (*in != ' ') {
            *out++ = *in;
        }
    }
    *out = '\0';
}

void readSettingsLinesFrom(const char* path) {
    settingsLineCount = 0;
    memset(settingsLines, 0, sizeof settingsLines);
    FILE* file = fopen(path, "r");
    if (file == nullptr) {
        return;
    }
    bool more = true;
    for (int i = 0; i < SETTINGS_MAX_LINES; ++i) {
        if (more) {
            more = readLine(file, settingsLines[i]);
        }
        // A carriage return before the line feed belongs to the line end.
        size_t length = strlen(settingsLines[i]);
        if (length > 0 && settingsLines[i][length - 1] == '\r') {
            settingsLines[i][length - 1] = '\0';
        }
        removeSpaces(settingsLines[i]);
    }
    fclose(file);
    settingsLineCount = SETTINGS_MAX_LINES;
}

void readSettingsLines() {
    readSettingsLinesFrom("settings.ini");
}

// A double beyond the float range has no float value to narrow to; such a
// setting becomes an infinity of its sign rather than undefined behaviour.
static float narrowToFloat(double value) {
    if (value > (double)FLT_MAX) {
        return HUGE_VALF;
    }
    if (value < -(double)FLT_MAX) {
        return -HUGE_VALF;
    }
    return (float)value;
}

float settingValue(const char* key) {
    float result = 0.0f;
    if (settingsLineCount == 0) {
        return result;
    }
    char prefix[SETTINGS_LINE_SIZE + 2];
    snprintf(prefix, sizeof prefix, "%s%s", key, "=");
    size_t prefixLength = strlen(prefix);
    for (int i = 0; i < settingsLineCount; ++i) {
        if (strncmp(settingsLines[i], prefix, prefixLength) == 0) {
            result = narrowToFloat(atof(settingsLines[i] + prefixLength));
        }
    }
    return result;
}

int settingToInt(float value) {
    if (std::isnan(value)) {
        return 0;
    }
    // 2^31 is the first float an int cannot hold; -2^31 itself still fits.
    if (value >= 2147483648.0f) {
        return 2147483647;
    }
    if (value < -2147483648.0f) {
        return -2147483647 - 1;
    }
    return (int)value;
}

bool settingToBool(float value) {
    return value != 0.0f;
}

void readVideoSettings() {
    readSettingsLines();
    screenWidth = settingValue("screenw");
    screenHeight = settingValue("screenh");
    screenBpp = settingToInt(settingValue("screenbpp"));
    fullscreen = settingToBool(settingValue("fullscreen"));
    showCursor = settingToBool(settingValue("showcursor"));
    antialiasing = settingToBool(settingValue("antialiasing"));
    mipmapping = settingToBool(settingValue("mipmapping"));
    aspectRatio = screenWidth / screenHeight;
}

void readGraphicsSettings() {
    readSettingsLines();
    viewRange = settingToInt(settingValue("viewrange"));
    if (viewRange > MAX_VIEW_RANGE) {
        viewRange = MAX_VIEW_RANGE;
    }
    useFog = settingToBool(settingValue("usefog"));
    useLight = settingToBool(settingValue("uselight"));
    useTextures = settingToBool(settingValue("usetextures"));
    useWater = settingToBool(settingValue("usewater"));
    optimizeGeometry = settingToBool(settingValue("optimizegeometry"));
}
