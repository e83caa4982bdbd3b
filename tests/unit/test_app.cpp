// test_app.cpp: the shell's pure parts: reading settings.ini, the window
// sizes SDL may be asked for, frame pacing and the input tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "app/frame.h"
#include "app/input.h"
#include "app/pointer_grab.h"
#include "app/settings.h"
#include "app/whole_file.h"
#include "app/window_size.h"
#include "world/generate.h"
#include "world/world.h"

namespace {

// Each test runs in an empty folder of its own, holding the settings.ini the test wrote, or none.
class SettingsFile : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(mkdtemp(&folder[0]), nullptr);
        ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
        ASSERT_EQ(chdir(folder.c_str()), 0);
    }
    void TearDown() override {
        EXPECT_EQ(chdir(previous), 0);
        std::filesystem::remove_all(folder); // with what a test left in it
    }
    // Writes the file and reads it as start-up does; returns the warnings given, one a line.
    static long write(const std::string& text) {
        std::ofstream("settings.ini", std::ios::binary) << text; // binary: "\r\n" stays CR LF
        testing::internal::CaptureStderr();
        readVideoSettings();
        readGraphicsSettings();
        const std::string said = testing::internal::GetCapturedStderr();
        return std::count(said.begin(), said.end(), '\n');
    }
    std::string folder = "/tmp/hollowmark-settings-XXXXXX";
    char previous[4096] = {};
};

// Every key read from a file: its text, its variable, the value the line gives and the value a file
// without it gives (an earlier read never survives).
TEST_F(SettingsFile, EveryKeyReachesItsVariable) {
    const struct {
        const char* line;
        double (*read)();
        double value, missing;
    } keys[] = {{"screenw=1280", [] { return (double)screenWidth; }, 1280, 0},
                {"screenh=720", [] { return (double)screenHeight; }, 720, 0},
                {"screenbpp=24.9", [] { return (double)screenBpp; }, 24, 0},
                {"fullscreen=1", [] { return (double)fullscreen; }, 1, 0},
                {"showcursor=2", [] { return (double)showCursor; }, 1, 0},
                {"antialiasing=0.5", [] { return (double)antialiasing; }, 1, 0},
                {"mipmapping=-1", [] { return (double)mipmapping; }, 1, 0},
                {"viewrange=-2.5", [] { return (double)viewRange; }, -2, 0},
                {"usefog=1 ;note", [] { return (double)useFog; }, 1, 0},
                {"uselight=1e-30", [] { return (double)useLight; }, 1, 0},
                {"usetextures=1", [] { return (double)useTextures; }, 1, 0},
                {"usewater=1", [] { return (double)useWater; }, 1, 0},
                {"optimizegeometry=1", [] { return (double)optimizeGeometry; }, 1, 0},
                {"cameracollision=1", [] { return (double)cameraCollision; }, 1, 0},
                {"tintfigures=1", [] { return (double)tintFigures; }, 1, 0},
                {"recenterpointer=1", [] { return (double)recenterPointer; }, 1, 0},
                {"plainlabels=1", [] { return (double)plainLabels; }, 1, 0},
                {"screenshotkey=1", [] { return (double)screenshotKey; }, 1, 0},
                {"seed=4000000003", [] { return (double)seedSetting; }, 4000000003.0, 0},
                {"sound=1", [] { return (double)soundOn; }, 1, 0},
                {"soundvolume=37", [] { return (double)soundVolume; }, 37, 80},
                {"mouselook=1", [] { return (double)mouseLook; }, 1, 0},
                {"mousesensitivity=2.5", [] { return (double)mouseSensitivity; }, 2.5, 1},
                {"invertmouse=1", [] { return (double)invertMouse; }, 1, 0},
                {"fov=75", [] { return (double)sceneFov; }, 75, 50},
                {"pauseonfocusloss=1", [] { return (double)pauseOnFocusLoss; }, 1, 0}};
    std::string all;
    for (const auto& k : keys)
        all += std::string(k.line) + "\n";
    write(all);
    EXPECT_EQ(settingsLineCount, 100);
    EXPECT_EQ(aspectRatio, 1280.0f / 720.0f);
    for (const auto& k : keys)
        EXPECT_EQ(k.read(), k.value) << k.line;
    write("fullscreen=yes\nusewater=0x0\noptimizegeometry=\n");
    for (const auto& k : keys)
        EXPECT_EQ(k.read(), k.missing) << k.line;
    write("viewrange=101\nscreenbpp=nan\n");
    EXPECT_EQ(viewRange, MAX_VIEW_RANGE);
    EXPECT_EQ(screenBpp, 0);
    // Just beyond what an int holds is reported like any other unusable number.
    EXPECT_EQ(write("screenbpp=2200000000\n"), 1);
    EXPECT_EQ(screenBpp, INT_MAX);
}

// The floor and ceiling grids start-up generates from the seed setting at the clock.
std::vector<float> caveFrom(unsigned setting, long long clockSeconds) {
    worldSeed = chooseWorldSeed(setting, clockSeconds);
    srand(worldSeed);
    useWater = false;
    generateWorld();
    std::vector<float> grids(&floorHeight[0][0], &floorHeight[0][0] + 2500);
    grids.insert(grids.end(), &ceilingHeight[0][0], &ceilingHeight[0][0] + 2500);
    return grids;
}

// The file's seed picks the cave whatever the clock, and the seed shown, typed back in, gives the
// same cave, a clock beyond 2^31 included; values no unsigned 32-bit number holds give one warning
// and the nearest one.
TEST_F(SettingsFile, TheSeedPicksTheCave) {
    EXPECT_EQ(caveFrom(42, 1000), caveFrom(42, 2000));
    EXPECT_NE(caveFrom(42, 1000), caveFrom(43, 1000));
    EXPECT_NE(caveFrom(0, 1000), caveFrom(0, 1001)) << "no seed: a new cave each second";
    const std::vector<float> cave = caveFrom(0, 4000000003LL);
    EXPECT_EQ(write("seed=" + std::to_string(worldSeed) + "\n"), 0);
    EXPECT_TRUE(seedSetting == 4000000003u && caveFrom(seedSetting, 5) == cave);
    const struct {
        std::string line;
        unsigned seed;
        int warnings;
    } cases[] = {{"seed=4294967295", UINT_MAX, 0},
                 {"seed=4294967296", UINT_MAX, 1},
                 {"seed=nan", 0, 1},
                 {"seed = 123456789 ;mine", 123456789, 0},
                 {"seed=-1", 0, 1},
                 {"seed=12.7", 12, 1}};
    for (const auto& c : cases) {
        EXPECT_EQ(write(c.line + "\n"), c.warnings) << c.line;
        EXPECT_EQ(seedSetting, c.seed) << c.line;
    }
}

TEST_F(SettingsFile, KeptHostileInputsAndOnlyPlainFilesReadWithinTheRules) {
    const std::string kept =
        std::string(HOLLOWMARK_SOURCE_DIR) + "/tests/fuzz_regressions/settings/";
    int names = 0;
    for (const auto& entry : std::filesystem::directory_iterator(kept)) {
        const std::string name = entry.path().filename().string();
        names++;
        readSettingsLinesFrom((kept + name).c_str());
        ASSERT_EQ(settingsLineCount, SETTINGS_MAX_LINES) << name;
        for (int i = 0; i < SETTINGS_MAX_LINES; i++) {
            size_t length = strnlen(settingsLines[i], SETTINGS_LINE_SIZE);
            ASSERT_LT(length, (size_t)SETTINGS_LINE_SIZE) << name;
            EXPECT_EQ(memchr(settingsLines[i], ' ', length), nullptr) << name << " line " << i;
        }
    }
    EXPECT_GE(names, 4);
    readSettingsLinesFrom((kept + "nul_and_cr.ini").c_str()); // a zero byte ends a line's text
    EXPECT_TRUE(settingValue("screenw") == 640.0f && settingValue("screenh") == 480.0f &&
                settingValue("viewrange") == 0.0f);
    // A device that never ends, a folder, a pipe nobody writes to: no lines, as no file at all.
    ASSERT_EQ(mkfifo("settings.ini", 0600), 0);
    testing::internal::CaptureStderr();
    for (const std::string& path :
         {std::string("/dev/zero"), folder, std::string("settings.ini"), std::string("none")}) {
        settingsLineCount = 7;
        readSettingsLinesFrom(path.c_str());
        EXPECT_EQ(settingsLineCount, 0) << path;
    }
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_LE(std::count(said.begin(), said.end(), '\n'), 1) << said; // one warning a run at most
}

// Window sides, as every whole-number setting, truncate toward zero and saturate.
TEST_F(SettingsFile, WindowSidesTruncateZeroMeansTheDesktopsAndADisplayIsNeeded) {
    const struct {
        float setting;
        int side;
        bool allowed;
    } sides[] = {{800.0f, 800, true},      {799.9f, 799, true},        {0.5f, 0, true},
                 {0.0f, 0, true},          {16384.0f, 16384, true},    {16384.9f, 16384, true},
                 {16385.0f, 16385, false}, {-0.5f, 0, true},           {-1.0f, -1, false},
                 {NAN, 0, true},           {INFINITY, INT_MAX, false}, {-1e30f, INT_MIN, false}};
    for (const auto& s : sides) {
        EXPECT_EQ(windowSide(s.setting), s.side) << s.setting;
        EXPECT_EQ(windowSizeAllowed(s.side, 600) && windowSizeAllowed(600, s.side), s.allowed);
    }
    EXPECT_TRUE(windowSide(2147483648.0f) == INT_MAX && windowSide(2147483520.0f) == 2147483520 &&
                windowSide(-2147483648.0f) == INT_MIN); // the ends of what an int holds
    // Only an exact 0 runs the desktop probe; 0.5 goes to SDL as 0 directly.
    write("screenw=0.5\nscreenh=300\n");
    EXPECT_FALSE(needsDesktopProbe(screenWidth, screenHeight));
    EXPECT_TRUE(windowSizeAllowed(windowSide(screenWidth), windowSide(screenHeight)));
    EXPECT_TRUE(needsDesktopProbe(700.0f, 0.0f) && needsDesktopProbe(0.0f, 500.0f));
    EXPECT_FALSE(needsDesktopProbe(NAN, 600.0f));
    // SDL starts only with an X display or a video driver asked for by name; empty is unset.
    EXPECT_FALSE(displayAvailable(nullptr, nullptr) || displayAvailable("", "") ||
                 displayAvailable("", nullptr) || displayAvailable(nullptr, ""));
    EXPECT_TRUE(displayAvailable(":0", nullptr) && displayAvailable(nullptr, "dummy") &&
                displayAvailable("", "x11") && displayAvailable(":99", ""));
}

TEST(FrameClock, PacesToSixteenMillisAndMeasuresTheFrame) {
    const unsigned frames[][5] = {
        // clock, now, sleep, frame millis, clock after
        {1000, 1005, 11, 16, 1016}, // short frame: sleeps the rest
        {1016, 1039, 0, 23, 1039},  // an oversleep shows up in the next frame
        {2040, 2056, 0, 16, 2056},
        {2072, 2072, 16, 16, 2088},
        {0, 700, 0, 700, 700}, // the first frame includes the start-up
        {0xFFFFFFF0u, 0x10, 0, 32, 0x10},
        {0xFFFFFFFCu, 1, 11, 16, 0xC}, // across the wrap
        {1016, 1015, 17, 16, 1032},    // an early wake-up sleeps the missing millisecond
        {1016, 1000, 32, 16, 1032},
        {100000, 50, 16, 16, 66}}; // counter restarted
    for (const auto& f : frames) {
        frameClock = f[0];
        EXPECT_EQ(advanceFrameClock(f[1]), (int)f[2]) << f[0] << " " << f[1];
        EXPECT_TRUE(frameMillis == (int)f[3] && frameClock == f[4]) << f[0] << " " << f[1];
        EXPECT_EQ(framesPerSecond, 1000.0f / (float)f[3]);
    }
    const float factors[][2] = {{62.5f, 0.96f}, {60, 1},  {40, 1.5f},  {30, 2},   {25, 2},
                                {0, 2},         {NAN, 2}, {300, 0.2f}, {-5, 0.2f}};
    for (const auto& f : factors)
        EXPECT_FLOAT_EQ(timeFactorFor(f[0]), f[1]) << f[0];
}

// One poll in pollInput's order: promote, all downs, all ups; keys first.
void poll(std::initializer_list<int> keysDown, std::initializer_list<int> keysUp,
          std::initializer_list<int> buttonsDown = {}, std::initializer_list<int> buttonsUp = {}) {
    promotePressedKeys();
    for (int code : keysDown)
        applyKeyDown(code);
    for (int code : keysUp)
        applyKeyUp(code);
    promotePressedButtons();
    for (int b : buttonsDown)
        applyButtonDown(b);
    for (int b : buttonsUp)
        applyButtonUp(b);
}

TEST(InputState, PressedForOneFrameHeldUntilReleasedUnseenWithinAFrame) {
    memset(keyState, 0, sizeof keyState);
    memset(mouseButtonState, 0, sizeof mouseButtonState);
    poll({KEY_W}, {}, {MOUSE_LEFT, MOUSE_RIGHT});
    EXPECT_EQ(keyState[KEY_W] * 10 + mouseButtonState[MOUSE_LEFT], Pressed * 11);
    poll({}, {}, {}, {MOUSE_RIGHT});
    EXPECT_EQ(keyState[KEY_W] * 100 + mouseButtonState[MOUSE_LEFT] * 10 +
                  mouseButtonState[MOUSE_RIGHT],
              Held * 110 + Up);
    poll({KEY_ESCAPE, KEY_SPACE}, {KEY_ESCAPE, KEY_W}, {4}, {4}); // down and up: never seen
    EXPECT_EQ(keyState[KEY_W] + keyState[KEY_ESCAPE] + mouseButtonState[4], Up);
    poll({KEY_SPACE}, {KEY_SPACE}); // released and pressed again: still Up
    EXPECT_EQ(keyState[KEY_SPACE], Up);
    poll({MOUSE_LEFT}, {}); // key events leave the buttons alone
    EXPECT_EQ(mouseButtonState[MOUSE_LEFT], Held);
    // Codes beyond the tables are dropped; button 0 is never written.
    memset(keyState, 0, sizeof keyState);
    memset(mouseButtonState, 0, sizeof mouseButtonState);
    poll({-1, KEY_STATE_COUNT, 1 << 30}, {}, {0, -3, MOUSE_BUTTON_COUNT}, {});
    EXPECT_EQ(std::count(keyState, std::end(keyState), Up) +
                  std::count(mouseButtonState, std::end(mouseButtonState), Up),
              KEY_STATE_COUNT + MOUSE_BUTTON_COUNT);
    mouseButtonState[0] = Held;
    applyButtonUp(0);
    EXPECT_EQ(mouseButtonState[0], Held);
    poll({KEY_STATE_COUNT - 1}, {}, {MOUSE_BUTTON_COUNT - 1}, {});
    EXPECT_EQ(keyState[KEY_STATE_COUNT - 1] + mouseButtonState[MOUSE_BUTTON_COUNT - 1],
              2 * Pressed);
    mouseButtonState[0] = Up;
}

// "fov" and "mousesensitivity": 0 or missing the plain values, beyond their limits the nearest one
// with a warning each (the frustum at any of these angles: Frustum.PlanesBoundTheClipVolume...).
TEST_F(SettingsFile, ControlKeysKeepTheirLimits) {
    const struct {
        const char* text;
        float fov, sensitivity;
        int warnings;
    } cases[] = {{"fov=0\nmousesensitivity=0", 50, 1, 0},
                 {"fov=10", 30, 1, 1},
                 {"fov=1e9\nmousesensitivity=1e9", 120, 100, 2},
                 {"fov=nan", 50, 1, 1},
                 {"fov=-40\nmousesensitivity=-3", 30, 0.01f, 2}};
    for (const auto& c : cases) {
        EXPECT_EQ(write(std::string(c.text) + "\n"), c.warnings) << c.text;
        EXPECT_TRUE(sceneFov == c.fov && mouseSensitivity == c.sensitivity) << c.text;
    }
    write("\n");
}

// Held exactly while playing with mouse look and the focus; a change drops the motion gathered and
// that of the poll after it; a lost focus lets go without warping and, with the key, pauses as
// Escape would, never undoing a pause.
TEST(PointerGrab, HeldWhilePlayingWithTheFocusAndLostFocusPauses) {
    for (int bits = 0; bits < 16; ++bits) {
        mouseLook = bits & 1, beginPointerPoll(bits & 4), updatePointerGrab(bits & 2);
        EXPECT_EQ(pointerGrabbed, bits % 8 == 7) << bits;
    }
    updatePointerGrab(false), beginPointerPoll(true);
    EXPECT_EQ(updatePointerGrab(true), GrabTake);
    addPointerMotion(5, 5), beginPointerPoll(true), addPointerMotion(7, 7), beginPointerPoll(true);
    addPointerMotion(3, -4), addPointerMotion(1, 1);
    int dx = 0, dy = 0;
    takePointerMotion(dx, dy);
    EXPECT_TRUE(dx == 4 && dy == -3) << dx << " " << dy;
    addPointerMotion(9, 9);
    EXPECT_EQ(updatePointerGrab(false), GrabReleaseAtCentre);
    beginPointerPoll(true), beginPointerPoll(true), addPointerMotion(2, 2),
        takePointerMotion(dx, dy);
    EXPECT_TRUE(dx == 0 && dy == 0) << dx << " " << dy;
    EXPECT_EQ(updatePointerGrab(true), GrabTake);
    beginPointerPoll(false);
    EXPECT_EQ(updatePointerGrab(true), GrabRelease);
    // The key, a lost focus, Escape and a pause requested, then whether the pause toggles.
    for (const char* p : {"11001", "11110", "01000", "10111", "10000"}) {
        pauseOnFocusLoss = p[0] == '1';
        beginPointerPoll(true), beginPointerPoll(p[1] == '0');
        EXPECT_EQ(pauseToggled(p[2] == '1', p[3] == '1'), p[4] == '1') << p;
    }
    mouseLook = pauseOnFocusLoss = false;
    beginPointerPoll(true), updatePointerGrab(false);
}

} // namespace

// Saves and recordings are read only from plain files (a pipe would wait, /dev/zero never ends)
// within their size. Each case: the path, the most bytes taken, the outcome, a word of the reason.
TEST_F(SettingsFile, GivenFilesAreReadWholeOnlyFromPlainFilesWithinTheirSize) {
    std::ofstream("five", std::ios::binary) << "12345";
    ASSERT_EQ(mkfifo("pipe", 0600), 0);
    for (const char* c : {"five 5 0 -", "five 4 2 larger", "none 5 1 -", "pipe 5 2 plain",
                          "/dev/zero 5 2 plain", ". 5 2 plain"}) {
        char path[16] = "", word[16] = "", why[80] = "-";
        int most = 0, outcome = 0;
        std::vector<unsigned char> bytes(3, 'x');
        sscanf(c, "%15s %d %d %15s", path, &most, &outcome, word);
        EXPECT_EQ(readWholeFile(path, (size_t)most, bytes, why, sizeof why), outcome) << c;
        EXPECT_NE(strstr(why, word), nullptr) << c << ": " << why;
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()), outcome ? "" : "12345") << c;
    }
}
