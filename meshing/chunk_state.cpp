// chunk_state.cpp: the per-chunk mesh and collision sets. The arrays they
// point to are heap-allocated by the builders and replaced only when a
// chunk's count changes.
#include "meshing/chunks.h"

ChunkMesh terrainMeshes[CHUNK_TOTAL];
ChunkMesh blockMeshes[CHUNK_TOTAL];
ChunkMesh fallingMeshes[CHUNK_TOTAL];
ChunkMesh blockSeamFillers[CHUNK_TOTAL];
CollisionList* terrainCollision[CHUNK_TOTAL];
CollisionList* blockCollision[CHUNK_TOTAL];
CollisionList* fallingCollision[CHUNK_TOTAL];
bool settleReady = false;
