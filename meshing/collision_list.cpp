// collision_list.cpp: the collision triangles of one chunk mesh. Each quad
// (q0, q1, q2, q3) becomes (q0, q1, q2) and (q3, q0, q2); both keep the
// quad's winding, so every normal points into the solid behind the face.
#include "meshing/chunks.h"
#include "physics/vector3.h"

static Vector3 vertexAt(const float* positions, int vertex) {
    const float* p = positions + 3 * vertex;
    Vector3 v = {p[0], p[1], p[2]};
    return v;
}

static void storeVector(float* array, int index, Vector3 v) {
    array[3 * index] = v.x;
    array[3 * index + 1] = v.y;
    array[3 * index + 2] = v.z;
}

CollisionList* buildCollisionList(CollisionList* list, int vertexCount, const float* positions) {
    int quads = vertexCount / 4;
    int triangles = 2 * quads;
    bool allocate = false;
    if (list == nullptr) {
        list = new CollisionList();
        allocate = true;
    } else if (list->triangleCount != triangles) {
        delete[] list->corner0;
        delete[] list->corner1;
        delete[] list->corner2;
        delete[] list->normal;
        allocate = true;
    }
    if (allocate) {
        list->triangleCount = triangles;
        list->corner0 = new float[3 * triangles];
        list->corner1 = new float[3 * triangles];
        list->corner2 = new float[3 * triangles];
        list->normal = new float[3 * triangles];
    }
    for (int i = 0; i < triangles; i++) {
        int q = 4 * (i / 2);
        Vector3 a, b, c;
        if (i % 2 == 0) {
            a = vertexAt(positions, q), b = vertexAt(positions, q + 1),
            c = vertexAt(positions, q + 2);
        } else {
            a = vertexAt(positions, q + 3), b = vertexAt(positions, q),
            c = vertexAt(positions, q + 2);
        }
        storeVector(list->corner0, i, a);
        storeVector(list->corner1, i, b);
        storeVector(list->corner2, i, c);
        storeVector(list->normal, i, triangleNormal(a, b, c));
    }
    return list;
}
