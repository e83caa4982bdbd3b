// test_save.cpp: the kept cave: a save and load changes nothing the game does next; every
// damaged file is refused and kept aside; a save killed at any instant or failing to write
// loses nothing; the lock keeps a second game out.
#include <errno.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/cave_keeper.h"
#include "app/save_file.h"
#include "game/save.h"
#include "game_fixture.h"

static SaveSnapshot snapshotA, snapshotB; // large: kept out of the stack

static std::vector<unsigned char> payloadOfGame() {
    std::vector<unsigned char> payload;
    return takeSnapshot(snapshotA), encodePayload(snapshotA, payload), payload;
}

// Scripted input for tick t: enemies made, balls thrown, a block placed, then the rope held
// while walking, with the pointer and keys moving throughout.
static void scriptInput(int t) {
    memset(keyState, 0, sizeof keyState);
    memset(mouseButtonState, 0, sizeof mouseButtonState);
    keyState[KEY_W] = t >= 5 && t < 60 ? Held : Up;
    keyState[KEY_D] = t % 7 < 3 ? Held : Up;
    mouseX = 512 + (t % 11) * 9 - 45;
    mouseY = t < 25 ? 384 + t % 5 : 150;
    for (int click : {2, 5, 11, 14, 17, 21})
        mouseButtonState[MOUSE_LEFT] = t == click ? Pressed : mouseButtonState[MOUSE_LEFT];
    const int modes[] = {ActionSpawnEnemy, ActionShootBall, ActionSpawnBlock, ActionSwing};
    actionType = modes[t < 20 ? t / 10 : t < 25 ? 2 : 3];
    mouseButtonState[MOUSE_RIGHT] = t == 8 ? Pressed : Up; // the trailing camera, against walls
    if (t >= 26)
        mouseButtonState[MOUSE_LEFT] = t == 26 ? Pressed : Held;
}

static void play(int from, int to) {
    for (int t = from; t < to; ++t) {
        scriptInput(t);
        step(0.6f + 0.2f * (float)(t % 4));
    }
}

TEST(SaveRoundTrip, ALoadedGamePlaysOnBitForBit) {
    optimizeGeometry = useLight = false;
    cameraCollision = true;
    freshWorld(TEST_SEED, true);
    fillBlocks(20, 22, 14, 15, 20, 21); // unsupported: they fall
    settleReady = true;
    const int saveAt = 40, count = 90;
    play(0, saveAt);
    // The moment saved holds everything the round trip must carry.
    ASSERT_TRUE(figureCount > 0 && ballCount > 0 && player.swinging && countCells(fallingBlocks));
    std::vector<unsigned char> file;
    ASSERT_TRUE((takeSnapshot(snapshotB), encodeSave(snapshotB, file)));
    play(saveAt, saveAt + count);
    const std::vector<unsigned char> expected = payloadOfGame();

    freshWorld(TEST_SEED + 1, true); // another cave, bodies and clocks under the load
    char why[160] = "";
    ASSERT_TRUE(decodeSave(file.data(), file.size(), snapshotB, why, sizeof why)) << why;
    applySnapshot(snapshotB);
    play(saveAt, saveAt + count);
    EXPECT_TRUE(payloadOfGame() == expected);
    cameraCollision = false;
    resetGameState();
}

static std::vector<unsigned char> goodFile; // a small cave with a little of everything

static const std::vector<unsigned char>& sampleFile() {
    if (goodFile.empty()) {
        optimizeGeometry = useLight = false;
        freshWorld(TEST_SEED, false);
        spawnFigure(20, 10, 20);
        spawnBall(21, 11, 22, 0.1f, 0.2f, 0.3f);
        takeSnapshot(snapshotA);
        encodeSave(snapshotA, goodFile);
        resetGameState();
    }
    return goodFile;
}

// The payload of the sample with one field changed, found as the first byte at which the
// payload differs from the sample's when the field has another value.
static std::vector<unsigned char> payloadWith(void (*change)(SaveSnapshot&), unsigned int value) {
    char why[160] = "";
    decodeSave(sampleFile().data(), sampleFile().size(), snapshotA, why, sizeof why);
    std::vector<unsigned char> plain, changed;
    encodePayload(snapshotA, plain);
    snapshotB = snapshotA;
    change(snapshotB);
    encodePayload(snapshotB, changed);
    size_t at = 0;
    while (at < plain.size() && plain[at] == changed[at])
        ++at;
    for (int i = 0; i < 4 && at + i < plain.size(); ++i)
        plain[at + i] = (unsigned char)(value >> (8 * i));
    return plain;
}

static std::vector<unsigned char> framed(const std::vector<unsigned char>& payload, int version) {
    std::vector<unsigned char> file;
    return packSave(payload, version, file), file;
}

static std::vector<std::vector<unsigned char>> damagedFiles() {
    const std::vector<unsigned char>& good = sampleFile();
    std::vector<std::vector<unsigned char>> bad;
    for (size_t n = 0; n < good.size(); n += 1 + n / 3)
        bad.push_back(std::vector<unsigned char>(good.begin(), good.begin() + n));
    // A bit flipped in the magic, each header number, the packed data's start, middle and end.
    const size_t places[] = {0, 7, 8, 12, 13, 16, 19, 20, 23, 24, good.size() / 2, good.size() - 1};
    for (size_t at : places) {
        bad.push_back(good);
        bad.back()[at] ^= (unsigned char)(1u << (at % 8));
    }
    bad.push_back(good);
    bad.back().push_back(0); // longer than its header says
    bad.push_back(std::vector<unsigned char>(good.size(), 'x'));
    std::vector<unsigned char> payload;
    encodePayload(snapshotA, payload);
    bad.push_back(framed(payload, SAVE_FORMAT_VERSION + 1));
    bad.push_back(framed(payload, 0));
    payload.push_back(0);
    bad.push_back(framed(payload, SAVE_FORMAT_VERSION));
    payload.resize(payload.size() - 2);
    bad.push_back(framed(payload, SAVE_FORMAT_VERSION));
    // Absurd values: counts beyond the tables, an action that does not exist, a cell, a flag
    // and a number (NaN) no game writes.
    struct Absurd {
        void (*change)(SaveSnapshot&);
        unsigned int value;
    } absurd[] = {
        {[](SaveSnapshot& s) { s.figureCount = 0; }, MAX_FIGURES + 1},
        {[](SaveSnapshot& s) { s.figureCount = 0; }, 0xFFFFFFFFu},
        {[](SaveSnapshot& s) { s.ballCount = 0; }, MAX_BALLS + 1},
        {[](SaveSnapshot& s) { s.ballCount = 0; }, 0x7FFFFFFFu},
        {[](SaveSnapshot& s) { s.actionType = 3; }, ACTION_TYPE_COUNT},
        {[](SaveSnapshot& s) { s.blocks[0][0][0] ^= 1; }, 0x02020202u},
        {[](SaveSnapshot& s) { s.slowMotion = !s.slowMotion; }, 0x02u},
        {[](SaveSnapshot& s) { s.viewBlend = 1.0000001f; }, 0x7FC00000u},
    };
    for (const Absurd& a : absurd)
        bad.push_back(framed(payloadWith(a.change, a.value), SAVE_FORMAT_VERSION));
    return bad;
}

// A folder of its own per test, removed with everything in it afterwards.
struct SaveFolder {
    std::string path = std::filesystem::temp_directory_path() / "hollowmark-save-XXXXXX";
    SaveFolder() { mkdtemp(&path[0]); }
    ~SaveFolder() { std::filesystem::remove_all(path); }
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& entry : std::filesystem::directory_iterator(path))
            out.push_back(entry.path().filename());
        std::sort(out.begin(), out.end());
        return out;
    }
    void put(const char* name, const std::vector<unsigned char>& b) const {
        std::ofstream(path + "/" + name, std::ios::binary).write((const char*)b.data(), b.size());
    }
    std::vector<unsigned char> get(const char* name) const {
        std::ifstream in(path + "/" + name, std::ios::binary);
        return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
    }
};

// Every damaged file is refused with a reason; some of each kind, put in a folder as cave.sav,
// are set aside under the first free number with one line, and the backup taken when there is one.
TEST(SaveFile, EveryDamagedFileIsRefusedAndKeptAside) {
    const std::vector<std::vector<unsigned char>> bad = damagedFiles();
    for (size_t i = 0; i < bad.size(); ++i) {
        char why[160] = "";
        EXPECT_FALSE(decodeSave(bad[i].data(), bad[i].size(), snapshotB, why, 160)) << i;
        EXPECT_NE(why[0], '\0') << i;
        const bool backup = i % 2 == 0;
        if (i % 5 != 0)
            continue; // a sample of each kind goes through the folder as well
        SaveFolder folder;
        folder.put("cave-bad-1.sav", {1, 2, 3}); // taken: the next number is used
        folder.put("cave.sav", bad[i]);
        if (backup)
            folder.put("cave.bak", sampleFile());
        testing::internal::CaptureStderr();
        EXPECT_EQ(loadSaveFolder(folder.path.c_str(), snapshotB), backup) << i;
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
        EXPECT_NE(err.find("cave-bad-2.sav"), std::string::npos) << err;
        EXPECT_TRUE(folder.get("cave-bad-2.sav") == bad[i]) << i;
        EXPECT_EQ(folder.names().size(), backup ? 3u : 2u) << i;
    }
}

// A disk that fills up: every third write fails, the others take at most 100 bytes.
static ssize_t diskFull(int, const void*, size_t size) {
    static int calls = 0;
    errno = ++calls % 3 == 0 ? ENOSPC : 0;
    return errno ? -1 : (ssize_t)(size < 100 ? size : 100);
}

TEST(SaveFile, SavesKeepTheOneBeforeAndFailedWritesLoseNothing) {
    SaveFolder folder;
    const char* dir = folder.path.c_str();
    std::vector<unsigned char> first = sampleFile(), second = first;
    second[second.size() / 2] ^= 1; // any other bytes do
    char why[256] = "";
    ASSERT_TRUE(writeSaveFile(dir, first, why, sizeof why)) << why;
    ASSERT_TRUE(writeSaveFile(dir, second, why, sizeof why)) << why;
    EXPECT_TRUE(folder.get("cave.sav") == second && folder.get("cave.bak") == first);
    saveWriteHook = diskFull;
    EXPECT_FALSE(writeSaveFile(dir, first, why, sizeof why));
    saveWriteHook = write;
    EXPECT_NE(strstr(why, strerror(ENOSPC)), nullptr) << why; // and nothing lost:
    EXPECT_TRUE(folder.get("cave.sav") == second && folder.get("cave.bak") == first);
    EXPECT_EQ(folder.names(), (std::vector<std::string>{"cave.bak", "cave.sav"}));
    const std::string gone = folder.path + "/gone";
    EXPECT_FALSE(writeSaveFile(gone.c_str(), first, why, sizeof why));
    EXPECT_NE(strstr(why, "gone"), nullptr) << why;
    ASSERT_TRUE(writeSaveFile(dir, first, why, sizeof why)) << why; // the next one tries again
    EXPECT_TRUE(folder.get("cave.sav") == first);
}

// A child saves back to back and is killed at arbitrary moments; each time what is left loads
// and is the cave written.
TEST(SaveFile, AGameKilledWhileSavingLeavesASaveThatLoads) {
    SaveFolder folder;
    const char* dir = folder.path.c_str();
    char why[256] = "";
    ASSERT_TRUE(writeSaveFile(dir, sampleFile(), why, sizeof why));
    ASSERT_TRUE(decodeSave(sampleFile().data(), sampleFile().size(), snapshotA, why, 160));
    Rng rng(77);
    for (int round = 0; round < 25; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0); // never kill(-1)
        if (child == 0) {
            std::vector<unsigned char> bytes;
            for (int i = 1;; ++i) {
                snapshotA.worldSeed = i;
                encodeSave(snapshotA, bytes);
                writeSaveFile(dir, bytes, why, sizeof why);
            }
        }
        usleep((useconds_t)(2000 + rng.below(30000)));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        testing::internal::CaptureStderr();
        EXPECT_TRUE(loadSaveFolder(dir, snapshotB)) << "round " << round;
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        EXPECT_TRUE(!memcmp(snapshotB.blocks, snapshotA.blocks, sizeof blocks) &&
                    snapshotB.ballCount == 1);
    }
}

TEST(SaveFile, ASecondGameFindsTheFolderLocked) {
    SaveFolder folder;
    const int first = lockSaveFolder(folder.path.c_str());
    EXPECT_TRUE(first >= 0 && lockSaveFolder(folder.path.c_str()) == -1) << first;
    close(first);
    const int again = lockSaveFolder(folder.path.c_str()); // free again once the first has gone
    EXPECT_GE(again, 0), close(again);
    EXPECT_EQ(lockSaveFolder((folder.path + "/gone").c_str()), -2);
}

// Saves come after "autosave" seconds of running play; paused time does not count.
TEST(CaveKeeper, AutosavesCountOnlyRunningTime) {
    SaveFolder folder;
    caveFolder = folder.path.c_str(), caveKept = true, autosaveSeconds = 2;
    const unsigned int ticks[] = {1000, 2600, 3999, 4500, 5101, 6000, 7101};
    const bool paused[] = {false, true, false, true, false, false, false};
    const size_t files[] = {0, 0, 0, 0, 1, 1, 2}; // once any save has ended: cave.sav, cave.bak
    for (int i = 0; i < 7; ++i) {
        keepCaveAfterFrame(ticks[i], paused[i]);
        finishKeepingCave(false);
        EXPECT_EQ(folder.names().size(), files[i]) << ticks[i];
    }
    caveKept = false, caveFolder = ".";
}

TEST(CaveKeeper, ANewCaveNeverRepeatsTheOneItReplaces) {
    // setting, clock, current seed, the new seed; a seed chosen in the settings is kept
    const long long cases[][4] = {
        {0, 1000, 5, 1000}, {0, 1000, 1000, 1001}, {0, 0xFFFFFFFFLL, -1, 1}, {42, 1000, 42, 42}};
    for (const auto& c : cases)
        EXPECT_EQ(newCaveSeed((unsigned int)c[0], c[1], (unsigned int)c[2]), (unsigned int)c[3])
            << c[1];
}
