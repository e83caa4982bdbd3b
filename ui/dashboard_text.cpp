// dashboard_text.cpp: date, time, version and frame-rate texts, the credit
// lines, and the clock update that refreshes them each frame. Core library.
#include "ui/dashboard_text.h"

#include <stdio.h>
#include <string.h>
#include <time.h>

#include "ui/overlay.h"
#include "ui/ui_layout.h"

char dateText[64];
char timeText[32];
char creditLines[2][64];

const char* const creditCaption = "Made with SDL, OpenGL and LodePNG";

static const char* const weekdayNames[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                            "Thursday", "Friday", "Saturday"};
static const char* const monthNames[12] = {"January",   "February", "March",    "April",
                                           "May",       "June",     "July",     "August",
                                           "September", "October",  "November", "December"};

void formatDayOrdinal(int day, char* out, size_t size) {
    // 11, 12 and 13 take "th" although they end in 1, 2 and 3.
    const char* suffix = "th";
    const int lastTwo = day % 100;
    if (lastTwo < 11 || lastTwo > 13) {
        switch (day % 10) {
        case 1:
            suffix = "st";
            break;
        case 2:
            suffix = "nd";
            break;
        case 3:
            suffix = "rd";
            break;
        default:
            break;
        }
    }
    snprintf(out, size, "%d%s", day, suffix);
}

void formatDateText(int weekday, int month, int day, int year, char* out, size_t size) {
    // localtime never gives anything outside these ranges; the guards keep a
    // bad caller from reading past the name tables.
    const char* weekdayName = weekday >= 0 && weekday < 7 ? weekdayNames[weekday] : "";
    const char* monthName = month >= 0 && month < 12 ? monthNames[month] : "";
    char ordinal[16] = "";
    formatDayOrdinal(day, ordinal, sizeof ordinal);
    snprintf(out, size, "%s%s%s%s%s%s%d", weekdayName, " ", monthName, " ", ordinal, " ", year);
}

void formatTimeText(int hour, int minute, int second, char* out, size_t size) {
    int clockHour = hour % 12;
    if (clockHour == 0) {
        clockHour = 12;
    }
    snprintf(out, size, "%d:%s%d:%s%d%s", clockHour, minute < 10 ? "0" : "", minute,
             second < 10 ? "0" : "", second, hour < 12 ? " AM" : " PM");
}

void formatVersionText(float version, char* out, size_t size) {
    snprintf(out, size, "%s%f", "v", version);
    size_t length = strlen(out);
    while (length > 2 && out[length - 2] != '.' && out[length - 1] == '0') {
        out[--length] = '\0';
    }
}

void formatFrameRateText(float framesPerSecond, char* out, size_t size) {
    snprintf(out, size, "%s%f", "frames per second: ", framesPerSecond);
}

void updateClockText() {
    const time_t now = time(nullptr);
    struct tm local;
    memset(&local, 0, sizeof local);
    if (localtime_r(&now, &local) == nullptr) {
        return; // keep the previous texts rather than show garbage
    }
    formatDateText(local.tm_wday, local.tm_mon, local.tm_mday, local.tm_year + 1900, dateText,
                   sizeof dateText);
    formatTimeText(local.tm_hour, local.tm_min, local.tm_sec, timeText, sizeof timeText);
}

void setupDashboardBanners() {
    fillBannerCoords();
    snprintf(creditLines[0], sizeof creditLines[0], "%s", "");
    snprintf(creditLines[1], sizeof creditLines[1], "%s", creditCaption);
}
