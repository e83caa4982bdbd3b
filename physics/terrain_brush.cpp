// terrain_brush.cpp: the spherical brush that raises and lowers the floor and
// ceiling height samples, on the world plane that repeats every 50 units.
#include "physics/collision.h"
#include "world/world.h"

#include <cmath>

const float WORLD_SPAN = static_cast<float>(WORLD_SIZE); // world units per repeat
// Larger brushes are refused: the grid range would not fit an int and no
// sample could be edited in any sensible time (world units).
const float LARGEST_BRUSH_RADIUS = 1000.0f;

// Centre into [0, 50). fmodf is exact, so this equals adding or subtracting
// 50 until the value lands in range, without looping for ever once the
// coordinate is too large for a step of 50 to change it.
static float wrapCoordinate(float v) {
    v = fmodf(v, WORLD_SPAN);
    if (v < 0.0f)
        v += WORLD_SPAN;
    // A tiny negative remainder plus 50 can round up to 50 itself.
    if (v >= WORLD_SPAN)
        v -= WORLD_SPAN;
    return v;
}

// Of the offsets between the centre and a sample's copies 50 apart, the one
// of smallest size.
static float nearestOffset(float centre, float sample) {
    float best = centre - sample;
    float after = centre - (sample + WORLD_SPAN);
    float before = centre - (sample - WORLD_SPAN);
    if (fabsf(after) < fabsf(best))
        best = after;
    if (fabsf(before) < fabsf(best))
        best = before;
    return best;
}

static float clampHeight(float h) {
    if (h < MIN_SURFACE_HEIGHT)
        return MIN_SURFACE_HEIGHT;
    if (h > MAX_SURFACE_HEIGHT)
        return MAX_SURFACE_HEIGHT;
    return h;
}

void shapeTerrain(float x, float y, float z, float radius, float amount) {
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z) || !std::isfinite(amount) ||
        !(fabsf(radius) <= LARGEST_BRUSH_RADIUS))
        return;
    x = wrapCoordinate(x);
    z = wrapCoordinate(z);
    int firstI = static_cast<int>(x - radius - 1.0f);
    int endI = static_cast<int>(x + radius + 2.0f);
    int firstJ = static_cast<int>(z - radius - 1.0f);
    int endJ = static_cast<int>(z + radius + 2.0f);
    float reach = radius + 1.0f; // distances are capped here: beyond it nothing is edited
    for (int i = firstI; i < endI; i++) {
        for (int j = firstJ; j < endJ; j++) {
            int gi = wrapCell(i);
            int gj = wrapCell(j);
            // Both axes independently to their nearest copy: float squaring
            // and adding are monotone, so this is the least of all nine
            // copies' distances.
            float dx = nearestOffset(x, static_cast<float>(gi));
            float dz = nearestOffset(z, static_cast<float>(gj));
            float h = sqrtf(dx * dx + dz * dz);
            if (h > reach)
                h = reach;
            if (h < radius) {
                // How much depends on the horizontal distance; whether a
                // surface is touched at all on the distance in space.
                float change = (radius - h) * amount;
                float& floorSample = floorHeight[gi][gj];
                float up = y - floorSample;
                if (sqrtf(h * h + up * up) < radius)
                    floorSample = clampHeight(floorSample + change);
                float& ceilingSample = ceilingHeight[gi][gj];
                float down = y - ceilingSample;
                if (sqrtf(h * h + down * down) < radius)
                    ceilingSample = clampHeight(ceilingSample - change);
            }
            chunkDirty[(gi / CHUNK_SIZE) * CHUNK_COUNT + gj / CHUNK_SIZE] = 1;
        }
    }
}
