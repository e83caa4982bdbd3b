// scene_layout.h: the pure decisions of the scene renderer: which chunk
// positions around the player are drawn, which mesh slot each shows, which
// of them the frustum lets through, and where the action label stands.
#pragma once

#include "app/settings.h"
#include "render/frustum.h"

// One chunk position of the endless tiling: (i, j) in chunk units, drawn at
// (5 i, 0, 5 j) with the meshes of slot `slot` (cx * 10 + cz, both wrapped).
struct ChunkPosition {
    int i, j;
    int slot;
};

// The square a view range spans, at the largest range allowed.
const int MAX_DISC_POSITIONS = (2 * MAX_VIEW_RANGE + 1) * (2 * MAX_VIEW_RANGE + 1);

// The chunk a world coordinate lies in: floor(v / 5), so -0.1 is in chunk -1.
// NaN gives 0; values beyond a million chunks are held there.
int chunkCoordinate(float worldCoordinate);

// The range the renderer draws with: a negative setting draws as 0, which
// keeps the far plane in front of the near plane.
int drawnViewRange(int viewRange);
// The far plane and the end of the fog: 5 units per chunk of range, plus 5.
float farPlaneDistance(int viewRange);

// Fills `out` with every position (i, j) whose distance from (centreI,
// centreJ) is strictly below `range`, i outer and j inner, both ascending;
// returns how many were written (never more than capacity). A range of 0 or
// less gives none.
int discChunkPositions(int centreI, int centreJ, int range, ChunkPosition* out, int capacity);

// A chunk column of 35 levels, tried as seven stacked cubes of edge 5.
bool chunkColumnVisible(const ViewFrustum& frustum, int i, int j);
// Only the lowest cube of the column: where the water lies.
bool waterSlabVisible(const ViewFrustum& frustum, int i, int j);

// The action label in the top-right corner, window pixels.
const int LABEL_PANEL_WIDTH = 250;
const int LABEL_PANEL_HEIGHT = 10;
const int LABEL_PANEL_Y = 25;
const int LABEL_TEXT_Y = 20;

int labelPanelX(float screenWidth);
// Left x to pass to drawText so the text is centred on the panel's middle.
int labelTextX(int panelX, const char* text);
// The label's text for an action mode, in plain words when plainLabels is
// set; null for a value outside 0..8.
const char* labelText(int action);

// With plainLabels, while slow motion is on: a smaller panel centred under
// the label that says so.
const int SLOW_MOTION_PANEL_WIDTH = 150;
const int SLOW_MOTION_PANEL_Y = 75; // its frame starts where the label's ends
const int SLOW_MOTION_TEXT_Y = 70;
extern const char* const slowMotionText;
int slowMotionPanelX(float screenWidth);
