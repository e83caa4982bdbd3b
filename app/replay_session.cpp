// replay_session.cpp: one run's recording or replay: the file, the ticks, the
// checks written or compared, and the input swapped in around a replayed
// update. Core library: POSIX calls, no SDL.
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include <string>

#include "app/pointer_grab.h"
#include "app/replay.h"
#include "app/settings.h"
#include "app/whole_file.h"
#include "game/game.h"
#include "game/new_game.h"
#include "game/save.h"
#include "world/generate.h"

int runMode = PlayGame;
bool replayFast = false;
RecordingHead replayHead;

static SaveSnapshot startState; // large: kept off the stack
static unsigned int tick = 0;   // updates recorded or replayed so far
static unsigned int lastCheckTick = 0;
static int checkCount = 0;

// Recording
static int recordFd = -1;
static unsigned int recordedSeed = 0; // another seed means "New cave" was chosen
static bool recordFailed = false;

// Replaying
static std::vector<unsigned char> replayBytes;
static size_t replayOffset = 0;
static unsigned int replayTicks = 0; // frames in the file
static bool replayEnded = false;     // every frame played, or a divergence
static bool replayDiverged = false;
static char divergedParts[96] = "";
static int liveKeys[KEY_STATE_COUNT];
static int liveButtons[MOUSE_BUTTON_COUNT];
static int liveMouseX = 0, liveMouseY = 0;
static bool liveMouseInWindow = false;

// ---------------------------------------------------------------------------
// Recording
// ---------------------------------------------------------------------------

// The head as path: a hidden temporary file beside it, synced, renamed, and
// the folder synced.
static bool writeHeadFile(const char* path, const std::vector<unsigned char>& bytes) {
    const std::string full(path);
    const size_t slash = full.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : full.substr(0, slash);
    const std::string base = slash == std::string::npos ? full : full.substr(slash + 1);
    const std::string temporary = folder + "/." + base + "-" + std::to_string(getpid()) + ".tmp";
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        return false;
    }
    bool done = writeAllBytes(fd, bytes.data(), bytes.size()) && fsync(fd) == 0;
    done = close(fd) == 0 && done;
    done = done && rename(temporary.c_str(), path) == 0;
    if (!done) {
        unlink(temporary.c_str());
        return false;
    }
    syncFolder(folder.c_str());
    return true;
}

static void appendRecord(const std::vector<unsigned char>& bytes) {
    if (recordFd < 0) {
        return;
    }
    if (!writeAllBytes(recordFd, bytes.data(), bytes.size())) {
        fprintf(stderr, "hollowmark: recording stopped at tick %u: %s\n", tick, strerror(errno));
        close(recordFd);
        recordFd = -1;
        recordFailed = true;
    }
}

static void writeCheck() {
    RecordedCheck check{tick, {}};
    stateChecksums(check.crc);
    std::vector<unsigned char> bytes;
    encodeCheck(check, bytes);
    appendRecord(bytes);
    lastCheckTick = tick;
}

bool startRecording(const char* path, int width, int height) {
    RecordingHead head{gameVersion, width, height, {}, {}};
    for (int i = 0; i < settingsLineCount; ++i) {
        if (settingsLines[i][0] != '\0') {
            head.settings.insert(head.settings.end(), settingsLines[i],
                                 settingsLines[i] + strlen(settingsLines[i]));
            head.settings.push_back('\n');
        }
    }
    takeSnapshot(startState);
    // The replay starts from the decoded save, every chunk rebuilt: so does the recording.
    applySnapshot(startState);
    std::vector<unsigned char> bytes;
    if (!encodeSave(startState, head.start)) {
        fprintf(stderr, "hollowmark: cannot record: compressing the start failed\n");
        return false;
    }
    encodeHead(head, bytes);
    if (!writeHeadFile(path, bytes) ||
        (recordFd = open(path, O_WRONLY | O_APPEND | O_CLOEXEC)) < 0) {
        fprintf(stderr, "hollowmark: cannot record to %s: %s\n", path, strerror(errno));
        return false;
    }
    recordedSeed = worldSeed;
    return true;
}

static void recordFrame(float timeFactor) {
    RecordedFrame frame{timeFactor,     mouseX,         mouseY, mouseInWindow,
                        pointerMotionX, pointerMotionY, {},     {}};
    for (int code = 0; code < KEY_STATE_COUNT; ++code) {
        frame.keys[code] = (unsigned char)keyState[code];
    }
    for (int button = 0; button < MOUSE_BUTTON_COUNT; ++button) {
        frame.buttons[button] = (unsigned char)mouseButtonState[button];
    }
    std::vector<unsigned char> bytes;
    encodeFrame(frame, bytes);
    appendRecord(bytes);
}

void checkRecordingNow() {
    if (recordFd >= 0 && lastCheckTick != tick && worldSeed == recordedSeed) {
        writeCheck();
    }
}

// ---------------------------------------------------------------------------
// Replaying
// ---------------------------------------------------------------------------

bool openReplay(const char* path) {
    char why[160] = "";
    if (readWholeFile(path, MAX_RECORDING_BYTES, replayBytes, why, sizeof why) != WholeFileDone) {
        fprintf(stderr, "hollowmark: cannot read the recording %s: %s\n", path,
                why[0] != '\0' ? why : strerror(ENOENT));
        return false;
    }
    replayOffset = decodeHead(replayBytes.data(), replayBytes.size(), replayHead, why, sizeof why);
    if (replayOffset == 0 || !decodeSave(replayHead.start.data(), replayHead.start.size(),
                                         startState, why, sizeof why)) {
        fprintf(stderr, "hollowmark: %s is not a usable recording: %s\n", path, why);
        return false;
    }
    // Every record is read once before the window opens: a damaged file ends
    // here, not halfway through, and a check for a tick never played is refused.
    RecordedFrame frame;
    RecordedCheck check;
    size_t offset = replayOffset;
    int read = ReadFrame;
    while ((read = decodeRecord(replayBytes.data(), replayBytes.size(), offset, frame, check, why,
                                sizeof why)) == ReadFrame ||
           read == ReadCheck) {
        if (read == ReadFrame) {
            ++replayTicks;
        } else if (check.tick != replayTicks) {
            snprintf(why, sizeof why, "a check for tick %u after tick %u", check.tick, replayTicks);
            read = ReadBad;
            break;
        }
    }
    if (read == ReadBad) {
        fprintf(stderr, "hollowmark: %s is not a usable recording: %s\n", path, why);
        return false;
    }
    if (read == ReadCutOff) {
        fprintf(stderr, "hollowmark: the recording is cut off after tick %u; replaying that far\n",
                replayTicks);
    }
    replayHead.settings.push_back('\0');
    settingsText = replayHead.settings.data();
    return true;
}

bool applyReplayStart() {
    if (replayHead.gameVersion != gameVersion) {
        fprintf(stderr,
                "hollowmark: recorded by version %g of the game, this is %g; replaying anyway\n",
                (double)replayHead.gameVersion, (double)gameVersion);
    }
    worldSeed = startState.worldSeed;
    applySnapshot(startState);
    return true;
}

// Swaps the live tables with the frame's (or back, with the frame null).
static void swapInInput(const RecordedFrame* frame) {
    if (frame != nullptr) {
        memcpy(liveKeys, keyState, sizeof liveKeys);
        memcpy(liveButtons, mouseButtonState, sizeof liveButtons);
        liveMouseX = mouseX, liveMouseY = mouseY, liveMouseInWindow = mouseInWindow;
        for (int code = 0; code < KEY_STATE_COUNT; ++code) {
            keyState[code] = frame->keys[code];
        }
        for (int button = 0; button < MOUSE_BUTTON_COUNT; ++button) {
            mouseButtonState[button] = frame->buttons[button];
        }
        mouseX = frame->mouseX, mouseY = frame->mouseY, mouseInWindow = frame->mouseInWindow;
        pointerMotionX = frame->motionX, pointerMotionY = frame->motionY;
        return;
    }
    memcpy(keyState, liveKeys, sizeof liveKeys);
    memcpy(mouseButtonState, liveButtons, sizeof liveButtons);
    mouseX = liveMouseX, mouseY = liveMouseY, mouseInWindow = liveMouseInWindow;
    // The live hand moved nothing in a replay.
    pointerMotionX = 0, pointerMotionY = 0;
}

static int nextRecord(RecordedFrame& frame, RecordedCheck& check) {
    char why[160] = "";
    return decodeRecord(replayBytes.data(), replayBytes.size(), replayOffset, frame, check, why,
                        sizeof why);
}

// Compares every check for the tick just played; the next frame stays unread.
static void compareChecks() {
    static RecordedFrame frame; // large: kept off the stack
    RecordedCheck check{};
    for (;;) {
        const size_t at = replayOffset;
        const int read = nextRecord(frame, check);
        if (read != ReadCheck) {
            replayOffset = at;
            replayEnded = read != ReadFrame;
            return;
        }
        unsigned int now[STATE_PART_COUNT];
        stateChecksums(now);
        differingParts(check.crc, now, divergedParts, sizeof divergedParts);
        if (divergedParts[0] != '\0') {
            replayDiverged = replayEnded = true;
            return;
        }
        lastCheckTick = tick, ++checkCount;
    }
}

// ---------------------------------------------------------------------------
// Around each update
// ---------------------------------------------------------------------------

bool beforeRecordedUpdate(float& timeFactor) {
    if (runMode == RecordGame) {
        if (recordFd >= 0 && worldSeed != recordedSeed) {
            fprintf(stderr, "hollowmark: a new cave: the recording ends at tick %u\n", tick);
            close(recordFd);
            recordFd = -1;
        }
        recordFrame(timeFactor);
        return true;
    }
    if (runMode != ReplayGame) {
        return true;
    }
    static RecordedFrame frame; // large: kept off the stack
    RecordedCheck check{};
    if (replayEnded || nextRecord(frame, check) != ReadFrame) {
        replayEnded = true;
        return false;
    }
    swapInInput(&frame);
    timeFactor = frame.timeFactor;
    return true;
}

void afterRecordedUpdate() {
    if (runMode == PlayGame || (runMode == RecordGame && recordFd < 0)) {
        return;
    }
    ++tick;
    if (runMode == RecordGame) {
        if (tick % CHECK_EVERY_TICKS == 0) {
            writeCheck();
        }
        return;
    }
    swapInInput(nullptr);
    compareChecks();
}

bool replayFinished() {
    return runMode == ReplayGame && replayEnded;
}

int finishRecordOrReplay() {
    if (runMode == RecordGame) {
        checkRecordingNow();
        if (recordFd >= 0) {
            close(recordFd);
            recordFd = -1;
        }
        return recordFailed ? EXIT_BAD_RECORDING : 0;
    }
    if (runMode != ReplayGame) {
        return 0;
    }
    if (replayDiverged) {
        printf("hollowmark: replay diverged at tick %u: %s differ%s (matched through tick %u)\n",
               tick, divergedParts, strchr(divergedParts, ',') ? "" : "s", lastCheckTick);
        return EXIT_REPLAY_DIVERGED;
    }
    if (!replayEnded) {
        printf("hollowmark: replay stopped at tick %u of %u (matched through tick %u)\n", tick,
               replayTicks, lastCheckTick);
        return EXIT_REPLAY_STOPPED;
    }
    printf("hollowmark: replay matched through tick %u (%d checks)\n", lastCheckTick, checkCount);
    return 0;
}
