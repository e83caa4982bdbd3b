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
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

bool cameraCollision = false;
bool tintFigures = false;
bool recenterPointer = false;
bool plainLabels = false;
bool screenshotKey = false;
bool soundOn = false;
int soundVolume = DEFAULT_SOUND_VOLUME;
unsigned int seedSetting = 0;

// Given once per run, though the file is read twice.
static bool sizeWarningGiven = false;
static bool kindWarningGiven = false;

// Opens the file for reading when it is a plain file. Opening without
// waiting and looking before reading: a named pipe with no writer would
// hold up the start for ever, and a device or folder has no settings in it;
// either counts as no file, with a warning.
static FILE* openRegularFile(const char* path) {
    int fd = open(path, O_RDONLY | O_NONBLOCK);
    if (fd < 0) {
        return nullptr;
    }
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        if (!kindWarningGiven) {
            kindWarningGiven = true;
            fprintf(stderr, "hollowmark: %s is not a plain file; it is ignored\n", path);
        }
        return nullptr;
    }
    FILE* file = fdopen(fd, "r");
    if (file == nullptr) {
        close(fd);
    }
    return file;
}

// Reads one line into entry (at most SETTINGS_LINE_SIZE - 1 characters). A
// longer line keeps its first 255 characters and the rest of it is skipped,
// so the keys on the following lines are still read. Returns false at the
// end of the file or when the byte budget is spent.
static bool readLine(FILE* file, char* entry, long& budget) {
    int length = 0;
    int c = 0;
    bool readAny = false;
    while (budget > 0 && (c = fgetc(file)) != EOF) {
        budget--;
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

static void readSettingsStream(FILE* file, const char* path);

void readSettingsLinesFrom(const char* path) {
    settingsLineCount = 0;
    memset(settingsLines, 0, sizeof settingsLines);
    FILE* file = openRegularFile(path);
    if (file != nullptr) {
        readSettingsStream(file, path);
    }
}

static void readSettingsStream(FILE* file, const char* path) {
    bool more = true;
    long budget = SETTINGS_MAX_BYTES;
    for (int i = 0; i < SETTINGS_MAX_LINES; ++i) {
        if (more) {
            more = readLine(file, settingsLines[i], budget);
        }
        // A carriage return before the line feed belongs to the line end.
        size_t length = strlen(settingsLines[i]);
        if (length > 0 && settingsLines[i][length - 1] == '\r') {
            settingsLines[i][length - 1] = '\0';
        }
        removeSpaces(settingsLines[i]);
    }
    if (budget == 0 && fgetc(file) != EOF && !sizeWarningGiven) {
        sizeWarningGiven = true;
        fprintf(stderr, "hollowmark: %s: only the first %ld bytes are read\n", path,
                SETTINGS_MAX_BYTES);
    }
    fclose(file);
    settingsLineCount = SETTINGS_MAX_LINES;
}

const char* settingsText = nullptr;

void readSettingsLines() {
    if (settingsText == nullptr) {
        readSettingsLinesFrom("settings.ini");
        return;
    }
    settingsLineCount = 0;
    memset(settingsLines, 0, sizeof settingsLines);
    FILE* file = fmemopen((void*)settingsText, strlen(settingsText), "r");
    if (file != nullptr) {
        readSettingsStream(file, "the recording's settings");
    }
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

// The value of the last line holding key, as atof gives it; 0 when none.
static double lastValueOf(const char* key) {
    double result = 0.0;
    if (settingsLineCount == 0) {
        return result;
    }
    char prefix[SETTINGS_LINE_SIZE + 2];
    snprintf(prefix, sizeof prefix, "%s%s", key, "=");
    size_t prefixLength = strlen(prefix);
    for (int i = 0; i < settingsLineCount; ++i) {
        if (strncmp(settingsLines[i], prefix, prefixLength) == 0) {
            result = atof(settingsLines[i] + prefixLength);
        }
    }
    return result;
}

float settingValue(const char* key) {
    return narrowToFloat(lastValueOf(key));
}

int settingToInt(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    // 2^31 is the first value an int cannot hold; down to -2^31 - 1 (not
    // included) truncation still gives -2^31.
    if (value >= 2147483648.0) {
        return 2147483647;
    }
    if (value <= -2147483649.0) {
        return -2147483647 - 1;
    }
    return (int)value;
}

bool settingToBool(float value) {
    return value != 0.0f;
}

// An int setting; a value no int can hold (NaN, or beyond the int range) is
// replaced as settingToInt says, and the replacement is reported.
static int wholeSetting(const char* key) {
    float value = settingValue(key);
    int whole = settingToInt(value);
    if (std::isnan(value) || value >= 2147483648.0f || value < -2147483648.0f) {
        fprintf(stderr, "hollowmark: settings.ini: %s %g is not a usable whole number; using %d\n",
                key, value, whole);
    }
    return whole;
}

int soundVolumeFor(float value) {
    int percent = settingToInt(value);
    if (percent == 0) {
        return DEFAULT_SOUND_VOLUME;
    }
    return percent < 1 ? 1 : percent > 100 ? 100 : percent;
}

bool wholeSeed(double value, unsigned int& seed) {
    if (std::isnan(value) || value < 0.0) {
        seed = 0;
    } else if (value >= 4294967296.0) {
        seed = 4294967295u;
    } else {
        seed = (unsigned int)value;
    }
    return (double)seed == value;
}

void readVideoSettings() {
    readSettingsLines();
    screenWidth = settingValue("screenw");
    screenHeight = settingValue("screenh");
    screenBpp = wholeSetting("screenbpp");
    fullscreen = settingToBool(settingValue("fullscreen"));
    showCursor = settingToBool(settingValue("showcursor"));
    antialiasing = settingToBool(settingValue("antialiasing"));
    mipmapping = settingToBool(settingValue("mipmapping"));
    aspectRatio = screenWidth / screenHeight;
}

void readGraphicsSettings() {
    readSettingsLines();
    viewRange = wholeSetting("viewrange");
    if (viewRange > MAX_VIEW_RANGE) {
        fprintf(stderr, "hollowmark: settings.ini: viewrange %d is more than %d; using %d\n",
                viewRange, MAX_VIEW_RANGE, MAX_VIEW_RANGE);
        viewRange = MAX_VIEW_RANGE;
    }
    useFog = settingToBool(settingValue("usefog"));
    useLight = settingToBool(settingValue("uselight"));
    useTextures = settingToBool(settingValue("usetextures"));
    useWater = settingToBool(settingValue("usewater"));
    optimizeGeometry = settingToBool(settingValue("optimizegeometry"));

    cameraCollision = settingToBool(settingValue("cameracollision"));
    tintFigures = settingToBool(settingValue("tintfigures"));
    recenterPointer = settingToBool(settingValue("recenterpointer"));
    plainLabels = settingToBool(settingValue("plainlabels"));
    screenshotKey = settingToBool(settingValue("screenshotkey"));
    soundOn = settingToBool(settingValue("sound"));
    soundVolume = soundVolumeFor(settingValue("soundvolume"));
    const double seed = lastValueOf("seed");
    if (!wholeSeed(seed, seedSetting)) {
        fprintf(stderr,
                "hollowmark: settings.ini: seed %g is not a usable whole number; using %u\n", seed,
                seedSetting);
    }
    readControlSettings();
}
