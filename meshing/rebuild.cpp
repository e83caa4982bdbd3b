// rebuild.cpp: once per frame, brings the meshes and collision lists of every
// dirty chunk back in step with the world grids.
#include "meshing/chunks.h"

void rebuildDirtyChunks() {
    for (int cx = 0; cx < CHUNK_COUNT; cx++) {
        for (int cz = 0; cz < CHUNK_COUNT; cz++) {
            int i = chunkIndex(cx, cz);
            if (!chunkDirty[i]) {
                continue;
            }
            buildTerrainMesh(cx, cz);
            buildBlockMesh(cx, cz);
            buildFallingMesh(cx, cz);
            terrainCollision[i] = buildCollisionList(
                terrainCollision[i], terrainMeshes[i].vertexCount, terrainMeshes[i].positions);
            blockCollision[i] = buildCollisionList(blockCollision[i], blockMeshes[i].vertexCount,
                                                   blockMeshes[i].positions);
            fallingCollision[i] = buildCollisionList(
                fallingCollision[i], fallingMeshes[i].vertexCount, fallingMeshes[i].positions);
            chunkDirty[i] = 0;
        }
    }
    settleReady = true;
}
