// test_settings.cpp: the rules for reading settings.ini, checked against
// files written into a fresh temporary folder.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

#include "app/settings.h"

namespace {

// Each test runs in its own empty folder, so settings.ini there is the one
// the test wrote, or none at all.
class SettingsFile : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/hollowmark-settings-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        char here[4096] = {};
        ASSERT_NE(getcwd(here, sizeof here), nullptr);
        previousFolder = here;
        ASSERT_EQ(chdir(folder.c_str()), 0);
    }
    void TearDown() override {
        remove("settings.ini");
        EXPECT_EQ(chdir(previousFolder.c_str()), 0);
        rmdir(folder.c_str());
    }
    // Writes settings.ini byte for byte (binary, so "\r\n" stays CR LF).
    static void write(const std::string& text) {
        FILE* file = fopen("settings.ini", "wb");
        ASSERT_NE(file, nullptr);
        fwrite(text.data(), 1, text.size(), file);
        fclose(file);
    }
    static float valueIn(const std::string& text, const char* key) {
        write(text);
        readSettingsLines();
        return settingValue(key);
    }
    std::string folder;
    std::string previousFolder;
};

TEST_F(SettingsFile, MissingFileGivesZeroForEverything) {
    // Values left over from an earlier read must not survive.
    screenWidth = 123.0f;
    viewRange = 7;
    useFog = true;
    readVideoSettings();
    readGraphicsSettings();
    EXPECT_EQ(settingsLineCount, 0);
    EXPECT_EQ(settingValue("screenw"), 0.0f);
    EXPECT_EQ(screenWidth, 0.0f);
    EXPECT_EQ(screenHeight, 0.0f);
    EXPECT_EQ(screenBpp, 0);
    EXPECT_FALSE(fullscreen);
    EXPECT_FALSE(showCursor);
    EXPECT_FALSE(antialiasing);
    EXPECT_FALSE(mipmapping);
    EXPECT_EQ(viewRange, 0);
    EXPECT_FALSE(useFog);
    EXPECT_FALSE(useLight);
    EXPECT_FALSE(useTextures);
    EXPECT_FALSE(useWater);
    EXPECT_FALSE(optimizeGeometry);
}

TEST_F(SettingsFile, EveryKeyReachesItsVariable) {
    write("screenw=1280\nscreenh=720\nscreenbpp=32\nfullscreen=1\nshowcursor=1\n"
          "antialiasing=1\nmipmapping=1\nviewrange=6\nusefog=1\nuselight=1\n"
          "usetextures=1\nusewater=1\noptimizegeometry=1\n");
    readVideoSettings();
    readGraphicsSettings();
    EXPECT_EQ(settingsLineCount, 100);
    EXPECT_EQ(screenWidth, 1280.0f);
    EXPECT_EQ(screenHeight, 720.0f);
    EXPECT_FLOAT_EQ(aspectRatio, 1280.0f / 720.0f);
    EXPECT_EQ(screenBpp, 32);
    EXPECT_TRUE(fullscreen);
    EXPECT_TRUE(showCursor);
    EXPECT_TRUE(antialiasing);
    EXPECT_TRUE(mipmapping);
    EXPECT_EQ(viewRange, 6);
    EXPECT_TRUE(useFog);
    EXPECT_TRUE(useLight);
    EXPECT_TRUE(useTextures);
    EXPECT_TRUE(useWater);
    EXPECT_TRUE(optimizeGeometry);
}

TEST_F(SettingsFile, KeysMatchAsExactCaseSensitivePrefixAfterSpacesGo) {
    EXPECT_EQ(valueIn("screenw = 800\n", "screenw"), 800.0f);
    EXPECT_EQ(valueIn("screenw=800\n", "screenw"), 800.0f);
    EXPECT_EQ(valueIn("  screen w  =  8 0 0  \n", "screenw"), 800.0f);
    EXPECT_EQ(valueIn("SCREENW=800\n", "screenw"), 0.0f);
    EXPECT_EQ(valueIn("screenwidth=800\n", "screenw"), 0.0f);
    EXPECT_EQ(valueIn("xscreenw=800\n", "screenw"), 0.0f);
    // A tab is not a space: it stays, and the line no longer matches.
    EXPECT_EQ(valueIn("screenw\t=800\n", "screenw"), 0.0f);
    // After the "=" atof skips leading white space itself.
    EXPECT_EQ(valueIn("screenw=\t800\n", "screenw"), 800.0f);
    // "screenh=" is not confused with "screenw=".
    write("screenw=800\nscreenh=600\n");
    readSettingsLines();
    EXPECT_EQ(settingValue("screenw"), 800.0f);
    EXPECT_EQ(settingValue("screenh"), 600.0f);
}

TEST_F(SettingsFile, LastMatchingLineWins) {
    EXPECT_EQ(valueIn("viewrange=3\nusefog=1\nviewrange=8\n", "viewrange"), 8.0f);
    // A later line with no number still counts, and gives 0.
    EXPECT_EQ(valueIn("viewrange=3\nviewrange=\n", "viewrange"), 0.0f);
}

TEST_F(SettingsFile, OnlyTheFirstHundredLinesCount) {
    std::string text;
    for (int i = 0; i < 99; ++i) {
        text += "filler\n";
    }
    EXPECT_EQ(valueIn(text + "screenw=640\n", "screenw"), 640.0f); // line 100
    EXPECT_EQ(valueIn(text + "\nscreenw=640\n", "screenw"), 0.0f); // line 101
    // A later line past the hundredth cannot override an earlier one either.
    EXPECT_EQ(valueIn("screenw=320\n" + text + "screenw=640\n", "screenw"), 320.0f);
}

TEST_F(SettingsFile, LongLineKeepsItsStartAndLaterKeysSurvive) {
    // 300 characters: more than an entry holds. The following keys must
    // still be read (reading does not give up after the long line).
    std::string longLine = "usefog=1" + std::string(292, '0');
    write("screenw=640\n" + longLine + "\nscreenh=480\nviewrange=5\n");
    readSettingsLines();
    EXPECT_EQ(strlen(settingsLines[1]), 255u);
    EXPECT_EQ(std::string(settingsLines[1]), longLine.substr(0, 255));
    EXPECT_EQ(std::string(settingsLines[2]), "screenh=480");
    EXPECT_EQ(settingValue("screenw"), 640.0f);
    EXPECT_EQ(settingValue("screenh"), 480.0f);
    EXPECT_EQ(settingValue("viewrange"), 5.0f);
    // The stored start reads 1 followed by 247 zeros: beyond any float.
    EXPECT_EQ(settingValue("usefog"), HUGE_VALF);
    // A line of exactly 255 characters fits whole; the next one is intact.
    std::string exact = "screenbpp=16" + std::string(243, ' ');
    write(exact + "\nscreenw=1\n");
    readSettingsLines();
    EXPECT_EQ(settingValue("screenbpp"), 16.0f);
    EXPECT_EQ(settingValue("screenw"), 1.0f);
}

TEST_F(SettingsFile, CrLfLineEndsAndMissingFinalNewline) {
    write("screenw=800\r\nscreenh=600\r\nusefog=1\r\nfullscreen=0");
    readVideoSettings();
    readGraphicsSettings();
    EXPECT_EQ(screenWidth, 800.0f);
    EXPECT_EQ(screenHeight, 600.0f);
    EXPECT_TRUE(useFog);
    EXPECT_FALSE(fullscreen);
    EXPECT_EQ(std::string(settingsLines[0]), "screenw=800");
    EXPECT_EQ(std::string(settingsLines[3]), "fullscreen=0");
    EXPECT_EQ(std::string(settingsLines[4]), "");
}

TEST_F(SettingsFile, ValueConversions) {
    write("screenbpp=24.9\nviewrange=-2.5\nusefog=1 ;note\nfullscreen=yes\n"
          "showcursor=2\nantialiasing=0.5\nmipmapping=-1\nuselight=0.0\n"
          "usetextures=1e-30\nusewater=0x0\noptimizegeometry=\n");
    readVideoSettings();
    readGraphicsSettings();
    EXPECT_EQ(screenBpp, 24);
    EXPECT_EQ(viewRange, -2);
    EXPECT_TRUE(useFog);
    EXPECT_FALSE(fullscreen);
    EXPECT_TRUE(showCursor);
    EXPECT_TRUE(antialiasing);
    EXPECT_TRUE(mipmapping);
    EXPECT_FALSE(useLight);
    EXPECT_TRUE(useTextures); // 1e-30 is a tiny float, still not 0
    EXPECT_FALSE(useWater);
    EXPECT_FALSE(optimizeGeometry);
}

TEST_F(SettingsFile, ViewRangeIsCapped) {
    write("viewrange=100\n");
    readGraphicsSettings();
    EXPECT_EQ(viewRange, 100);
    write("viewrange=101\n");
    readGraphicsSettings();
    EXPECT_EQ(viewRange, MAX_VIEW_RANGE);
    write("viewrange=1e12\n");
    readGraphicsSettings();
    EXPECT_EQ(viewRange, MAX_VIEW_RANGE);
}

TEST(SettingConversion, IntTruncatesTowardZeroAndSaturates) {
    EXPECT_EQ(settingToInt(24.9f), 24);
    EXPECT_EQ(settingToInt(-2.5f), -2);
    EXPECT_EQ(settingToInt(-0.9f), 0);
    EXPECT_EQ(settingToInt(0.0f), 0);
    EXPECT_EQ(settingToInt(NAN), 0);
    EXPECT_EQ(settingToInt(INFINITY), INT_MAX);
    EXPECT_EQ(settingToInt(-INFINITY), INT_MIN);
    EXPECT_EQ(settingToInt(1e20f), INT_MAX);
    EXPECT_EQ(settingToInt(-1e20f), INT_MIN);
    EXPECT_EQ(settingToInt(2147483648.0f), INT_MAX);
    // The largest float below 2^31 and -2^31 itself are exact ints.
    EXPECT_EQ(settingToInt(2147483520.0f), 2147483520);
    EXPECT_EQ(settingToInt(-2147483648.0f), INT_MIN);
}

TEST(SettingConversion, BoolIsNotEqualToZero) {
    EXPECT_FALSE(settingToBool(0.0f));
    EXPECT_FALSE(settingToBool(-0.0f));
    EXPECT_TRUE(settingToBool(0.5f));
    EXPECT_TRUE(settingToBool(-1.0f));
    EXPECT_TRUE(settingToBool(2.0f));
}

TEST_F(SettingsFile, OutOfRangeNumbersBecomeInfinities) {
    EXPECT_EQ(valueIn("screenw=1e999\n", "screenw"), HUGE_VALF);
    EXPECT_EQ(valueIn("screenw=-1e60\n", "screenw"), -HUGE_VALF);
    EXPECT_TRUE(std::isnan(valueIn("screenw=nan\n", "screenw")));
    write("screenbpp=nan\nviewrange=-1e60\n");
    readVideoSettings();
    readGraphicsSettings();
    EXPECT_EQ(screenBpp, 0);
    EXPECT_EQ(viewRange, INT_MIN);
}

TEST(ShippedSettings, WindowedHdWithEveryFeatureOn) {
    char here[4096] = {};
    ASSERT_NE(getcwd(here, sizeof here), nullptr);
    ASSERT_EQ(chdir(HOLLOWMARK_SOURCE_DIR), 0);
    readVideoSettings();
    readGraphicsSettings();
    ASSERT_EQ(chdir(here), 0);
    EXPECT_EQ(screenWidth, 1280.0f);
    EXPECT_EQ(screenHeight, 720.0f);
    EXPECT_EQ(screenBpp, 0);
    EXPECT_FALSE(fullscreen);
    EXPECT_FALSE(showCursor);
    EXPECT_FALSE(antialiasing);
    EXPECT_TRUE(mipmapping);
    EXPECT_EQ(viewRange, 6);
    EXPECT_TRUE(useFog);
    EXPECT_TRUE(useLight);
    EXPECT_TRUE(useTextures);
    EXPECT_TRUE(useWater);
    EXPECT_TRUE(optimizeGeometry);
    // Every key stands on its own line.
    int keyLines = 0;
    for (const char* key : {"screenw=", "screenh=", "screenbpp=", "fullscreen=", "showcursor=",
                            "antialiasing=", "mipmapping=", "viewrange=", "usefog=", "uselight=",
                            "usetextures=", "usewater=", "optimizegeometry="}) {
        for (int i = 0; i < settingsLineCount; ++i) {
            if (strncmp(settingsLines[i], key, strlen(key)) == 0) {
                ++keyLines;
            }
        }
    }
    EXPECT_EQ(keyLines, 13);
}

} // namespace
