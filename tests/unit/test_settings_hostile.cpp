// test_settings_hostile.cpp: settings files no person would write, replayed
// from tests/fuzz_regressions/settings/ (where inputs the fuzzer ever found
// are kept), plus the values the reading rules give for the known ones.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "tests/regression_files.h"

#include "app/settings.h"

namespace {

const std::string FOLDER = std::string(HOLLOWMARK_SOURCE_DIR) + "/tests/fuzz_regressions/settings/";

std::vector<std::string> regressionFiles() { return listRegressionFiles(FOLDER); }

void readBoth(const std::string& name) {
    readSettingsLinesFrom((FOLDER + name).c_str());
}

TEST(HostileSettings, EveryKeptInputReadsWithinTheRules) {
    std::vector<std::string> names = regressionFiles();
    ASSERT_GE(names.size(), 4u) << "regression inputs missing from " << FOLDER;
    for (const std::string& name : names) {
        readBoth(name);
        ASSERT_EQ(settingsLineCount, SETTINGS_MAX_LINES) << name;
        for (int i = 0; i < SETTINGS_MAX_LINES; i++) {
            size_t length = strnlen(settingsLines[i], SETTINGS_LINE_SIZE);
            ASSERT_LT(length, (size_t)SETTINGS_LINE_SIZE) << name << " line " << i;
            EXPECT_EQ(memchr(settingsLines[i], ' ', length), nullptr) << name << " line " << i;
        }
    }
    // Both start-up passes, as the game makes them, in a folder of its own.
    char folder[] = "/tmp/hollowmark-hostile-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    char here[4096] = {};
    ASSERT_NE(getcwd(here, sizeof here), nullptr);
    ASSERT_EQ(chdir(folder), 0);
    for (const std::string& name : names) {
        std::string command = "cp '" + FOLDER + name + "' settings.ini";
        ASSERT_EQ(system(command.c_str()), 0);
        readVideoSettings();
        readGraphicsSettings();
        EXPECT_LE(viewRange, MAX_VIEW_RANGE) << name;
    }
    remove("settings.ini");
    EXPECT_EQ(chdir(here), 0);
    rmdir(folder);
}

TEST(HostileSettings, KnownInputsGiveTheValuesTheRulesSay) {
    // A zero byte ends a line's text; a carriage return before the line end
    // is dropped, one at the start of a value is white space to the number.
    readBoth("nul_and_cr.ini");
    EXPECT_EQ(settingValue("screenw"), 640.0f);
    EXPECT_EQ(settingValue("screenh"), 480.0f);
    EXPECT_EQ(settingValue("viewrange"), 0.0f);

    // Beyond the float range: infinities of their sign; ints saturate; a
    // view range of any size is capped; NaN is "not 0", so a flag is on.
    readBoth("overflowing_values.ini");
    EXPECT_EQ(settingValue("screenw"), HUGE_VALF);
    EXPECT_EQ(settingValue("screenh"), -HUGE_VALF);
    EXPECT_EQ(settingToInt(settingValue("screenbpp")), 2147483647);
    EXPECT_TRUE(std::isnan(settingValue("usefog")));
    EXPECT_TRUE(settingToBool(settingValue("usefog")));
    EXPECT_EQ(settingToInt(settingValue("usefog")), 0);

    readBoth("long_line.ini"); // 5000 characters, then a key
    EXPECT_EQ(settingValue("viewrange"), 3.0f);
    readBoth("no_line_feed.ini");
    EXPECT_EQ(settingValue("viewrange"), 4.0f);
}

TEST(HostileSettings, OnlyPlainFilesAreRead) {
    // A device that never ends, a folder and a named pipe nobody writes to
    // (opening it the ordinary way would wait for ever): no file.
    char folder[] = "/tmp/hollowmark-kinds-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    std::string pipe = std::string(folder) + "/settings.ini";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    for (const char* path : {"/dev/zero", (const char*)folder, pipe.c_str()}) {
        settingsLineCount = 7;
        readSettingsLinesFrom(path);
        EXPECT_EQ(settingsLineCount, 0) << path;
        EXPECT_EQ(settingValue("screenw"), 0.0f) << path;
    }
    remove(pipe.c_str());
    rmdir(folder);
}

TEST(HostileSettings, ReadingStopsAfterOneMebibyte) {
    // A first line of two mebibytes: the key after it lies beyond the budget;
    // one just inside the budget is still read.
    char path[] = "/tmp/hollowmark-big-settings-XXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    FILE* file = fdopen(fd, "wb");
    std::string head = "screenw=640\n";
    std::string filler(SETTINGS_MAX_BYTES - head.size() - 14, 'x');
    std::string text = head + filler + "\nscreenh=480\n" + std::string(SETTINGS_MAX_BYTES, 'y') +
                       "\nviewrange=5\n";
    ASSERT_EQ(head.size() + filler.size() + 13, (size_t)SETTINGS_MAX_BYTES - 1);
    fwrite(text.data(), 1, text.size(), file);
    fclose(file);
    readSettingsLinesFrom(path);
    EXPECT_EQ(settingValue("screenw"), 640.0f);
    EXPECT_EQ(settingValue("screenh"), 480.0f);
    EXPECT_EQ(settingValue("viewrange"), 0.0f);
    remove(path);
}

} // namespace
