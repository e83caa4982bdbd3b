// triangle_lists.h: test support for the collision queries: CollisionLists
// built by hand from triangles or quads, and chunk slots filled with them.
#pragma once

#include "meshing/chunks.h"
#include "physics/geometry.h"
#include "physics/vector3.h"

#include <cmath>
#include <vector>

// Owns the arrays behind one CollisionList; normals by triangleNormal, as the
// list builder makes them.
struct TestList {
    std::vector<float> c0, c1, c2, n;
    CollisionList list{0, nullptr, nullptr, nullptr, nullptr};

    void add(Vector3 a, Vector3 b, Vector3 c) {
        Vector3 nn = triangleNormal(a, b, c);
        const float* src[4] = {&a.x, &b.x, &c.x, &nn.x};
        std::vector<float>* dst[4] = {&c0, &c1, &c2, &n};
        for (int k = 0; k < 4; k++)
            dst[k]->insert(dst[k]->end(), src[k], src[k] + 3);
        refresh();
    }
    // A quad wound counter-clockwise seen from its open side, split as the
    // list builder splits quads: (q0, q1, q2) and (q3, q0, q2).
    void addQuad(Vector3 q0, Vector3 q1, Vector3 q2, Vector3 q3) {
        add(q0, q1, q2);
        add(q3, q0, q2);
    }
    void clear() {
        c0.clear();
        c1.clear();
        c2.clear();
        n.clear();
        refresh();
    }
    void refresh() {
        list.triangleCount = static_cast<int>(c0.size() / 3);
        list.corner0 = c0.data();
        list.corner1 = c1.data();
        list.corner2 = c2.data();
        list.normal = n.data();
    }
    Triangle triangle(int i) const {
        return Triangle{{c0[3 * i], c0[3 * i + 1], c0[3 * i + 2]},
                        {c1[3 * i], c1[3 * i + 1], c1[3 * i + 2]},
                        {c2[3 * i], c2[3 * i + 1], c2[3 * i + 2]}};
    }
};

// Horizontal floor square [x0, x1] x [z0, z1] at height y, open side up.
inline void addFloor(TestList& t, float x0, float z0, float x1, float z1, float y) {
    t.addQuad({x0, y, z0}, {x0, y, z1}, {x1, y, z1}, {x1, y, z0});
}
// Horizontal ceiling square at height y, open side down.
inline void addCeiling(TestList& t, float x0, float z0, float x1, float z1, float y) {
    t.addQuad({x0, y, z0}, {x1, y, z0}, {x1, y, z1}, {x0, y, z1});
}
// Wall in the plane x = x0 over [z0, z1] x [y0, y1], open side towards -x.
inline void addWallFacingNegX(TestList& t, float x0, float z0, float z1, float y0, float y1) {
    t.addQuad({x0, y0, z0}, {x0, y0, z1}, {x0, y1, z1}, {x0, y1, z0});
}

// Empty lists for every chunk slot that has none, and empty falling meshes;
// tests then point the slots they need at their own lists.
struct TestWorld {
    TestList empty;
    TestWorld() { reset(); }
    void reset() {
        for (int i = 0; i < CHUNK_TOTAL; i++) {
            terrainCollision[i] = &empty.list;
            blockCollision[i] = &empty.list;
            fallingCollision[i] = &empty.list;
            fallingMeshes[i].vertexCount = 0;
        }
    }
};
