// The settings reader on any file, both start-up passes, checked against a plain reading of the
// rules.
#include "app/settings.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

static void require(bool holds, const char* rule) {
    if (!holds)
        fprintf(stderr, "settings rule broken: %s\n", rule), abort();
}

// The first 100 lines, each cut at 255 bytes and at a zero byte, a final carriage return and all
// spaces dropped; the last line "key=..." wins.
static float modelValue(const unsigned char* data, size_t size, const std::string& key) {
    float result = 0.0f;
    for (size_t at = 0, line = 0; line < SETTINGS_MAX_LINES && at < size; line++, at++) {
        const size_t end = std::find(data + at, data + size, '\n') - data;
        std::string text((const char*)data + at,
                         std::min(end - at, (size_t)SETTINGS_LINE_SIZE - 1));
        text.resize(strnlen(text.c_str(), text.size()));
        if (!text.empty() && text.back() == '\r')
            text.pop_back();
        text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
        if (text.compare(0, key.size() + 1, key + "=") == 0) {
            const double value = atof(text.c_str() + key.size() + 1);
            result = value > FLT_MAX ? HUGE_VALF : value < -FLT_MAX ? -HUGE_VALF : (float)value;
        }
        at = end;
    }
    return result;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    static char folder[] =
        "/tmp/hollowmark-fuzz-settings-XXXXXX"; // the reader opens ./settings.ini
    require(mkdtemp(folder) != nullptr && chdir(folder) == 0, "a working folder");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    FILE* file = fopen("settings.ini", "wb");
    require(file != nullptr && fwrite(data, 1, size, file) == size && fclose(file) == 0,
            "settings.ini written");
    readVideoSettings();
    readGraphicsSettings();
    require(settingsLineCount == SETTINGS_MAX_LINES && viewRange <= MAX_VIEW_RANGE,
            "100 entries, view range capped");
    for (const char* key :
         {"screenw", "screenh", "screenbpp", "viewrange", "usefog", "optimizegeometry"}) {
        const float expected = modelValue(data, size, key), actual = settingValue(key);
        if (!(std::isnan(expected) && std::isnan(actual)) &&
            memcmp(&expected, &actual, sizeof actual) != 0)
            fprintf(stderr, "key %s: read %g, the rules give %g\n", key, actual, expected), abort();
    }
    return 0;
}
