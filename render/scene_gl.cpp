// scene_gl.cpp: draws one frame of the 3D world from the view camera: the chunk
// meshes of the endless tiling around the player, balls, enemies, the player,
// the aim marker, the rope and the water; then the action label on top.
//
// Expects the GL state start-up leaves (depth test, back-face culling with
// counter-clockwise fronts, source-alpha blend function) and leaves texturing,
// fog, lighting, blending and the client arrays off for the 2D overlay.
#include "render/scene_gl.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>

#include "app/settings.h"
#include "game/game.h"
#include "game/models.h"
#include "meshing/chunks.h"
#include "render/camera_gl.h"
#include "render/figure_draw_gl.h"
#include "render/figure_tints.h"
#include "render/scene_layout.h"
#include "render/textures_gl.h"
#include "ui/draw2d_gl.h"
#include "ui/pause_state.h"
#include "ui/ui_layout.h"

static const float CHUNK_EDGE = 5.0f;           // world units per chunk side
static const float ENEMY_CULL_HALF_SIZE = 1.5f; // world units around the body's centre
static const float JOINT_RADIUS = 0.25f;        // the joint model as drawn: balls, beads, marker
static const float BIG_BALL_RADIUS = 1.0f;
static const int ROPE_BEADS = 50;
static const float WATER_OPACITY = 0.75f;

bool plainSceneDrawing = false;

// What the frustum would skip is drawn all the same in the plain drawing.
static bool drawnIfSeen(bool seen) {
    return seen || plainSceneDrawing;
}

// The disc of positions is the same for the chunk and the water pass; kept
// here rather than on the stack (up to 40401 entries at the largest range).
static ChunkPosition discPositions[MAX_DISC_POSITIONS];

// Chunk vertices moved to their place in the world, for the one draw at hand.
// Grows to the largest mesh drawn and is kept, so a steady frame allocates
// nothing.
static float* placedPositions = nullptr;
static int placedCapacity = 0; // vertices

// Neighbouring chunks share their border vertices. Drawn each under its own
// translation, the same corner would come out of two float matrices that
// differ in their last bits, a hair apart on screen. Adding the chunk's offset
// to the vertices instead keeps one modelview for all the ground: offsets are
// multiples of 5 and x and z small whole numbers, so the sums are exact and
// both sides of a border hand GL the very same numbers.
static const float* placeVertices(const float* positions, int vertexCount, float dx, float dz) {
    if (vertexCount > placedCapacity) {
        delete[] placedPositions;
        placedCapacity = vertexCount * 2;
        placedPositions = new float[3 * (size_t)placedCapacity];
    }
    for (int v = 0; v < vertexCount; v++) {
        placedPositions[3 * v] = positions[3 * v] + dx;
        placedPositions[3 * v + 1] = positions[3 * v + 1];
        placedPositions[3 * v + 2] = positions[3 * v + 2] + dz;
    }
    return placedPositions;
}

// mode: GL_QUADS for the chunk meshes, GL_TRIANGLES for the seam fillers.
static void drawChunkMesh(const ChunkMesh& mesh, GLenum mode, bool lighting, float dx, float dz) {
    if (mesh.vertexCount <= 0 || mesh.positions == nullptr || mesh.texCoords == nullptr) {
        return;
    }
    glVertexPointer(3, GL_FLOAT, 0, placeVertices(mesh.positions, mesh.vertexCount, dx, dz));
    glTexCoordPointer(2, GL_FLOAT, 0, mesh.texCoords);
    if (lighting && mesh.normals == nullptr) {
        // A lit pass over a mesh built without normals would read the previous
        // mesh's normal array past its end; draw this one without.
        glDisableClientState(GL_NORMAL_ARRAY);
        glDrawArrays(mode, 0, mesh.vertexCount);
        glEnableClientState(GL_NORMAL_ARRAY);
        return;
    }
    if (lighting) {
        glNormalPointer(GL_FLOAT, 0, mesh.normals);
    }
    glDrawArrays(mode, 0, mesh.vertexCount);
}

static void drawModelAt(const Model& model, float x, float y, float z) {
    glPushMatrix();
    glTranslatef(x, y, z);
    drawModel(model);
    glPopMatrix();
}

static void setupLight() {
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    // Set after the camera matrix is loaded, so the light sits at the eye.
    const float position[4] = {viewCamera.position.x, viewCamera.position.y, viewCamera.position.z,
                               1.0f};
    const float white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glLightfv(GL_LIGHT0, GL_AMBIENT, white);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT0, GL_SPECULAR, white);
    glEnableClientState(GL_NORMAL_ARRAY);
}

// Linear fog to black that ends at the far plane, so geometry fades out
// exactly where it is clipped.
static void setupFog(float farPlane) {
    const float black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogfv(GL_FOG_COLOR, black);
    glHint(GL_FOG_HINT, GL_DONT_CARE);
    glFogf(GL_FOG_START, SCENE_NEAR_PLANE);
    glFogf(GL_FOG_END, farPlane);
    glEnable(GL_FOG);
}

// Distance order: the software renderer tests depth before it textures, fogs
// and lights a fragment, so whatever is drawn first hides the rest cheaply.
// Opaque things near the eye go first; the result is the same picture, since
// the depth test keeps the nearest fragment whatever the order.
struct DrawOrder {
    float distance; // squared, from the eye
    int index;
};
static DrawOrder chunkOrder[MAX_DISC_POSITIONS];
static DrawOrder ballOrder[MAX_BALLS];
static DrawOrder figureOrder[MAX_FIGURES];

static float squaredEyeDistance(float x, float y, float z) {
    const float dx = x - viewCamera.position.x;
    const float dy = y - viewCamera.position.y;
    const float dz = z - viewCamera.position.z;
    return dx * dx + dy * dy + dz * dz;
}

static void sortNearFirst(DrawOrder* order, int count) {
    if (plainSceneDrawing) {
        return;
    }
    std::sort(order, order + count, [](const DrawOrder& a, const DrawOrder& b) {
        return a.distance < b.distance || (a.distance == b.distance && a.index < b.index);
    });
}

static void drawChunks(const ViewFrustum& frustum, int positionCount) {
    const bool lighting = useLight;
    int count = 0;
    for (int n = 0; n < positionCount; n++) {
        const ChunkPosition& p = discPositions[n];
        if (drawnIfSeen(chunkColumnVisible(frustum, p.i, p.j))) {
            const float half = 0.5f * CHUNK_EDGE;
            chunkOrder[count++] = {squaredEyeDistance(CHUNK_EDGE * p.i + half,
                                                      viewCamera.position.y,
                                                      CHUNK_EDGE * p.j + half),
                                   n};
        }
    }
    sortNearFirst(chunkOrder, count);
    for (int k = 0; k < count; k++) {
        const ChunkPosition& p = discPositions[chunkOrder[k].index];
        const float dx = CHUNK_EDGE * p.i, dz = CHUNK_EDGE * p.j;
        drawChunkMesh(terrainMeshes[p.slot], GL_QUADS, lighting, dx, dz);
        drawChunkMesh(blockMeshes[p.slot], GL_QUADS, lighting, dx, dz);
        if (fallingMeshes[p.slot].vertexCount > 0) {
            // Falling blocks glide down through the current settling step.
            glPushMatrix();
            glTranslatef(0.0f, -settleProgress, 0.0f);
            drawChunkMesh(fallingMeshes[p.slot], GL_QUADS, lighting, dx, dz);
            glPopMatrix();
        }
    }
    // Then what closes the merged quads' T-junctions, only where nothing at
    // all has been drawn: at the far end of the depth range a filler passes
    // only where the depth is still the cleared 1, so the hair it reaches past
    // its edge never shows over a face or a figure. From both sides, since a
    // triangle this thin may turn either way once rounded to the pixel grid.
    glDisable(GL_CULL_FACE);
    glDepthRange(1.0, 1.0);
    glDepthFunc(GL_LEQUAL);
    glDepthMask(GL_FALSE);
    for (int k = 0; k < count; k++) {
        const ChunkPosition& p = discPositions[chunkOrder[k].index];
        drawChunkMesh(blockSeamFillers[p.slot], GL_TRIANGLES, lighting, CHUNK_EDGE * p.i,
                      CHUNK_EDGE * p.j);
    }
    glDepthMask(GL_TRUE);
    glDepthFunc(GL_LESS);
    glDepthRange(0.0, 1.0);
    glEnable(GL_CULL_FACE);
}

static void tint(int kind) {
    if (tintFigures) {
        const float* colour = figureTint(kind);
        glColor4f(colour[0], colour[1], colour[2], 1.0f);
    }
}

// A ball or bead is drawn only when the cube round its sphere meets the view.
static void drawJointIfSeen(const ViewFrustum& frustum, float x, float y, float z) {
    if (drawnIfSeen(cubeInFrustum(frustum, x, y, z, JOINT_RADIUS))) {
        drawModelAt(jointModel, x, y, z);
    }
}

static void drawBalls(const ViewFrustum& frustum) {
    int count = 0;
    for (int n = 0; n < ballCount; n++) {
        const Vector3& p = balls[n].position;
        const float radius = balls[n].kind == 1 ? BIG_BALL_RADIUS : JOINT_RADIUS;
        if ((balls[n].kind == 0 || balls[n].kind == 1) &&
            drawnIfSeen(cubeInFrustum(frustum, p.x, p.y, p.z, radius))) {
            ballOrder[count++] = {squaredEyeDistance(p.x, p.y, p.z), n};
        }
    }
    sortNearFirst(ballOrder, count);
    for (int k = 0; k < count; k++) {
        const Ball& ball = balls[ballOrder[k].index];
        drawModelAt(ball.kind == 1 ? bigBallModel : jointModel, ball.position.x, ball.position.y,
                    ball.position.z);
    }
}

static void drawEnemies(const ViewFrustum& frustum) {
    int count = 0;
    for (int n = 0; n < figureCount; n++) {
        const Vector3& p = figures[n].position;
        if (drawnIfSeen(cubeInFrustum(frustum, p.x, p.y, p.z, ENEMY_CULL_HALF_SIZE))) {
            figureOrder[count++] = {squaredEyeDistance(p.x, p.y, p.z), n};
        }
    }
    sortNearFirst(figureOrder, count);
    for (int k = 0; k < count; k++) {
        drawFigure(figures[figureOrder[k].index]);
    }
}

static void drawRope(const ViewFrustum& frustum) {
    // The last bead sits one step short of the anchor.
    const float sx = player.handX[0];
    const float sy = player.handY[0];
    const float sz = player.handZ[0];
    const float stepX = (player.ropeAnchor.x - sx) / ROPE_BEADS;
    const float stepY = (player.ropeAnchor.y - sy) / ROPE_BEADS;
    const float stepZ = (player.ropeAnchor.z - sz) / ROPE_BEADS;
    for (int k = 0; k < ROPE_BEADS; k++) {
        drawJointIfSeen(frustum, sx + k * stepX, sy + k * stepY, sz + k * stepZ);
    }
}

// Tinted, the figures are drawn from the light grey tile: the texture matrix
// moves the models' coordinates onto it, and back for everything else.
static void useFigureTile(bool tinted) {
    if (tintFigures) {
        glMatrixMode(GL_TEXTURE);
        glLoadIdentity();
        if (tinted) {
            glTranslatef(0.0f, neutralFigureTileShift(), 0.0f);
        }
        glMatrixMode(GL_MODELVIEW);
    }
}

// Each class of object is drawn in one place, so its look is set there.
static void drawObjects(const ViewFrustum& frustum, bool playerFaded) {
    // The player, then the aim marker and the rope, then the enemies and the
    // balls, each near first. A faded player comes last of all, over what
    // lies behind it.
    useFigureTile(true);
    if (!playerFaded) {
        tint(TintPlayer);
        drawFigure(player);
    }
    tint(TintAimAndRope);
    drawJointIfSeen(frustum, aimPoint.x, aimPoint.y, aimPoint.z);
    if (player.swinging) {
        drawRope(frustum);
    }
    tint(TintEnemy);
    drawEnemies(frustum);
    tint(TintBall);
    drawBalls(frustum);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    useFigureTile(false);
}

// Depth first, so the figure's own parts do not show through one another;
// then its colour at the given opacity, blended over everything behind it.
static void drawFadedPlayer(float opacity) {
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    drawFigure(player);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_BLEND);
    static const float untinted[3] = {1.0f, 1.0f, 1.0f};
    const float* colour = tintFigures ? figureTint(TintPlayer) : untinted;
    useFigureTile(true);
    glColor4f(colour[0], colour[1], colour[2], opacity);
    drawFigure(player);
    useFigureTile(false);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glDisable(GL_BLEND);
    glDepthFunc(GL_LESS);
}

static void drawWater(const ViewFrustum& frustum, int positionCount) {
    glEnable(GL_BLEND);
    glColor4f(1.0f, 1.0f, 1.0f, WATER_OPACITY);
    for (int n = 0; n < positionCount; n++) {
        const ChunkPosition& p = discPositions[n];
        const WaterMesh& mesh = waterMeshes[p.slot];
        if (!drawnIfSeen(waterSlabVisible(frustum, p.i, p.j))) {
            continue;
        }
        if (mesh.vertexCount <= 0 || mesh.positions == nullptr || mesh.texCoords == nullptr) {
            continue;
        }
        // Placed like the ground, so that the slabs' borders close as well.
        glVertexPointer(
            3, GL_FLOAT, 0,
            placeVertices(mesh.positions, mesh.vertexCount, CHUNK_EDGE * p.i, CHUNK_EDGE * p.j));
        glTexCoordPointer(2, GL_FLOAT, 0, mesh.texCoords);
        glDrawArrays(GL_QUADS, 0, mesh.vertexCount);
    }
    glDisable(GL_BLEND);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

static void drawActionLabel() {
    const char* text = labelText(actionType);
    if (text == nullptr) {
        return;
    }
    const int panelX = labelPanelX(screenWidth);
    drawPanel(panelX, LABEL_PANEL_Y, LABEL_PANEL_WIDTH, LABEL_PANEL_HEIGHT, PanelNormal);
    drawText(text, labelTextX(panelX, text), LABEL_TEXT_Y);
    if (slowMotionPanelShown(plainLabels, slowMotion)) {
        const int x = slowMotionPanelX(screenWidth);
        drawPanel(x, SLOW_MOTION_PANEL_Y, SLOW_MOTION_PANEL_WIDTH, LABEL_PANEL_HEIGHT, PanelNormal);
        drawText(slowMotionText,
                 centredTextX(x + SLOW_MOTION_PANEL_WIDTH / 2, (int)strlen(slowMotionText)),
                 SLOW_MOTION_TEXT_Y);
    }
}

void renderScene() {
    if (useTextures) {
        glEnable(GL_TEXTURE_2D);
    }
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glBindTexture(GL_TEXTURE_2D, worldTexture);

    const int range = drawnViewRange(viewRange);
    const float farPlane = farPlaneDistance(range);
    setupCamera(SCENE_NEAR_PLANE, farPlane);
    ViewFrustum frustum;
    extractFrustum(frustum);

    if (useFog) {
        setupFog(farPlane);
    }

    // Objects before the ground: they are near and opaque, and hide it.
    const float opacity = playerOpacity();
    if (!plainSceneDrawing) {
        drawObjects(frustum, opacity < 1.0f);
    }

    if (useLight) {
        setupLight();
    }
    // The player's body, not the camera, centres the disc.
    const int positionCount =
        discChunkPositions(chunkCoordinate(player.position.x), chunkCoordinate(player.position.z),
                           range, discPositions, MAX_DISC_POSITIONS);
    drawChunks(frustum, positionCount);
    if (useLight) {
        glDisable(GL_LIGHTING);
        glDisable(GL_LIGHT0);
        glDisableClientState(GL_NORMAL_ARRAY);
    }
    if (plainSceneDrawing) {
        drawObjects(frustum, opacity < 1.0f);
    }

    if (useWater) {
        drawWater(frustum, positionCount);
    }
    if (opacity < 1.0f) {
        drawFadedPlayer(opacity);
    }

    glDisable(GL_FOG);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisable(GL_TEXTURE_2D);
    drawActionLabel();
}
