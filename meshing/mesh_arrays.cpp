// mesh_arrays.cpp: storage of the chunk meshes and their flat quad normals.
//
// Arrays are replaced only when a chunk's vertex count changes, so editing a
// chunk without changing its quad count allocates nothing.
#include "app/settings.h"
#include "meshing/chunks.h"

#include <cmath>

void prepareMeshArrays(ChunkMesh& mesh, int vertexCount) {
    mesh.revision++;
    if (vertexCount != mesh.vertexCount) {
        delete[] mesh.positions;
        delete[] mesh.texCoords;
        delete[] mesh.normals;
        mesh.vertexCount = vertexCount;
        mesh.positions = new float[3 * vertexCount];
        mesh.texCoords = new float[2 * vertexCount];
        mesh.normals = useLight ? new float[3 * vertexCount] : nullptr;
    } else if (useLight && mesh.normals == nullptr && vertexCount > 0) {
        // Lighting switched on after this slot was last sized: writing the
        // normals into a null array would crash.
        mesh.normals = new float[3 * vertexCount];
    }
}

void quadNormals(int vertexCount, float* normals, const float* positions) {
    // Only whole quads: every mesh holds a multiple of four vertices, and a
    // trailing partial group would read past the positions.
    for (int q = 0; q + 4 <= vertexCount; q += 4) {
        const float* p0 = positions + 3 * q;
        const float* p1 = p0 + 3;
        const float* p2 = p0 + 6;
        float ax = p1[0] - p0[0], ay = p1[1] - p0[1], az = p1[2] - p0[2]; // p1 - p0
        float bx = p2[0] - p1[0], by = p2[1] - p1[1], bz = p2[2] - p1[2]; // p2 - p1
        float nx = ay * bz - az * by;
        float ny = az * bx - ax * bz;
        float nz = ax * by - ay * bx;
        float length = std::sqrt(nx * nx + ny * ny + nz * nz);
        nx /= length, ny /= length, nz /= length;
        for (int v = 0; v < 4; v++) {
            float* n = normals + 3 * (q + v);
            n[0] = nx, n[1] = ny, n[2] = nz;
        }
    }
}
