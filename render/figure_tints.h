// figure_tints.h: with "tintfigures", the colour each kind of figure is drawn
// in and the atlas tile it is drawn from. The renderer only applies them.
#pragma once

enum FigureTintKind {
    TintPlayer,     // orange
    TintEnemy,      // red
    TintBall,       // yellow-green
    TintAimAndRope, // green: the aim marker and the rope's beads
    FIGURE_TINT_KINDS
};

// Red, green, blue (0..1) that multiply the light grey figure tile for a kind
// (TintPlayer .. TintAimAndRope); each far from the others, the grey-brown
// ground, the blue water and the dark.
const float* figureTint(int kind);

// Added to the v coordinate of the figure models to draw them from the light
// grey tile instead of the orange one (which they are built on): -0.25.
float neutralFigureTileShift();
