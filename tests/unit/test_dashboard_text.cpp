// Date, time, version and frame-rate texts.
#include <gtest/gtest.h>

#include <string.h>

#include "ui/dashboard_text.h"
#include "ui/overlay.h"
#include "ui/ui.h"

TEST(DashboardText, TwelveHourClock) {
    char text[32] = "";
    formatTimeText(0, 0, 0, text, sizeof text);
    EXPECT_STREQ(text, "12:00:00 AM");
    formatTimeText(0, 5, 9, text, sizeof text);
    EXPECT_STREQ(text, "12:05:09 AM");
    formatTimeText(12, 5, 9, text, sizeof text);
    EXPECT_STREQ(text, "12:05:09 PM");
    formatTimeText(12, 30, 0, text, sizeof text);
    EXPECT_STREQ(text, "12:30:00 PM");
    formatTimeText(13, 0, 7, text, sizeof text);
    EXPECT_STREQ(text, "1:00:07 PM");
    formatTimeText(11, 59, 59, text, sizeof text);
    EXPECT_STREQ(text, "11:59:59 AM");
    formatTimeText(23, 10, 10, text, sizeof text);
    EXPECT_STREQ(text, "11:10:10 PM");
    formatTimeText(1, 0, 0, text, sizeof text);
    EXPECT_STREQ(text, "1:00:00 AM");
}

TEST(DashboardText, EveryDayOfTheMonthHasItsOrdinal) {
    const char* const expected[32] = {
        "",     "1st",  "2nd",  "3rd",  "4th",  "5th",  "6th",  "7th",  "8th",  "9th",  "10th",
        "11th", "12th", "13th", "14th", "15th", "16th", "17th", "18th", "19th", "20th", "21st",
        "22nd", "23rd", "24th", "25th", "26th", "27th", "28th", "29th", "30th", "31st"};
    char text[16] = "";
    for (int day = 1; day <= 31; ++day) {
        formatDayOrdinal(day, text, sizeof text);
        EXPECT_STREQ(text, expected[day]) << "day " << day;
    }
}

TEST(DashboardText, DateReadsWeekdayMonthOrdinalYear) {
    char text[64] = "";
    formatDateText(0, 11, 6, 2026, text, sizeof text);
    EXPECT_STREQ(text, "Sunday December 6th 2026");
    formatDateText(3, 8, 30, 2026, text, sizeof text);
    EXPECT_STREQ(text, "Wednesday September 30th 2026");
    formatDateText(6, 0, 1, 2000, text, sizeof text);
    EXPECT_STREQ(text, "Saturday January 1st 2000");
    formatDateText(2, 1, 22, 2028, text, sizeof text);
    EXPECT_STREQ(text, "Tuesday February 22nd 2028");
    // A short buffer truncates instead of overrunning.
    char shortText[8] = "";
    formatDateText(3, 8, 30, 2026, shortText, sizeof shortText);
    EXPECT_STREQ(shortText, "Wednesd");
}

TEST(DashboardText, VersionKeepsOneDecimalAndDropsTrailingZeros) {
    char text[64] = "";
    formatVersionText(0.9f, text, sizeof text);
    EXPECT_STREQ(text, "v0.9");
    formatVersionText(1.0f, text, sizeof text);
    EXPECT_STREQ(text, "v1.0");
    formatVersionText(1.25f, text, sizeof text);
    EXPECT_STREQ(text, "v1.25");
    formatVersionText(10.0f, text, sizeof text);
    EXPECT_STREQ(text, "v10.0");
    formatVersionText(0.0f, text, sizeof text);
    EXPECT_STREQ(text, "v0.0");
}

TEST(DashboardText, FrameRateLineHasSixDecimals) {
    char text[128] = "";
    formatFrameRateText(62.5f, text, sizeof text);
    EXPECT_STREQ(text, "frames per second: 62.500000");
    formatFrameRateText(0.0f, text, sizeof text);
    EXPECT_STREQ(text, "frames per second: 0.000000");
    EXPECT_EQ(strlen("frames per second: 62.500000"), 28u);
}

TEST(DashboardText, BannersAndCreditsAreSetUp) {
    setupDashboardBanners();
    EXPECT_STREQ(creditLines[0], "");
    EXPECT_STREQ(creditLines[1], creditCaption);
    EXPECT_GT(strlen(creditLines[1]), 0u);
    EXPECT_FLOAT_EQ(bannerCoords[0].uv[1], 188.0f / 256.0f); // bottom edge of the upper banner
    EXPECT_FLOAT_EQ(bannerCoords[1].uv[5], 188.0f / 256.0f); // top edge of the lower banner
    EXPECT_FLOAT_EQ(bannerCoords[1].uv[2], 640.0f / 1024.0f);

    updateClockText();
    // Whatever the moment, the texts have their shapes.
    EXPECT_GT(strlen(dateText), 15u);
    const size_t timeLength = strlen(timeText);
    ASSERT_GE(timeLength, 10u);
    EXPECT_TRUE(strcmp(timeText + timeLength - 3, " AM") == 0 ||
                strcmp(timeText + timeLength - 3, " PM") == 0);
}
