// scene_layout.cpp: chunk positions, per-chunk culling and the label's place
// for the scene renderer. Pure: no GL, so the tests call it directly.
#include "render/scene_layout.h"

#include <cmath>
#include <cstring>

#include "world/world.h"

static const float CHUNK_EDGE = 5.0f;      // world units per chunk side
static const float CHUNK_HALF_EDGE = 2.5f; // half-size of one culling cube
static const int CUBES_PER_COLUMN = 7;     // 35 levels in cubes of edge 5
static const int LABEL_RIGHT_MARGIN = 25;  // pixels from the window's right edge
static const int GLYPH_HALF_ADVANCE = 5;   // drawText advances 10 pixels per character

// Far enough that no body reaches it in play, near enough that the drawing
// loops' i +- range can never overflow an int.
static const float MAX_CHUNK_COORDINATE = 1.0e6f;

int chunkCoordinate(float worldCoordinate) {
    const float chunk = std::floor(worldCoordinate / CHUNK_EDGE);
    // A NaN or runaway position must not turn into undefined int conversion.
    if (!(chunk > -MAX_CHUNK_COORDINATE)) {
        return chunk != chunk ? 0 : -(int)MAX_CHUNK_COORDINATE;
    }
    if (chunk > MAX_CHUNK_COORDINATE) {
        return (int)MAX_CHUNK_COORDINATE;
    }
    return (int)chunk;
}

int drawnViewRange(int viewRange) {
    return viewRange > 0 ? viewRange : 0;
}

float farPlaneDistance(int viewRange) {
    return CHUNK_EDGE * drawnViewRange(viewRange) + CHUNK_EDGE;
}

int discChunkPositions(int centreI, int centreJ, int range, ChunkPosition* out, int capacity) {
    int count = 0;
    if (range <= 0) {
        return 0;
    }
    // Integer form of sqrt(di^2 + dj^2) < range: exact for whole numbers.
    const int rangeSquared = range * range;
    for (int i = centreI - range; i <= centreI + range; i++) {
        for (int j = centreJ - range; j <= centreJ + range; j++) {
            const int di = i - centreI;
            const int dj = j - centreJ;
            if (di * di + dj * dj >= rangeSquared) {
                continue;
            }
            if (count >= capacity) {
                return count;
            }
            out[count].i = i;
            out[count].j = j;
            out[count].slot = chunkIndex(i, j);
            count++;
        }
    }
    return count;
}

bool chunkColumnVisible(const ViewFrustum& frustum, int i, int j) {
    const float x = (i + 0.5f) * CHUNK_EDGE;
    const float z = (j + 0.5f) * CHUNK_EDGE;
    for (int k = 0; k < CUBES_PER_COLUMN; k++) {
        if (cubeInFrustum(frustum, x, (k + 0.5f) * CHUNK_EDGE, z, CHUNK_HALF_EDGE)) {
            return true;
        }
    }
    return false;
}

bool waterSlabVisible(const ViewFrustum& frustum, int i, int j) {
    return cubeInFrustum(frustum, (i + 0.5f) * CHUNK_EDGE, CHUNK_HALF_EDGE, (j + 0.5f) * CHUNK_EDGE,
                         CHUNK_HALF_EDGE);
}

int labelPanelX(float screenWidth) {
    return (int)(screenWidth - LABEL_PANEL_WIDTH - LABEL_RIGHT_MARGIN);
}

int labelTextX(int panelX, const char* text) {
    const int length = (int)std::strlen(text);
    return panelX - GLYPH_HALF_ADVANCE * length + LABEL_PANEL_WIDTH / 2;
}

static const char* const plainActionNames[ACTION_TYPE_COUNT] = {
    "Raise ground", "Lower ground", "Place block",  "Remove block", "Swing",
    "Throw ball",   "Slow motion",  "Create enemy", "Fly",
};

const char* labelText(int action) {
    if (action < 0 || action >= ACTION_TYPE_COUNT) {
        return nullptr;
    }
    return plainLabels ? plainActionNames[action] : actionTypeNames[action];
}

const char* const slowMotionText = "Slow motion on";

int slowMotionPanelX(float screenWidth) {
    return labelPanelX(screenWidth) + (LABEL_PANEL_WIDTH - SLOW_MOTION_PANEL_WIDTH) / 2;
}
