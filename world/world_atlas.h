// world_atlas.h: where each picture lies in Media/worldtexture.png. The
// artwork generator draws its tiles here and the game takes its texture
// coordinates from here, so the two cannot drift apart.
//
// Texels of the 1024 x 1024 atlas, x to the right, y down from the image's
// top row (texture v = 0 is the top row, as the image is uploaded).
#pragma once

const int WORLD_ATLAS_SIZE = 1024; // texels per side
const int WORLD_TILE_SIZE = 128;   // texels per tile side; one block cell

// Block faces: a strip of tiles from x 64, one tile per cell to the right
// and downward, repeating through the wrapping texture; its pattern and
// margins fill x 0..767.
const int BLOCK_STRIP_LEFT = 64;
const int BLOCK_STRIP_END = 768;

// The right-hand column (x 768..1023) holds one tile per band, at x 832..959,
// with 64 texels of the same picture on every side, so filtering and the
// smaller mipmap levels read that picture at the tile's edges. Bands, from
// the top: water 0..255, terrain 256..511, neutral figure 512..767, figure
// 768..1023.
const int TILE_COLUMN_LEFT = 832;
const int WATER_TILE_TOP = 64;
const int TERRAIN_TILE_TOP = 320;
// The figures' cloth in light grey, tinted per kind with "tintfigures".
const int NEUTRAL_FIGURE_TILE_TOP = 576;
// The figures' orange cloth, drawn untinted.
const int FIGURE_TILE_TOP = 832;
const int WATER_BAND_END = 256;
const int TERRAIN_BAND_END = 512;
const int NEUTRAL_FIGURE_BAND_END = 768;

// A texel position as a texture coordinate; exact, the size being a power of two.
constexpr float atlasCoordinate(int texels) { return (float)texels / WORLD_ATLAS_SIZE; }

// Texture-coordinate tables into the world atlas, four (u, v) pairs each in
// the order the mesh builders consume them: (left, bottom), (right, bottom),
// (right, top), (left, top).
extern float waterTile[8];
extern float terrainTile[8];
extern float blockFaceTexCoords[6][36][8]; // [W 0..5][H 0..35] cells of a merged face
void fillTextureTables();
