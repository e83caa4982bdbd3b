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

const int GROUP_FLOATS = 7;

static float least(float a, float b) {
    return b < a ? b : a;
}
static float most(float a, float b) {
    return b > a ? b : a;
}

// The box around each run of triangles and the run's largest extent sum.
static void fillGroupBounds(CollisionList& list) {
    for (int g = 0; g < list.groupCount; g++) {
        float* box = list.groupBounds + GROUP_FLOATS * g;
        int first = g * COLLISION_GROUP_SIZE;
        int end = first + COLLISION_GROUP_SIZE < list.triangleCount ? first + COLLISION_GROUP_SIZE
                                                                    : list.triangleCount;
        float lo[3] = {list.corner0[3 * first], list.corner0[3 * first + 1],
                       list.corner0[3 * first + 2]};
        float hi[3] = {lo[0], lo[1], lo[2]};
        float extentSum = 0.0f;
        for (int i = first; i < end; i++) {
            const float* corners[3] = {list.corner0 + 3 * i, list.corner1 + 3 * i,
                                       list.corner2 + 3 * i};
            float sum = 0.0f;
            for (int axis = 0; axis < 3; axis++) {
                float a = corners[0][axis], b = corners[1][axis], c = corners[2][axis];
                float triangleLo = least(a, least(b, c)), triangleHi = most(a, most(b, c));
                lo[axis] = least(lo[axis], triangleLo);
                hi[axis] = most(hi[axis], triangleHi);
                sum += triangleHi - triangleLo;
            }
            extentSum = most(extentSum, sum);
        }
        box[0] = lo[0], box[1] = lo[1], box[2] = lo[2];
        box[3] = hi[0], box[4] = hi[1], box[5] = hi[2];
        box[6] = extentSum;
    }
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
        delete[] list->groupBounds;
        allocate = true;
    }
    if (allocate) {
        list->triangleCount = triangles;
        list->corner0 = new float[3 * triangles];
        list->corner1 = new float[3 * triangles];
        list->corner2 = new float[3 * triangles];
        list->normal = new float[3 * triangles];
        list->groupCount = (triangles + COLLISION_GROUP_SIZE - 1) / COLLISION_GROUP_SIZE;
        list->groupBounds = new float[GROUP_FLOATS * list->groupCount];
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
    fillGroupBounds(*list);
    return list;
}
