// models.cpp: the three static triangle meshes of figures and balls: a
// subdivided octahedron sphere, and an eight-sided rod ending in that sphere.
// Built at the stored size; scaleModels brings them to the drawn size once.
#include "game/models.h"

#include "world/world_atlas.h"

#include <cmath>

Model jointModel;
Model limbModel;
Model bigBallModel;

const float STORED_RADIUS = 0.5f;      // sphere radius of all three tables
const float STORED_ROD_RADIUS = 0.25f; // rod radius of the limb table
const float STORED_ROD_LENGTH = 2.0f;  // rod runs from y = 0 down to the ball centre
const int ROD_SIDES = 8;
const int SPHERE_TRIANGLES = 72;

const float JOINT_SCALE = 0.5f;
const float LIMB_SCALE = 0.5f;
const float BIG_BALL_SCALE = 2.0f;
// The figure tile's corner of the world atlas, every triangle the same:
// (left, bottom), (right, bottom), (left, top).
const float FIGURE_LEFT = atlasCoordinate(TILE_COLUMN_LEFT);
const float FIGURE_RIGHT = atlasCoordinate(TILE_COLUMN_LEFT + WORLD_TILE_SIZE);
const float FIGURE_TOP = atlasCoordinate(FIGURE_TILE_TOP);
const float FIGURE_BOTTOM = atlasCoordinate(FIGURE_TILE_TOP + WORLD_TILE_SIZE);
const float FIGURE_TEX_COORDS[6] = {FIGURE_LEFT, FIGURE_BOTTOM, FIGURE_RIGHT,
                                    FIGURE_BOTTOM, FIGURE_LEFT,  FIGURE_TOP};

const double DEGREES_TO_RADIANS = 3.14159265 / 180.0;
const double EDGE_POINT_ANGLE = 30.0; // degrees from the nearer corner of an edge

static Vector3 vec(double x, double y, double z) {
    Vector3 v = {(float)x, (float)y, (float)z};
    return v;
}

// Appends triangle (a, b, c), turned so that it runs counter-clockwise seen
// from the side `outward` points to.
static void addTriangle(Model& m, Vector3 a, Vector3 b, Vector3 c, Vector3 outward) {
    float ex = b.x - a.x, ey = b.y - a.y, ez = b.z - a.z;
    float fx = c.x - a.x, fy = c.y - a.y, fz = c.z - a.z;
    float nx = ey * fz - ez * fy, ny = ez * fx - ex * fz, nz = ex * fy - ey * fx;
    if (nx * outward.x + ny * outward.y + nz * outward.z < 0.0f) {
        Vector3 t = b;
        b = c;
        c = t;
    }
    m.positions[m.vertexCount++] = a;
    m.positions[m.vertexCount++] = b;
    m.positions[m.vertexCount++] = c;
}

// The point of one octahedron face on a 3-step barycentric grid: `toB` and
// `toC` steps from corner A toward corners B and C. Edge points lie on the
// great circle at 30 and 60 degrees; the one inner point is fixed.
static Vector3 facePoint(int toB, int toC, const double a[3], const double b[3], const double c[3],
                         const double inner[3], double radius, double yOffset) {
    int toA = 3 - toB - toC;
    const double* p = nullptr; // the nearer corner of an edge point
    const double* q = nullptr; // its far corner
    double d[3] = {0, 0, 0};
    if (toA == 1 && toB == 1 && toC == 1) {
        for (int i = 0; i < 3; i++)
            d[i] = inner[i];
    } else if (toA == 3 || toB == 3 || toC == 3) {
        p = toA == 3 ? a : (toB == 3 ? b : c);
        for (int i = 0; i < 3; i++)
            d[i] = p[i];
    } else {
        // An edge point: two of the weights are 2 and 1, one is 0.
        if (toC == 0) {
            p = toA == 2 ? a : b, q = toA == 2 ? b : a;
        } else if (toB == 0) {
            p = toA == 2 ? a : c, q = toA == 2 ? c : a;
        } else {
            p = toB == 2 ? b : c, q = toB == 2 ? c : b;
        }
        double s = std::sin(EDGE_POINT_ANGLE * DEGREES_TO_RADIANS);
        double k = std::cos(EDGE_POINT_ANGLE * DEGREES_TO_RADIANS);
        for (int i = 0; i < 3; i++)
            d[i] = k * p[i] + s * q[i];
    }
    return vec(radius * d[0], radius * d[1] + yOffset, radius * d[2]);
}

// Direction from the sphere's centre to the triangle's centroid.
static Vector3 fromCentre(Vector3 a, Vector3 b, Vector3 c, double yOffset) {
    return vec(a.x + b.x + c.x, a.y + b.y + c.y - 3.0 * yOffset, a.z + b.z + c.z);
}

// 72 triangles: the eight faces of an octahedron, each split into nine.
static void addSphere(Model& m, double radius, double yOffset) {
    const double root03 = std::sqrt(0.3), root04 = std::sqrt(0.4);
    for (int octant = 0; octant < 8; octant++) {
        double sx = (octant & 1) ? -1.0 : 1.0;
        double sy = (octant & 2) ? -1.0 : 1.0;
        double sz = (octant & 4) ? -1.0 : 1.0;
        double a[3] = {sx, 0, 0}, b[3] = {0, sy, 0}, c[3] = {0, 0, sz};
        double inner[3] = {sx * root03, sy * root03, sz * root04};
        for (int i = 0; i < 3; i++) {
            for (int j = 0; i + j < 3; j++) {
                Vector3 p0 = facePoint(i, j, a, b, c, inner, radius, yOffset);
                Vector3 p1 = facePoint(i + 1, j, a, b, c, inner, radius, yOffset);
                Vector3 p2 = facePoint(i, j + 1, a, b, c, inner, radius, yOffset);
                addTriangle(m, p0, p1, p2, fromCentre(p0, p1, p2, yOffset));
                if (i + j < 2) {
                    Vector3 p3 = facePoint(i + 1, j + 1, a, b, c, inner, radius, yOffset);
                    addTriangle(m, p1, p3, p2, fromCentre(p1, p3, p2, yOffset));
                }
            }
        }
    }
}

void buildModels() {
    jointModel.vertexCount = 0;
    addSphere(jointModel, STORED_RADIUS, 0.0);

    bigBallModel.vertexCount = 0;
    addSphere(bigBallModel, STORED_RADIUS, 0.0);

    limbModel.vertexCount = 0;
    for (int side = 0; side < ROD_SIDES; side++) {
        double a0 = side * (360.0 / ROD_SIDES) * DEGREES_TO_RADIANS;
        double a1 = (side + 1) * (360.0 / ROD_SIDES) * DEGREES_TO_RADIANS;
        double r = STORED_ROD_RADIUS;
        Vector3 top0 = vec(r * std::cos(a0), 0.0, r * std::sin(a0));
        Vector3 top1 = vec(r * std::cos(a1), 0.0, r * std::sin(a1));
        Vector3 low0 = vec(r * std::cos(a0), -STORED_ROD_LENGTH, r * std::sin(a0));
        Vector3 low1 = vec(r * std::cos(a1), -STORED_ROD_LENGTH, r * std::sin(a1));
        double mid = (a0 + a1) * 0.5;
        Vector3 outward = vec(std::cos(mid), 0.0, std::sin(mid));
        addTriangle(limbModel, top0, top1, low1, outward);
        addTriangle(limbModel, top0, low1, low0, outward);
    }
    addSphere(limbModel, STORED_RADIUS, -STORED_ROD_LENGTH);

    Model* all[3] = {&jointModel, &limbModel, &bigBallModel};
    for (Model* m : all) {
        for (int i = 0; i < 2 * MODEL_MAX_VERTICES; i++) {
            m->texCoords[i] = 0.0f;
        }
    }
}

static void scaleModel(Model& m, float factor) {
    for (int v = 0; v < m.vertexCount; v++) {
        m.positions[v].x *= factor;
        m.positions[v].y *= factor;
        m.positions[v].z *= factor;
        m.texCoords[2 * v] = FIGURE_TEX_COORDS[2 * (v % 3)];
        m.texCoords[2 * v + 1] = FIGURE_TEX_COORDS[2 * (v % 3) + 1];
    }
}

void scaleModels() {
    scaleModel(jointModel, JOINT_SCALE);
    scaleModel(limbModel, LIMB_SCALE);
    scaleModel(bigBallModel, BIG_BALL_SCALE);
}
