// bench_screenshot_encode.cpp: what one "Save screenshot" click costs before the
// file write: flipping the frozen frame and encoding it as PNG, for an
// 800 x 600 window. The frame that shows the click waits for all of it.
#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <vector>

#include "screenshot/png_file.h"

namespace {

const int WIDTH = 800, HEIGHT = 600;

// A frame with smooth gradients and some texture-like noise, closer to a
// rendered cave than a flat colour (which would compress far too well).
std::vector<unsigned char> syntheticFrame() {
    std::vector<unsigned char> frame((size_t)WIDTH * HEIGHT * 4);
    srand(7);
    for (int y = 0; y < HEIGHT; ++y) {
        for (int x = 0; x < WIDTH; ++x) {
            unsigned char* p = &frame[((size_t)y * WIDTH + x) * 4];
            const int noise = rand() % 24;
            p[0] = (unsigned char)((x * 255 / WIDTH + noise) & 255);
            p[1] = (unsigned char)((y * 255 / HEIGHT + noise) & 255);
            p[2] = (unsigned char)(((x + y) / 8 + noise) & 255);
            p[3] = 255;
        }
    }
    return frame;
}

void BM_FlipFrame(benchmark::State& state) {
    const std::vector<unsigned char> frame = syntheticFrame();
    std::vector<unsigned char> image(frame.size());
    for (auto _ : state) {
        flipFrameToImage(frame.data(), WIDTH, HEIGHT, image.data());
        benchmark::DoNotOptimize(image.data());
    }
}
BENCHMARK(BM_FlipFrame)->Unit(benchmark::kMillisecond);

void BM_EncodePng(benchmark::State& state) {
    const std::vector<unsigned char> frame = syntheticFrame();
    std::vector<unsigned char> image(frame.size());
    flipFrameToImage(frame.data(), WIDTH, HEIGHT, image.data());
    std::vector<unsigned char> png;
    for (auto _ : state) {
        encodeScreenshotPng(image.data(), WIDTH, HEIGHT, png);
        benchmark::DoNotOptimize(png.data());
    }
    state.counters["bytes"] = (double)png.size();
}
BENCHMARK(BM_EncodePng)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
