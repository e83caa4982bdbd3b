// chunks.h: per-chunk quad meshes and collision triangle lists, and the
// rebuild pass that keeps them in step with the world grids.
//
// Positions are chunk-local in x and z (0..5) and absolute in y; the renderer
// translates chunk (cx, cz) by (5 cx, 0, 5 cz), collision queries subtract it.
#pragma once

#include "world/world.h"

struct ChunkMesh {
    int vertexCount;  // always a multiple of 4; every 4 vertices are one quad
    float* positions; // 3 floats per vertex
    float* texCoords; // 2 floats per vertex, into the world atlas
    float* normals;   // 3 floats per vertex, or null when "uselight" is off
};

struct CollisionList {
    int triangleCount;
    float* corner0; // 3 floats per triangle
    float* corner1;
    float* corner2;
    float* normal; // unit normal per triangle, pointing into the solid
};

extern ChunkMesh terrainMeshes[CHUNK_TOTAL]; // floor and ceiling surfaces
extern ChunkMesh blockMeshes[CHUNK_TOTAL];   // visible faces of solid blocks
extern ChunkMesh fallingMeshes[CHUNK_TOTAL]; // visible faces of falling blocks
extern CollisionList* terrainCollision[CHUNK_TOTAL]; // null until first built
extern CollisionList* blockCollision[CHUNK_TOTAL];
extern CollisionList* fallingCollision[CHUNK_TOTAL];

// Set by every rebuild pass, read and cleared by the settling clock, so that a
// settling step never runs twice without the meshes catching up in between.
extern bool settleReady;

enum BlockFace { PosX = 0, NegX = 1, PosY = 2, NegY = 3, PosZ = 4, NegZ = 5 };

void rebuildDirtyChunks();
void buildTerrainMesh(int cx, int cz);
void buildBlockMesh(int cx, int cz);
void buildFallingMesh(int cx, int cz);
CollisionList* buildCollisionList(CollisionList* list, int vertexCount, const float* positions);
void quadNormals(int vertexCount, float* normals, const float* positions);

// Sizes a mesh's arrays for vertexCount vertices: kept when the count is
// unchanged, otherwise released and allocated anew (normals only with
// "uselight"). Shared by the three mesh builders.
void prepareMeshArrays(ChunkMesh& mesh, int vertexCount);

// Work arrays of the block mesh builder, [x][y][z][face]: the width and height
// in cells of the quad that starts at that face, 0 where none starts. Only
// the entries of the chunk being built mean anything, and only during the build.
extern int faceWidth[WORLD_SIZE][WORLD_LEVELS][WORLD_SIZE][6];
extern int faceHeight[WORLD_SIZE][WORLD_LEVELS][WORLD_SIZE][6];
