// seam_fillers.cpp: the thin triangles that close a chunk's merged block
// faces against their neighbours on screen (see buildSeamFillers in chunks.h).
#include "meshing/chunks.h"

#include <cmath>

// The edge that leaves quad vertex v, in the quad's own (counter-clockwise)
// order, ends at the next vertex of the same quad.
static int edgeEnd(int v) {
    return v % 4 == 3 ? v - 3 : v + 1;
}

// Whole blocks along the edge from vertex v: edges run along one axis,
// between whole-number corners.
static int edgeSteps(const ChunkMesh& quads, int v) {
    const float* a = quads.positions + 3 * v;
    const float* b = quads.positions + 3 * edgeEnd(v);
    float length = 0.0f;
    for (int c = 0; c < 3; c++) {
        length = std::fmax(length, std::fabs(b[c] - a[c]));
    }
    return (int)std::lround(length);
}

// Filler vertex `out` at block corner k of the edge from quad vertex a to b,
// of `steps` blocks, moved out of the quad by SEAM_FILLER_REACH unless it is
// a corner of the quad. (b - a) * k is a whole number of blocks (of eighths
// of the texture in u and v) and divides by steps exactly, so the point is
// the neighbour's corner to the bit before it is moved, by a power of two.
static void putFillerVertex(ChunkMesh& fillers, int out, const ChunkMesh& quads, int a, int b,
                            int k, int steps) {
    // Out of the quad across the edge: from the corner before a to a.
    const int before = a % 4 == 0 ? a + 3 : a - 1;
    const float reach = k > 0 && k < steps ? SEAM_FILLER_REACH : 0.0f;
    const float across = (float)edgeSteps(quads, before);
    for (int c = 0; c < 3; c++) {
        const float from = quads.positions[3 * a + c];
        const float outward = (from - quads.positions[3 * before + c]) / across;
        fillers.positions[3 * out + c] =
            from + (quads.positions[3 * b + c] - from) * (float)k / (float)steps + reach * outward;
    }
    for (int c = 0; c < 2; c++) {
        const float from = quads.texCoords[2 * a + c];
        fillers.texCoords[2 * out + c] =
            from + (quads.texCoords[2 * b + c] - from) * (float)k / (float)steps;
    }
    if (fillers.normals != nullptr && quads.normals != nullptr) {
        for (int c = 0; c < 3; c++) {
            fillers.normals[3 * out + c] = quads.normals[3 * a + c];
        }
    }
}

void buildSeamFillers(ChunkMesh& fillers, const ChunkMesh& quads) {
    const int vertices = quads.vertexCount - quads.vertexCount % 4; // whole quads only
    int triangles = 0;
    for (int v = 0; v < vertices; v++) {
        triangles += edgeSteps(quads, v) - 1;
    }
    prepareMeshArrays(fillers, 3 * triangles);
    int out = 0;
    for (int v = 0; v < vertices; v++) {
        const int steps = edgeSteps(quads, v);
        for (int k = 1; k < steps; k++) {
            putFillerVertex(fillers, out, quads, v, edgeEnd(v), 0, steps);
            putFillerVertex(fillers, out + 1, quads, v, edgeEnd(v), k, steps);
            putFillerVertex(fillers, out + 2, quads, v, edgeEnd(v), k + 1, steps);
            out += 3;
        }
    }
}
