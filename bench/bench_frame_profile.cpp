// bench_frame_profile.cpp: the CPU work of one running frame, phase by phase,
// through scripted scenarios of 1,200 frames each on a world from a fixed
// seed, headless. Phases: the update (player, enemies, action, balls), the
// settling clock, the water (animation and mesh) and the rebuild of dirty
// chunks. For each scenario and phase it prints the median, p99 and maximum
// in microseconds and how many whole frames took more than 4 ms, all in CPU
// time of the thread (the machine is shared); the wall-clock time of the
// whole frame is printed beside it.
//
// Scenarios named _sound run with the sound key on: the update records its
// events and the phase "sound" plans the voices, all the main thread does
// for sound besides handing them to the mixer (mixing runs on SDL's audio
// thread); the same scenario without the suffix is the game with sound off.
//
// Each scenario checks that it holds what it claims (enemy and ball counts,
// falling blocks, the structure's depth for a sweep) and aborts otherwise.
// Before any timing the split frame is checked against updateGame itself.
//
//     build/bench_frame_profile                     # all scenarios
//     build/bench_frame_profile --benchmark_filter=enemies
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "app/input.h"
#include "app/settings.h"
#include "bench/settle_reference.h"
#include "bench/settle_shapes.h"
#include "game/game.h"
#include "game/new_game.h"
#include "game/pose.h"
#include "game/sound_events.h"
#include "game/update_steps.h"
#include "meshing/chunks.h"
#include "render/frustum.h"
#include "world/world.h"

namespace {

const unsigned int WORLD_SEED = 4242;
const int SCENARIO_FRAMES = 1200;
const double FRAME_BUDGET_US = 4000.0; // a quarter of the 16 ms frame
const float SCREEN_W = 1024.0f, SCREEN_H = 768.0f;
const int COLLAPSE_BLOCKS = 2000; // 20 x 5 x 20
const int SWEEPS_CLAIMED = 1000;  // the adversarial structure needs more sweeps than this

enum Phase {
    PhasePlayer,  // controls, motion, pose, camera rig, aim
    PhaseEnemies, // chase, motion, pushes, pose
    PhaseAction,  // the left button's action
    PhaseBalls,   // flight
    PhaseSettle,  // the settling clock and its step
    PhaseWater,   // animation and mesh
    PhaseRebuild, // the dirty chunks' meshes and collision lists
    PhaseSound,   // the frame's sound events planned into voices
    PhaseTotal,   // the whole frame
    PhaseWall,    // the whole frame by the wall clock, preemption included
    PHASE_COUNT
};
const char* const PHASE_NAMES[PHASE_COUNT] = {"player", "enemies", "action", "balls", "settle",
                                              "water",  "rebuild", "sound",  "frame",
                                              "wall"};

// --- the frame, split into its phases --------------------------------------

// The factor updateGame uses (same guard and slow-motion scaling).
float stepFactor(float timeFactor) {
    float f = timeFactor;
    if (!(f >= 0.0f) || std::isinf(f)) {
        f = 0.0f;
    }
    return slowMotion ? f * 0.25f : f;
}

// The CPU time this thread has used, in microseconds: what a frame costs,
// without the time the machine (shared by other work) gave to others.
double threadMicros() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return (double)now.tv_sec * 1e6 + (double)now.tv_nsec * 1e-3;
}

double microsSince(double& mark) {
    double now = threadMicros();
    double us = now - mark;
    mark = now;
    return us;
}

// One running frame as the main loop makes it: updateGame's steps in its
// order, then the chunk rebuild; then the next poll's promotion of presses.
void splitFrame(float timeFactor, double times[PHASE_COUNT]) {
    auto wallStart = std::chrono::steady_clock::now();
    double start = threadMicros();
    double mark = start;
    float f = stepFactor(timeFactor);
    const Vector3 before = player.position;
    const bool wasOnGround = player.onGround;
    const float fallSpeed = -player.velocity.y;
    updatePlayerControls(f);
    listenToPlayerMotion(before, wasOnGround, fallSpeed);
    poseFigureBody(player);
    updateCameraRig(f);
    castAimRay();
    poseFigureArms(player);
    times[PhasePlayer] = microsSince(mark);
    updateEnemies(f);
    times[PhaseEnemies] = microsSince(mark);
    applyPlayerAction(f);
    times[PhaseAction] = microsSince(mark);
    updateBalls(f);
    times[PhaseBalls] = microsSince(mark);
    runSettlingClock(f);
    times[PhaseSettle] = microsSince(mark);
    if (useWater) {
        animateWater(f);
        rebuildWaterMesh();
    }
    times[PhaseWater] = microsSince(mark);
    rebuildDirtyChunks();
    times[PhaseRebuild] = microsSince(mark);
    static unsigned int frameMillis = 0;
    SoundPlay plays[MAX_VOICES];
    planSounds(viewCamera.position, viewCamera.yaw, frameMillis += 16, plays);
    times[PhaseSound] = microsSince(mark);
    times[PhaseTotal] = mark - start;
    times[PhaseWall] =
        std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - wallStart)
            .count();
    promotePressedKeys();
    promotePressedButtons();
}

void wholeFrame(float timeFactor) {
    updateGame(timeFactor);
    rebuildDirtyChunks();
    promotePressedKeys();
    promotePressedButtons();
}

// --- scenario state ----------------------------------------------------------

unsigned int scriptRandom = 1u;
float unitRandom() {
    scriptRandom = scriptRandom * 1664525u + 1013904223u;
    return (float)((scriptRandom >> 8) % 10000) / 10000.0f;
}

unsigned char generatedBlocks[WORLD_SIZE][WORLD_LEVELS][WORLD_SIZE];

void freshGame(bool water) {
    memset(keyState, 0, sizeof keyState);
    memset(mouseButtonState, 0, sizeof mouseButtonState);
    screenWidth = SCREEN_W;
    screenHeight = SCREEN_H;
    aspectRatio = SCREEN_W / SCREEN_H;
    mouseX = (int)(SCREEN_W / 2);
    mouseY = (int)(SCREEN_H / 2);
    mouseInWindow = true;
    fieldOfView = 50.0f;
    resetGameState();
    useWater = water;
    useLight = true;
    optimizeGeometry = true;
    scriptRandom = 1u;
    srand(WORLD_SEED);
    setupNewWorld();
    memcpy(generatedBlocks, blocks, sizeof blocks);
    // Let the player drop onto the floor first.
    for (int i = 0; i < 120; i++) {
        wholeFrame(1.0f);
    }
}

[[noreturn]] void claimBroken(const char* scenario, const char* claim) {
    fprintf(stderr, "scenario '%s' does not hold what it claims: %s\n", scenario, claim);
    abort();
}

int countCells(const unsigned char grid[WORLD_SIZE][WORLD_LEVELS][WORLD_SIZE]) {
    int count = 0;
    const unsigned char* cell = &grid[0][0][0];
    for (int i = 0; i < WORLD_SIZE * WORLD_LEVELS * WORLD_SIZE; i++) {
        count += cell[i];
    }
    return count;
}

// A 20 x 5 x 20 slab of blocks hanging at levels 14..18 from x = slabX,
// touching nothing: it falls as one piece until it lands. The blocks of the
// previous slab are cleared first. Not timed.
int slabX = 15;
void hangSlab() {
    memcpy(blocks, generatedBlocks, sizeof blocks);
    memset(fallingBlocks, 0, sizeof fallingBlocks);
    for (int x = slabX; x < slabX + 20; x++)
        for (int y = 14; y < 19; y++)
            for (int z = 15; z < 35; z++)
                blocks[x][y][z] = 1;
    markAllChunksDirty();
    rebuildDirtyChunks();
}

// How many full passes the plain sweep needs for one settling step of the
// current world; the world is left as it was.
int sweepsNeeded() {
    static unsigned char savedBlocks[WORLD_SIZE][WORLD_LEVELS][WORLD_SIZE];
    static unsigned char savedFalling[WORLD_SIZE][WORLD_LEVELS][WORLD_SIZE];
    memcpy(savedBlocks, blocks, sizeof blocks);
    memcpy(savedFalling, fallingBlocks, sizeof fallingBlocks);
    bool savedFlag = blocksFalling;
    int passes = referenceSettlePasses();
    memcpy(blocks, savedBlocks, sizeof blocks);
    memcpy(fallingBlocks, savedFalling, sizeof fallingBlocks);
    blocksFalling = savedFlag;
    return passes;
}

// The folded serpentine of the settling tests, above the highest floor of
// an otherwise block-free copy of the generated cave.
void buildSerpentine() {
    memset(blocks, 0, sizeof blocks);
    memset(fallingBlocks, 0, sizeof fallingBlocks);
    blocksFalling = false;
    float highestFloor = 0.0f;
    for (int x = 0; x < WORLD_SIZE; x++)
        for (int z = 0; z < WORLD_SIZE; z++)
            highestFloor = std::max(highestFloor, floorHeight[x][z]);
    // Beside a slab, the structure keeps clear of it.
    foldedSerpentine((int)highestFloor + 2, WORLD_LEVELS - 3, slabX == 15 ? 2 : 26);
    memcpy(generatedBlocks, blocks, sizeof blocks);
    markAllChunksDirty();
    rebuildDirtyChunks();
}

void fillEnemies() {
    const Vector3 p = player.position;
    while (figureCount < MAX_FIGURES) {
        spawnFigure(p.x + 4.0f * (unitRandom() - 0.5f), p.y + 0.5f,
                    p.z + 4.0f * (unitRandom() - 0.5f));
    }
}

// Every ball that stuck is thrown again from above the player; the table is
// kept full. Returns how many balls are in flight.
int keepBallsFlying() {
    const Vector3 p = player.position;
    while (ballCount < MAX_BALLS) {
        spawnBall(p.x, p.y + 3.0f, p.z, 0.0f, 0.0f, 0.0f);
    }
    int flying = 0;
    for (int i = 0; i < ballCount; i++) {
        Ball& b = balls[i];
        if (b.velocity.x == 0.0f && b.velocity.y == 0.0f && b.velocity.z == 0.0f) {
            b.position = Vector3{p.x, p.y + 3.0f, p.z};
            b.velocity = Vector3{unitRandom() - 0.5f, 0.6f * unitRandom(), unitRandom() - 0.5f};
        }
        flying++;
    }
    return flying;
}

// --- scenarios -----------------------------------------------------------------

struct Scenario {
    const char* name;
    bool water;
    bool walk;       // W held, the pointer off to one side
    bool brush;      // the left button held in raise or lower mode
    bool placeBlock; // a click in block mode every frame
    bool collapse;   // a slab of 2,000 unsupported blocks, hung again when it lands
    bool serpentine; // the structure a sweep needs thousands of passes for
    bool enemies;    // 50 enemies around the player
    bool balls;      // 500 balls in flight
    bool sound = false;
};

const Scenario SCENARIOS[] = {
    {"still", false, false, false, false, false, false, false, false},
    {"walk_turn", false, true, false, false, false, false, false, false},
    {"brush", false, false, true, false, false, false, false, false},
    {"place_block", false, false, false, true, false, false, false, false},
    {"collapse_2000", false, false, false, false, true, false, false, false},
    {"serpentine", false, false, false, false, false, true, false, false},
    {"enemies_50", false, false, false, false, false, false, true, false},
    {"balls_500", false, false, false, false, false, false, false, true},
    {"everything_water", true, true, true, true, true, true, true, true},
    {"walk_turn_sound", false, true, false, false, false, false, false, false, true},
    {"balls_500_sound", false, false, false, false, false, false, false, true, true},
    {"everything_water_sound", true, true, true, true, true, true, true, true, true},
};

// Input for frame i: set before the frame as the poll would leave it.
void scriptInput(const Scenario& s, int i) {
    if (s.walk) {
        keyState[KEY_W] = (i % 400) < 300 ? Held : Up;
        mouseX = (int)(SCREEN_W * 0.62f); // keeps turning right
    }
    if (s.brush || s.placeBlock) {
        // Look down in front of the feet so the brush and blocks meet the floor.
        mouseY = (int)(SCREEN_H * 0.8f);
    }
    bool placing = s.placeBlock && (!s.brush || (i / 100) % 3 == 2);
    if (placing) {
        // Clicks all over the lower half of the view, so the blocks spread
        // over the floor instead of piling into one column.
        actionType = ActionSpawnBlock;
        mouseButtonState[MOUSE_LEFT] = Pressed;
        mouseX = (int)(SCREEN_W * (0.2f + 0.6f * unitRandom()));
        mouseY = (int)(SCREEN_H * (0.55f + 0.4f * unitRandom()));
    } else if (s.brush) {
        // Raise and lower in turn so the brush never stays at the height limits.
        actionType = (i / 200) % 2 == 0 ? ActionRaiseGround : ActionLowerGround;
        mouseButtonState[MOUSE_LEFT] = Held;
    }
}

struct Claims {
    int framesWithFalling = 0;
    int mostFalling = 0;
    int fewestEnemies = MAX_FIGURES;
    int fewestFlyingBalls = MAX_BALLS;
    int blocksPlaced = 0;
    int sweeps = 0;
};

double percentile(std::vector<double> v, double q) {
    std::sort(v.begin(), v.end());
    size_t index = (size_t)std::ceil(q * (double)v.size()) - 1;
    return v[std::min(index, v.size() - 1)];
}

void runScenario(benchmark::State& state, const Scenario& s) {
    soundOn = s.sound;
    resetSounds();
    freshGame(s.water);
    slabX = s.serpentine && s.collapse ? 2 : 15;
    Claims claims;
    if (s.serpentine) {
        buildSerpentine();
        claims.sweeps = sweepsNeeded();
        if (claims.sweeps <= SWEEPS_CLAIMED)
            claimBroken(s.name, "the sweep would need more than 1000 passes");
    }
    if (s.collapse) {
        hangSlab();
    }
    std::vector<double> times[PHASE_COUNT];
    for (auto& t : times) {
        t.reserve(SCENARIO_FRAMES);
    }
    int over = 0;
    for (auto _ : state) {
        for (int i = 0; i < SCENARIO_FRAMES; i++) {
            // Scripted changes that no single frame of play could make are
            // made between frames and not timed.
            if (s.collapse && !blocksFalling && i > 0 && countCells(fallingBlocks) == 0 &&
                (i % 150) == 0) {
                hangSlab();
            }
            if (s.enemies) {
                fillEnemies();
                claims.fewestEnemies = std::min(claims.fewestEnemies, figureCount);
            }
            if (s.balls) {
                claims.fewestFlyingBalls = std::min(claims.fewestFlyingBalls, keepBallsFlying());
            }
            scriptInput(s, i);
            int blocksBefore = s.placeBlock ? countCells(blocks) : 0;
            double t[PHASE_COUNT] = {};
            splitFrame(1.0f, t);
            for (int p = 0; p < PHASE_COUNT; p++) {
                times[p].push_back(t[p]);
            }
            if (t[PhaseTotal] > FRAME_BUDGET_US) {
                over++;
            }
            int falling = countCells(fallingBlocks);
            if (falling > 0) {
                claims.framesWithFalling++;
            }
            claims.mostFalling = std::max(claims.mostFalling, falling);
            if (s.placeBlock && countCells(blocks) > blocksBefore) {
                claims.blocksPlaced++;
            }
        }
    }

    printf("\n%s (%d frames; microseconds)\n", s.name, SCENARIO_FRAMES);
    printf("  %-8s %8s %8s %8s\n", "phase", "median", "p99", "max");
    for (int p = 0; p < PHASE_COUNT; p++) {
        printf("  %-8s %8.1f %8.1f %8.1f\n", PHASE_NAMES[p], percentile(times[p], 0.5),
               percentile(times[p], 0.99), percentile(times[p], 1.0));
    }
    printf("  frames over 4 ms: %d\n", over);
    printf("  holds: enemies >= %d, balls in flight >= %d, frames with falling blocks %d (most "
           "%d), blocks placed %d, sweeps a plain settling step needs %d\n",
           s.enemies ? claims.fewestEnemies : 0, s.balls ? claims.fewestFlyingBalls : 0,
           claims.framesWithFalling, claims.mostFalling, claims.blocksPlaced, claims.sweeps);
    fflush(stdout);
    if (s.enemies && claims.fewestEnemies != MAX_FIGURES)
        claimBroken(s.name, "50 enemies in every frame");
    if (s.balls && claims.fewestFlyingBalls != MAX_BALLS)
        claimBroken(s.name, "500 balls in flight in every frame");
    if (s.collapse && claims.mostFalling < COLLAPSE_BLOCKS)
        claimBroken(s.name, "2,000 falling blocks");
    if (s.collapse && claims.framesWithFalling < SCENARIO_FRAMES / 2)
        claimBroken(s.name, "blocks falling in most frames");
    if (s.serpentine && !s.collapse && !s.placeBlock && claims.framesWithFalling != 0)
        claimBroken(s.name, "the structure stands");
    if (s.placeBlock && claims.blocksPlaced < (s.brush ? SCENARIO_FRAMES / 4 : SCENARIO_FRAMES / 2))
        claimBroken(s.name, "a block placed in (nearly) every frame of placing");

    state.counters["frame_median_us"] = percentile(times[PhaseTotal], 0.5);
    state.counters["frame_p99_us"] = percentile(times[PhaseTotal], 0.99);
    state.counters["frame_max_us"] = percentile(times[PhaseTotal], 1.0);
    state.counters["frames_over_4ms"] = over;
}

// The split frame must be the frame: the same script through updateGame and
// through the split steps ends in the same state, bit for bit.
void checkSplitMatchesUpdateGame() {
    const Scenario& s = SCENARIOS[sizeof SCENARIOS / sizeof SCENARIOS[0] - 1];
    soundOn = true; // sound changes nothing in the game
    static Figure playerAfter;
    static unsigned char blocksAfter[WORLD_SIZE][WORLD_LEVELS][WORLD_SIZE];
    static float waterAfter[WORLD_SIZE][WORLD_SIZE];
    int enemiesAfter = 0, ballsAfter = 0;
    Vector3 lastBall{0, 0, 0};
    for (int pass = 0; pass < 2; pass++) {
        freshGame(true);
        slabX = 15;
        hangSlab();
        for (int i = 0; i < 300; i++) {
            fillEnemies();
            keepBallsFlying();
            scriptInput(s, i);
            if (pass == 0) {
                wholeFrame(1.0f);
            } else {
                double t[PHASE_COUNT] = {};
                splitFrame(1.0f, t);
            }
        }
        if (pass == 0) {
            playerAfter = player;
            memcpy(blocksAfter, blocks, sizeof blocks);
            memcpy(waterAfter, waterHeight, sizeof waterHeight);
            enemiesAfter = figureCount;
            ballsAfter = ballCount;
            lastBall = balls[ballCount - 1].position;
        } else if (memcmp(&playerAfter.position, &player.position, sizeof(Vector3)) != 0 ||
                   memcmp(blocksAfter, blocks, sizeof blocks) != 0 ||
                   memcmp(waterAfter, waterHeight, sizeof waterHeight) != 0 ||
                   enemiesAfter != figureCount || ballsAfter != ballCount ||
                   memcmp(&lastBall, &balls[ballCount - 1].position, sizeof lastBall) != 0) {
            fprintf(stderr, "the split frame no longer matches updateGame\n");
            abort();
        }
    }
}

void BM_FrameProfile(benchmark::State& state) {
    static bool checked = false;
    if (!checked) {
        checkSplitMatchesUpdateGame();
        checked = true;
    }
    runScenario(state, SCENARIOS[state.range(0)]);
}

} // namespace

int main(int argc, char** argv) {
    for (int i = 0; i < (int)(sizeof SCENARIOS / sizeof SCENARIOS[0]); i++) {
        benchmark::RegisterBenchmark((std::string("frame/") + SCENARIOS[i].name).c_str(),
                                     BM_FrameProfile)
            ->Arg(i)
            ->Iterations(1)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
