// chunks.h: per-chunk quad meshes and collision triangle lists, and the
// rebuild pass that keeps them in step with the world grids.
//
// Positions are chunk-local in x and z (0..5) and absolute in y; the renderer
// translates chunk (cx, cz) by (5 cx, 0, 5 cz), collision queries subtract it.
#pragma once

#include "world/world.h"

struct ChunkMesh {
    int vertexCount;  // a multiple of 4, every 4 vertices one quad (the seam
                      // fillers below: a multiple of 3, triangles)
    float* positions; // 3 floats per vertex
    float* texCoords; // 2 floats per vertex, into the world atlas
    float* normals;   // 3 floats per vertex, or null when "uselight" is off
    int revision;     // bumped by every rebuild, so anything made from the
                      // mesh can tell that it is out of date
};

struct CollisionList {
    int triangleCount;
    float* corner0; // 3 floats per triangle
    float* corner1;
    float* corner2;
    float* normal; // unit normal per triangle, pointing into the solid
    // Scan acceleration, derived from the corners by buildCollisionList: for
    // each run of COLLISION_GROUP_SIZE consecutive triangles, the box around
    // all their corners and the largest sum of one triangle's three extents.
    // A query that misses every triangle's grown box of a run skips the run
    // at once. groupCount 0 (a list made by hand): every triangle is tested.
    int groupCount;
    float* groupBounds; // 7 floats per run: min x, y, z, max x, y, z, extent sum
};
const int COLLISION_GROUP_SIZE = 16; // triangles per run: a few neighbouring quads

extern ChunkMesh terrainMeshes[CHUNK_TOTAL];         // floor and ceiling surfaces
extern ChunkMesh blockMeshes[CHUNK_TOTAL];           // visible faces of solid blocks
extern ChunkMesh fallingMeshes[CHUNK_TOTAL];         // visible faces of falling blocks
extern ChunkMesh blockSeamFillers[CHUNK_TOTAL];      // triangles closing the block meshes
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

// Merged block faces ("optimizegeometry") leave T-junctions: the corner of a
// smaller face sits inside a longer edge of its neighbour, in the same plane
// or round a block's edge. On screen that corner is rounded to the pixel grid
// on its own while the long edge stays straight, so a sliver can open between
// them and the background shows through, dotted along the edge; chunk
// borders, where merging stops on one side and not the other, show it most.
// The fillers close it without touching the quads or their lit corners: along
// every edge of a quad longer than one block, a fan of thin triangles from
// the edge's first corner through each block corner on it, wound like the
// quad, in its plane. Each block corner inside the edge is moved out of the
// quad by SEAM_FILLER_REACH (a thousandth of a block), so the fan covers the
// band just past the edge where the neighbour's corners may be rounded away
// from it, and has area enough for the rasteriser to draw it as a triangle
// (an exactly flat one may be dropped or shaded from a slope over nothing).
// Put back on the edge, every border step is exactly the edge its neighbour
// draws. Texture coordinates run along the edge; the normal is the quad's.
// fillers gets a multiple of 3 vertices (none without merged faces), its
// arrays sized as any mesh's. The renderer draws them only where nothing else
// is drawn, so the band past the edge never shows over anything.
const float SEAM_FILLER_REACH = 1.0f / 1024.0f; // world units; a power of two keeps sums exact
void buildSeamFillers(ChunkMesh& fillers, const ChunkMesh& quads);

// Sizes a mesh's arrays for vertexCount vertices: kept when the count is
// unchanged, otherwise released and allocated anew (normals only with
// "uselight"), and bumps the mesh's revision. Every builder calls it once.
void prepareMeshArrays(ChunkMesh& mesh, int vertexCount);

// Work arrays of the block mesh builder, [x - x0][z - z0][y][face] over the
// chunk being built: the width and height in cells of the quad that starts at
// that face, 0 where none starts. They mean something only during a build.
extern int faceWidth[CHUNK_SIZE][CHUNK_SIZE][WORLD_LEVELS][6];
extern int faceHeight[CHUNK_SIZE][CHUNK_SIZE][WORLD_LEVELS][6];
