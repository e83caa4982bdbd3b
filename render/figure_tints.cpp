// figure_tints.cpp: the colours of the figures with "tintfigures". Tinting
// multiplies the light grey tile, so a tint is the colour itself, a little
// darkened by the cloth.
#include "render/figure_tints.h"

#include "world/world_atlas.h"

static const float TINTS[FIGURE_TINT_KINDS][3] = {
    {1.0f, 0.5f, 0.16f},  // player: the orange of the untinted tile
    {0.95f, 0.14f, 0.12f}, // enemies
    {0.72f, 1.0f, 0.1f},  // balls
    {0.1f, 0.85f, 0.3f},  // aim marker and rope
};

const float* figureTint(int kind) {
    if (kind < 0 || kind >= FIGURE_TINT_KINDS) {
        kind = TintPlayer;
    }
    return TINTS[kind];
}

float neutralFigureTileShift() {
    return atlasCoordinate(NEUTRAL_FIGURE_TILE_TOP - FIGURE_TILE_TOP);
}
