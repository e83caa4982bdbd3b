// test_save.cpp: the kept cave: a save and load changes nothing the game does next; every
// damaged file is refused and kept aside; a save killed at any instant or failing to write
// loses nothing; the lock keeps a second game out.
#include <dirent.h>
#include <errno.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/cave_keeper.h"
#include "app/save_file.h"
#include "game/save.h"
#include "game_fixture.h"

static SaveSnapshot snapshotA, snapshotB; // large: kept out of the stack

static std::vector<unsigned char> payloadOfGame() {
    std::vector<unsigned char> payload;
    takeSnapshot(snapshotA);
    encodePayload(snapshotA, payload);
    return payload;
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
    const int clicks[] = {2, 5, 11, 14, 17, 21};
    for (int c : clicks)
        if (t == c)
            mouseButtonState[MOUSE_LEFT] = Pressed;
    actionType = t < 10 ? ActionSpawnEnemy : t < 20 ? ActionShootBall
                                       : t < 25 ? ActionSpawnBlock : ActionSwing;
    if (t == 8)
        mouseButtonState[MOUSE_RIGHT] = Pressed; // the trailing camera, against the walls
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
    ASSERT_GT(figureCount, 0);
    ASSERT_GT(ballCount, 0);
    ASSERT_TRUE(player.swinging);
    ASSERT_GT(countCells(fallingBlocks), 0);
    std::vector<unsigned char> file;
    takeSnapshot(snapshotB);
    ASSERT_TRUE(encodeSave(snapshotB, file));
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

// ---------------------------------------------------------------------------
// Damaged files
// ---------------------------------------------------------------------------

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
    EXPECT_TRUE(packSave(payload, version, file));
    return file;
}

static std::vector<std::vector<unsigned char>> damagedFiles() {
    const std::vector<unsigned char>& good = sampleFile();
    std::vector<std::vector<unsigned char>> bad;
    for (size_t n = 0; n < good.size(); n += 1 + n / 3)
        bad.push_back(std::vector<unsigned char>(good.begin(), good.begin() + n));
    // One flipped bit in the magic, each header number, and the compressed data's start,
    // middle and end.
    const size_t places[] = {0, 7, 8, 12, 13, 16, 19, 20, 23, 24, good.size() / 2, good.size() - 1};
    for (size_t at : places) {
        bad.push_back(good);
        bad.back()[at] ^= (unsigned char)(1u << (at % 8));
    }
    std::vector<unsigned char> longer = good;
    longer.push_back(0);
    bad.push_back(longer);
    bad.push_back(std::vector<unsigned char>(good.size(), 'x'));
    std::vector<unsigned char> payload;
    encodePayload(snapshotA, payload);
    bad.push_back(framed(payload, SAVE_FORMAT_VERSION + 1));
    bad.push_back(framed(payload, 0));
    payload.push_back(0);
    bad.push_back(framed(payload, SAVE_FORMAT_VERSION));
    payload.resize(payload.size() - 2);
    bad.push_back(framed(payload, SAVE_FORMAT_VERSION));
    auto figures = [](SaveSnapshot& s) { s.figureCount = 0; };
    auto balls = [](SaveSnapshot& s) { s.ballCount = 0; };
    auto action = [](SaveSnapshot& s) { s.actionType = 3; };
    auto cell = [](SaveSnapshot& s) { s.blocks[0][0][0] ^= 1; };
    auto flag = [](SaveSnapshot& s) { s.slowMotion = !s.slowMotion; };
    auto number = [](SaveSnapshot& s) { s.viewBlend = 1.0000001f; };
    bad.push_back(framed(payloadWith(figures, MAX_FIGURES + 1), SAVE_FORMAT_VERSION));
    bad.push_back(framed(payloadWith(figures, 0xFFFFFFFFu), SAVE_FORMAT_VERSION));
    bad.push_back(framed(payloadWith(balls, MAX_BALLS + 1), SAVE_FORMAT_VERSION));
    bad.push_back(framed(payloadWith(balls, 0x7FFFFFFFu), SAVE_FORMAT_VERSION));
    bad.push_back(framed(payloadWith(action, ACTION_TYPE_COUNT), SAVE_FORMAT_VERSION));
    bad.push_back(framed(payloadWith(cell, 0x02020202u), SAVE_FORMAT_VERSION));
    bad.push_back(framed(payloadWith(flag, 0x02u), SAVE_FORMAT_VERSION));
    bad.push_back(framed(payloadWith(number, 0x7FC00000u), SAVE_FORMAT_VERSION)); // NaN
    return bad;
}

TEST(SaveFile, EveryDamagedFileIsRefused) {
    int index = 0;
    for (const std::vector<unsigned char>& file : damagedFiles()) {
        char why[160] = "";
        EXPECT_FALSE(decodeSave(file.data(), file.size(), snapshotB, why, sizeof why))
            << "damaged file " << index;
        EXPECT_NE(why[0], '\0') << "damaged file " << index;
        ++index;
    }
    // The way the damaged ones were made leaves the sample itself sound.
    char why[160] = "";
    EXPECT_TRUE(decodeSave(sampleFile().data(), sampleFile().size(), snapshotB, why, sizeof why));
    EXPECT_EQ(memcmp(&snapshotB.balls[0], &snapshotA.balls[0], sizeof(Ball)), 0);
}

// A folder of its own per test, removed with everything in it afterwards.
struct SaveFolder {
    std::string path;
    SaveFolder() {
        char pattern[] = "/tmp/hollowmark-save-XXXXXX";
        path = mkdtemp(pattern) ? pattern : "";
    }
    ~SaveFolder() {
        for (const std::string& name : names())
            unlink((path + "/" + name).c_str());
        rmdir(path.c_str());
    }
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        DIR* dir = opendir(path.c_str());
        for (dirent* e = dir ? readdir(dir) : nullptr; e; e = readdir(dir))
            if (strcmp(e->d_name, ".") != 0 && strcmp(e->d_name, "..") != 0)
                out.push_back(e->d_name);
        if (dir)
            closedir(dir);
        std::sort(out.begin(), out.end());
        return out;
    }
    void put(const char* name, const std::vector<unsigned char>& bytes) const {
        FILE* f = fopen((path + "/" + name).c_str(), "wb");
        fwrite(bytes.data(), 1, bytes.size(), f);
        fclose(f);
    }
    std::vector<unsigned char> get(const char* name) const {
        std::vector<unsigned char> bytes;
        FILE* f = fopen((path + "/" + name).c_str(), "rb");
        for (int c = f ? fgetc(f) : EOF; c != EOF; c = fgetc(f))
            bytes.push_back((unsigned char)c);
        if (f)
            fclose(f);
        return bytes;
    }
};

TEST(SaveFile, ADamagedSaveIsKeptAsideOnceAndTheBackupTaken) {
    const std::vector<std::vector<unsigned char>> bad = damagedFiles();
    for (size_t i = 0; i < bad.size(); i += 5) {
        for (bool backup : {true, false}) {
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
            std::vector<std::string> expected = {"cave-bad-1.sav", "cave-bad-2.sav"};
            if (backup)
                expected.push_back("cave.bak");
            EXPECT_EQ(folder.names(), expected);
        }
    }
}

// ---------------------------------------------------------------------------
// Writing: backups, faults, kills
// ---------------------------------------------------------------------------

static ssize_t diskFullAfter512(int fd, const void* bytes, size_t size) {
    static thread_local size_t written = 0;
    (void)fd, (void)bytes;
    if (written >= 512) {
        written = 0;
        errno = ENOSPC;
        return -1;
    }
    const size_t n = size < 100 ? size : 100;
    written += n;
    return (ssize_t)n;
}

TEST(SaveFile, SavesKeepTheOneBeforeAndFailedWritesLoseNothing) {
    SaveFolder folder;
    const char* dir = folder.path.c_str();
    std::vector<unsigned char> first = sampleFile(), second = first;
    second[second.size() / 2] ^= 1; // any other bytes do
    char why[256] = "";
    ASSERT_TRUE(writeSaveFile(dir, first, why, sizeof why)) << why;
    ASSERT_TRUE(writeSaveFile(dir, second, why, sizeof why)) << why;
    EXPECT_TRUE(folder.get("cave.sav") == second);
    EXPECT_TRUE(folder.get("cave.bak") == first);

    saveWriteHook = diskFullAfter512;
    EXPECT_FALSE(writeSaveFile(dir, first, why, sizeof why));
    saveWriteHook = write;
    EXPECT_NE(strstr(why, strerror(ENOSPC)), nullptr) << why;
    EXPECT_TRUE(folder.get("cave.sav") == second);
    EXPECT_TRUE(folder.get("cave.bak") == first);
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
    char reason[160] = "";
    ASSERT_TRUE(decodeSave(sampleFile().data(), sampleFile().size(), snapshotA, reason, 160));
    Rng rng(77);
    for (int round = 0; round < 25; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            std::vector<unsigned char> bytes;
            for (int i = 1;; ++i) {
                snapshotA.worldSeed = i;
                encodeSave(snapshotA, bytes);
                char childWhy[256] = "";
                writeSaveFile(dir, bytes, childWhy, sizeof childWhy);
            }
        }
        usleep((useconds_t)(2000 + rng.below(30000)));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        testing::internal::CaptureStderr();
        EXPECT_TRUE(loadSaveFolder(dir, snapshotB)) << "round " << round;
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        EXPECT_EQ(memcmp(snapshotB.blocks, snapshotA.blocks, sizeof blocks), 0);
        EXPECT_EQ(snapshotB.ballCount, 1);
        for (const std::string& name : folder.names()) // the killed save's temporary file
            if (name[0] == '.')
                unlink((folder.path + "/" + name).c_str());
    }
}

TEST(SaveFile, ASecondGameFindsTheFolderLocked) {
    SaveFolder folder;
    const int first = lockSaveFolder(folder.path.c_str());
    EXPECT_GE(first, 0);
    EXPECT_EQ(lockSaveFolder(folder.path.c_str()), -1);
    close(first);
    const int again = lockSaveFolder(folder.path.c_str());
    EXPECT_GE(again, 0);
    close(again);
    EXPECT_EQ(lockSaveFolder((folder.path + "/gone").c_str()), -2);
}

TEST(CaveKeeper, ANewCaveNeverRepeatsTheOneItReplaces) {
    struct Case {
        int setting;
        long long clock;
        int current, expected;
    } cases[] = {
        {0, 1000, 5, 1000}, {0, 1000, 1000, 1001}, {0, 0xFFFFFFFFLL, -1, -1 + 2},
        {42, 1000, 42, 42}, // a seed chosen in the settings stays the player's choice
    };
    for (const Case& c : cases)
        EXPECT_EQ(newCaveSeed(c.setting, c.clock, c.current), c.expected) << c.clock;
}
