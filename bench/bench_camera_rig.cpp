// bench_camera_rig.cpp: the camera rig of one update, with camera collision
// on and off, over random third-person poses on a generated cave: bodies in
// the open air, every other one within three units of a wall, where the
// camera is pulled in. Reports the median, p99, largest and mean single call
// in microseconds of the thread's CPU time (the machine is shared), as
// median_us, p99_us, max_us and mean_us.
#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <vector>

#include <benchmark/benchmark.h>

#include "app/input.h"
#include "app/settings.h"
#include "game/game.h"
#include "game/update_steps.h"
#include "physics/collision.h"
#include "game/new_game.h"
#include "world/world.h"

namespace {

const int POSE_COUNT = 4000;

struct Pose {
    Vector3 body;
    float pitch, yaw, reach;
    bool side;
};

unsigned int benchRandom = 4242u;
float unitRandom() {
    benchRandom = benchRandom * 1664525u + 1013904223u;
    return (float)((benchRandom >> 8) % 10000) / 10000.0f;
}

double threadMicros() {
    timespec t = {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e6 + t.tv_nsec * 1e-3;
}

std::vector<Pose> makePoses() {
    srand(12345);
    setupNewWorld();
    screenWidth = 1280.0f, screenHeight = 720.0f, aspectRatio = 1280.0f / 720.0f;
    mouseInWindow = false;
    thirdPersonView = true, viewBlend = 1.0f;
    std::vector<Pose> poses;
    while ((int)poses.size() < POSE_COUNT) {
        Vector3 b = {50 * unitRandom(), 1.5f + 22 * unitRandom(), 50 * unitRandom()};
        Vector3 pushed = b;
        if (collideSphereWithWorld(pushed.x, pushed.y, pushed.z, 1.25f) ||
            blocks[(int)b.x][(int)b.y][(int)b.z] != 0 || b.y <= floorHeight[(int)b.x][(int)b.z] ||
            b.y >= ceilingHeight[(int)b.x][(int)b.z])
            continue;
        if (poses.size() % 2 && nearestSurfaceDistance(b.x, b.y, b.z, 3.0f) >= 3.0f)
            continue;
        poses.push_back({b, (unitRandom() * 2 - 1) * 1.13f, (unitRandom() * 2 - 1) * 10,
                         unitRandom(), unitRandom() < 0.5f});
    }
    return poses;
}

void cameraRig(benchmark::State& state) {
    static const std::vector<Pose> poses = makePoses();
    cameraCollision = state.range(0) != 0;
    std::vector<double> micros;
    micros.reserve(1 << 16);
    size_t n = 0;
    for (auto _ : state) {
        const Pose& p = poses[n++ % poses.size()];
        player.position = p.body;
        player.head = Vector3{p.body.x, p.body.y + 1.65f, p.body.z};
        thirdPersonCamera.pitch = player.pitch = p.pitch;
        player.yaw = p.yaw;
        thirdPersonCamera.yaw = p.yaw - 1.570796325f;
        cameraSide = p.side, cameraSideBlend = p.side ? 1.0f : 0.0f;
        cameraReach = p.reach;
        const double start = threadMicros();
        updateCameraRig(1.0f);
        const double us = threadMicros() - start;
        state.SetIterationTime(us * 1e-6);
        micros.push_back(us);
    }
    double sum = 0.0;
    for (double us : micros)
        sum += us;
    std::sort(micros.begin(), micros.end());
    state.counters["median_us"] = micros[micros.size() / 2];
    state.counters["p99_us"] = micros[micros.size() * 99 / 100];
    state.counters["max_us"] = micros.back();
    state.counters["mean_us"] = sum / micros.size();
    cameraCollision = false;
}
BENCHMARK(cameraRig)
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(3 * POSE_COUNT);

} // namespace

BENCHMARK_MAIN();
