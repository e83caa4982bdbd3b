// dashboard_text.h: the texts of the dashboard and the frame-rate line: date,
// time, version, credits. Core library: the formatting is pure, so tests can
// feed it any moment without touching the clock.
#pragma once

#include <stddef.h>

// "1st", "2nd", "3rd", "4th" ... "11th", "12th", "13th" ... "21st" ...;
// writes at most size bytes including the terminating zero.
void formatDayOrdinal(int day, char* out, size_t size);
// "Sunday December 6th 2026"; weekday 0 is Sunday, month 0 is January.
void formatDateText(int weekday, int month, int day, int year, char* out, size_t size);
// "12:05:09 AM": the 12-hour clock from a 24-hour hour 0..23.
void formatTimeText(int hour, int minute, int second, char* out, size_t size);
// "v" and the version with trailing zeros trimmed down to one decimal: 0.9
// gives "v0.9", 1.0 gives "v1.0".
void formatVersionText(float version, char* out, size_t size);
// "frames per second: 62.500000"
void formatFrameRateText(float framesPerSecond, char* out, size_t size);

// The fixed caption shown as the dashboard's second credit line.
extern const char* const creditCaption;
