// test_replay.cpp: record and replay: the command line; a recording reads back as written, cut
// anywhere up to its last whole record; damaged or absurd files are refused with a reason; the
// state checks see a change of any field, in its own part only.
#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/replay.h"
#include "game/game.h"
#include "meshing/chunks.h"
#include "world/generate.h"
#include "world/world.h"

// Each list of arguments and what it runs (mode * 2 + fast), or -1 where it is refused.
TEST(ReplayCommandLine, TakesOnlyTheThreeForms) {
    const struct {
        std::vector<const char*> args;
        int runs;
    } cases[] = {{{}, PlayGame * 2},
                 {{"--record", "a.hmr"}, RecordGame * 2},
                 {{"--replay", "a.hmr"}, ReplayGame * 2},
                 {{"--fast", "--replay", "a.hmr"}, ReplayGame * 2 + 1},
                 {{"--replay", "a.hmr", "--fast"}, ReplayGame * 2 + 1},
                 {{"--record"}, -1},
                 {{"--replay", ""}, -1},
                 {{"--record", "a", "--fast"}, -1},
                 {{"--fast"}, -1},
                 {{"--replay", "a", "--record", "b"}, -1},
                 {{"--replay", "a", "--fast", "--fast"}, -1},
                 {{"-x"}, -1},
                 {{"a.hmr"}, -1}};
    for (const auto& c : cases) {
        std::vector<const char*> argv = {"hollowmark"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        CommandLine line{};
        char why[160] = "";
        const bool ok = parseCommandLine((int)argv.size(), argv.data(), line, why, sizeof why);
        const std::string name = argv.size() > 1 ? std::string(argv[1]) + "..." : "none";
        EXPECT_EQ(ok ? line.mode * 2 + line.fast : -1, c.runs) << name;
        EXPECT_EQ(ok, why[0] == '\0') << name;
    }
}

// A recording of random frames with a check after every third, and where each record ends.
static RecordedFrame frames[40], frame; // as written; the last one read
static RecordedCheck check;
static std::vector<unsigned char> sampleRecording(std::vector<size_t>& recordEnds) {
    RecordingHead head{0.9f, 640, 480, {'a', '=', '1', '\n'}, {1, 2, 3}};
    std::vector<unsigned char> file;
    encodeHead(head, file);
    recordEnds.assign(1, file.size());
    srand(7);
    for (unsigned int i = 0; i < 40; ++i) {
        RecordedFrame& f = frames[i] = RecordedFrame{
            (float)rand() / RAND_MAX * 2, rand() % 900 - 50,  rand() % 700, rand() % 2 == 0,
            rand() % 201 - 100,           rand() % 201 - 100, {},           {}};
        for (int k = 0; k < KEY_STATE_COUNT; ++k)
            f.keys[k] = (unsigned char)(i == 0 ? k % 3 : rand() % 40 == 0 ? 1 + rand() % 2 : 0);
        for (int b = 1; b < MOUSE_BUTTON_COUNT; ++b)
            f.buttons[b] = (unsigned char)(rand() % 3);
        encodeFrame(f, file), recordEnds.push_back(file.size());
        if (i % 3 == 2)
            encodeCheck({i + 1, {i, 1, 2, 3, ~0u}}, file), recordEnds.push_back(file.size());
    }
    return file;
}

TEST(ReplayFormat, ReadsBackAsWrittenUpToTheLastWholeRecordWhereverItIsCut) {
    std::vector<size_t> ends;
    const std::vector<unsigned char> file = sampleRecording(ends);
    for (size_t cut = 0; cut <= file.size(); ++cut) {
        RecordingHead head;
        char why[160] = "";
        size_t offset = decodeHead(file.data(), cut, head, why, sizeof why);
        ASSERT_EQ(offset, cut < ends[0] ? 0u : ends[0]) << cut << why;
        if (offset == 0)
            continue;
        ASSERT_EQ(std::string(head.settings.begin(), head.settings.end()), "a=1\n");
        ASSERT_TRUE(head.width == 640 && head.height == 480 && head.start.size() == 3);
        unsigned int frameCount = 0, records = 0;
        int read = ReadFrame;
        while ((read = decodeRecord(file.data(), cut, offset, frame, check, why, sizeof why)) ==
                   ReadFrame ||
               read == ReadCheck) {
            ++records;
            if (read == ReadCheck) {
                ASSERT_EQ(check.tick, frameCount) << cut;
                continue;
            }
            const RecordedFrame& f = frames[frameCount++];
            ASSERT_EQ(memcmp(&frame.timeFactor, &f.timeFactor, sizeof f.timeFactor), 0);
            ASSERT_TRUE(frame.mouseX == f.mouseX && frame.mouseY == f.mouseY &&
                        frame.mouseInWindow == f.mouseInWindow && frame.motionX == f.motionX &&
                        frame.motionY == f.motionY);
            ASSERT_EQ(memcmp(frame.keys, f.keys, sizeof f.keys), 0);
            ASSERT_EQ(memcmp(frame.buttons, f.buttons, sizeof f.buttons), 0);
        }
        const bool atBoundary = std::find(ends.begin(), ends.end(), cut) != ends.end();
        ASSERT_EQ(read, atBoundary ? ReadEnd : ReadCutOff) << cut;
        ASSERT_EQ(ends[records], atBoundary ? cut : offset) << cut;
    }
}

// Recomputes the CRC of the record whose length field is at `at`, after a change inside it.
static void reframe(std::vector<unsigned char>& file, size_t at) {
    const unsigned int length = file[at] | file[at + 1] << 8 | file[at + 2] << 16;
    const unsigned int crc = (unsigned int)crc32(0L, &file[at + 8], length);
    for (int i = 0; i < 4; ++i)
        file[at + 4 + i] = (unsigned char)(crc >> (8 * i));
}

TEST(ReplayFormat, RefusesDamagedAndAbsurdFilesWithAReason) {
    std::vector<size_t> ends;
    const std::vector<unsigned char> good = sampleRecording(ends);
    const size_t first = ends[0]; // the first record: the frame with keys 0, 1, 2, 0, 1, 2 ...
    struct Case {
        const char* reason;
        std::function<void(std::vector<unsigned char>&)> damage;
    } cases[] = {
        {"wrong magic", [](auto& f) { f[6] = 'X'; }},
        {"format version 2", [](auto& f) { f[8] = 2; }},
        {"head of", [](auto& f) { f[15] = 0x7f; }},
        {"head CRC", [](auto& f) { f[30] ^= 1; }},
        {"window of 0 x 480", [](auto& f) { f[24] = f[25] = 0, reframe(f, 12); }},
        {"cannot be", [&](auto& f) { f[first] = f[first + 1] = 0; }},
        {"cannot be", [&](auto& f) { f[first + 1] = 0x20; }},
        {"record CRC", [&](auto& f) { f[first + 20] ^= 4; }},
        {"unknown kind 3", [&](auto& f) { f[first + 8] = 3, reframe(f, first); }},
        {"impossible", [&](auto& f) { f[first + 31] = 0xff, reframe(f, first); }}, // key count
        {"impossible",
         [&](auto& f) { f[first + 32] = 0xf4, f[first + 33] = 1, reframe(f, first); }},
        {"impossible", [&](auto& f) { f[first + 34] = 3, reframe(f, first); }}, // state 3
        {"impossible", [&](auto& f) { f[first + 21] = 2, reframe(f, first); }}, // in window 2
    };
    for (const Case& c : cases) {
        std::vector<unsigned char> file = good;
        c.damage(file);
        RecordingHead head;
        char why[160] = "";
        size_t offset = decodeHead(file.data(), file.size(), head, why, sizeof why);
        int read = offset == 0 ? ReadBad : ReadFrame;
        while (read == ReadFrame || read == ReadCheck)
            read = decodeRecord(file.data(), file.size(), offset, frame, check, why, sizeof why);
        EXPECT_EQ(read, ReadBad) << c.reason;
        EXPECT_NE(std::string(why).find(c.reason), std::string::npos) << c.reason << ": " << why;
    }
}

TEST(ReplayChecks, AChangeOfAnyFieldShowsInItsOwnPartOnly) {
    figureCount = 1, ballCount = 1;
    struct Case {
        int part;
        std::function<void()> change;
    } cases[] = {
        {PartWorld, [] { worldSeed += 1; }},
        {PartWorld, [] { blocks[WORLD_SIZE - 1][WORLD_LEVELS - 1][3] ^= 1; }},
        {PartWorld, [] { fallingBlocks[2][0][WORLD_SIZE - 1] ^= 1; }},
        {PartWorld, [] { floorHeight[5][6] += 1.0f; }},
        {PartWorld, [] { ceilingHeight[0][0] += 1.0f; }},
        {PartWorld, [] { waterHeight[1][9] += 1.0f; }},
        {PartWorld, [] { waterFrames[4][9][1] += 1.0f; }},
        {PartWorld, [] { waterPhaseOffset[3][3] += 1.0f; }},
        {PartWorld, [] { blocksFalling = !blocksFalling; }},
        {PartWorld, [] { settleReady = !settleReady; }},
        {PartWorld, [] { settleProgress += 0.5f; }},
        {PartWorld, [] { wavePhase += 0.5f; }},
        {PartPlayer, [] { player.position.y += 1.0f; }},
        {PartPlayer, [] { player.swinging = !player.swinging; }},
        {PartPlayer, [] { player.ropeLength += 1.0f; }},
        {PartPlayer, [] { player.footPlanted[1] = !player.footPlanted[1]; }},
        {PartPlayer, [] { player.footZ[1] += 1.0f; }},
        {PartEnemies, [] { figures[0].yaw += 1.0f; }},
        {PartEnemies, [] { figures[0].handX[1] += 1.0f; }},
        {PartEnemies, [] { figureCount = 0; }},
        {PartBalls, [] { balls[0].velocity.z += 1.0f; }},
        {PartBalls, [] { ballCount = 2; }},
        {PartCamera, [] { actionType = (actionType + 1) % ACTION_TYPE_COUNT; }},
        {PartCamera, [] { slowMotion = !slowMotion; }},
        {PartCamera, [] { thirdPersonView = !thirdPersonView; }},
        {PartCamera, [] { viewBlend += 0.5f; }},
        {PartCamera, [] { cameraSide = !cameraSide; }},
        {PartCamera, [] { cameraSideBlend += 0.5f; }},
        {PartCamera, [] { firstPersonCamera.pitch += 0.5f; }},
        {PartCamera, [] { thirdPersonCamera.position.x += 0.5f; }},
        {PartCamera, [] { viewCamera.roll += 0.5f; }},
        {PartCamera, [] { cameraReach += 0.5f; }},
    };
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        unsigned int before[STATE_PART_COUNT], after[STATE_PART_COUNT];
        stateChecksums(before);
        cases[i].change();
        stateChecksums(after);
        char parts[96] = "";
        differingParts(before, after, parts, sizeof parts);
        EXPECT_STREQ(parts, statePartNames[cases[i].part]) << "case " << i;
    }
    figureCount = 0, ballCount = 0;
}
