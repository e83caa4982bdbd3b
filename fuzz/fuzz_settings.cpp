// fuzz_settings.cpp: libFuzzer target for the settings reader. Each input is
// written as settings.ini and read through both start-up passes; the rules
// every read must keep are checked, so a misreading counts like a crash.
#include "app/settings.h"
#include "app/window_size.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

static void require(bool holds, const char* rule) {
    if (!holds) {
        fprintf(stderr, "settings rule broken: %s\n", rule);
        abort();
    }
}

static const char* const KEYS[] = {"screenw",         "screenh",      "screenbpp",   "fullscreen",
                                   "showcursor",      "antialiasing", "mipmapping",  "viewrange",
                                   "usefog",          "uselight",     "usetextures", "usewater",
                                   "optimizegeometry"};

// The rules written out plainly: the first 100 lines; a line keeps its first
// 255 bytes; it ends at a zero byte; a carriage return before the line end is
// dropped; spaces are removed; "key=" must start it; the last such line wins.
static float modelValue(const unsigned char* data, size_t size, const char* key) {
    std::string prefix = std::string(key) + "=";
    float result = 0.0f;
    size_t at = 0;
    for (int line = 0; line < SETTINGS_MAX_LINES && at < size; line++) {
        size_t end = at;
        while (end < size && data[end] != '\n') {
            end++;
        }
        std::string text((const char*)data + at,
                         std::min(end - at, (size_t)SETTINGS_LINE_SIZE - 1));
        text = text.substr(0, strnlen(text.c_str(), text.size()));
        if (!text.empty() && text.back() == '\r') {
            text.pop_back();
        }
        std::string packed;
        for (char c : text) {
            if (c != ' ') {
                packed += c;
            }
        }
        if (packed.compare(0, prefix.size(), prefix) == 0) {
            double value = atof(packed.c_str() + prefix.size());
            result = value > (double)FLT_MAX    ? HUGE_VALF
                     : value < -(double)FLT_MAX ? -HUGE_VALF
                                                : (float)value;
        }
        at = end + 1;
    }
    return result;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The reader always opens "settings.ini" in the working directory.
    static char folder[] = "/tmp/hollowmark-fuzz-settings-XXXXXX";
    if (mkdtemp(folder) == nullptr || chdir(folder) != 0) {
        perror("fuzz_settings: cannot make a working folder");
        abort();
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    FILE* file = fopen("settings.ini", "wb");
    if (file == nullptr) {
        abort();
    }
    if (size > 0) {
        fwrite(data, 1, size, file);
    }
    fclose(file);

    readVideoSettings();
    readGraphicsSettings();
    require(settingsLineCount == SETTINGS_MAX_LINES, "an existing file gives 100 entries");
    for (int i = 0; i < SETTINGS_MAX_LINES; i++) {
        size_t length = strnlen(settingsLines[i], SETTINGS_LINE_SIZE);
        require(length < (size_t)SETTINGS_LINE_SIZE, "every entry is zero-terminated");
        require(memchr(settingsLines[i], ' ', length) == nullptr, "no entry keeps a space");
        require(length == 0 || settingsLines[i][length - 1] != '\n',
                "no entry keeps its line feed");
    }
    require(viewRange <= MAX_VIEW_RANGE, "the view range is capped");
    // Whatever the file says, the window request is either refused or sane.
    int width = windowSide(screenWidth);
    int height = windowSide(screenHeight);
    if (windowSizeAllowed(width, height)) {
        require(width >= 0 && width <= MAX_WINDOW_SIDE && height >= 0 && height <= MAX_WINDOW_SIDE,
                "an allowed window has a side of 0 (the desktop's) to 16384 pixels");
    }
    // Every key's value against a plain model of the file's rules.
    for (const char* key : KEYS) {
        float expected = modelValue(data, size, key);
        float actual = settingValue(key);
        bool same = (std::isnan(expected) && std::isnan(actual)) ||
                    memcmp(&expected, &actual, sizeof expected) == 0;
        if (!same) {
            fprintf(stderr, "key %s: read %g, the rules give %g\n", key, actual, expected);
            abort();
        }
    }
    return 0;
}
