// test_models.cpp: the three static models as drawn: triangle counts, sizes
// after scaling, winding seen from outside, and the figure tile coordinates.
#include "render/models.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct V {
    double x, y, z;
};
V at(const Model& m, int i) {
    return V{m.positions[i].x, m.positions[i].y, m.positions[i].z};
}
V sub(V a, V b) {
    return V{a.x - b.x, a.y - b.y, a.z - b.z};
}
V cross(V a, V b) {
    return V{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double dot(V a, V b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
double len(V a) {
    return std::sqrt(dot(a, a));
}

// Every vertex of triangles [first, last) lies at `radius` from `centre`,
// and every triangle's front (counter-clockwise side) faces away from it.
void expectSphere(const Model& m, int first, int last, V centre, double radius) {
    for (int t = first; t < last; t++) {
        V a = at(m, 3 * t), b = at(m, 3 * t + 1), c = at(m, 3 * t + 2);
        for (V p : {a, b, c})
            ASSERT_NEAR(len(sub(p, centre)), radius, 1e-5) << "triangle " << t;
        V front = cross(sub(b, a), sub(c, a));
        ASSERT_GT(len(front), 1e-6) << "degenerate triangle " << t;
        V mid = {(a.x + b.x + c.x) / 3 - centre.x, (a.y + b.y + c.y) / 3 - centre.y,
                 (a.z + b.z + c.z) / 3 - centre.z};
        ASSERT_GT(dot(front, mid), 0.0) << "triangle " << t << " faces inward";
    }
}

// The sphere is closed: its triangles' areas add up to nearly the sphere's
// surface (a little less, being flat).
void expectClosedSphere(const Model& m, int first, double radius) {
    double area = 0.0;
    for (int t = first; t < first + 72; t++) {
        V a = at(m, 3 * t), b = at(m, 3 * t + 1), c = at(m, 3 * t + 2);
        area += 0.5 * len(cross(sub(b, a), sub(c, a)));
    }
    double sphere = 4.0 * 3.14159265 * radius * radius;
    EXPECT_LT(area, sphere);
    EXPECT_GT(area, 0.85 * sphere);
}

TEST(Models, StoredSizes) {
    buildModels();
    EXPECT_EQ(jointModel.vertexCount, 216);
    EXPECT_EQ(limbModel.vertexCount, 264);
    EXPECT_EQ(bigBallModel.vertexCount, 216);
    expectSphere(jointModel, 0, 72, V{0, 0, 0}, 0.5);
    expectSphere(bigBallModel, 0, 72, V{0, 0, 0}, 0.5);
    // The inner point of the (+, +, +) face and an edge point at 30 degrees.
    bool inner = false, edge = false;
    for (int i = 0; i < jointModel.vertexCount; i++) {
        V p = at(jointModel, i);
        inner |= std::fabs(p.x - 0.5 * std::sqrt(0.3)) < 1e-6 && std::fabs(p.y - p.x) < 1e-6 &&
                 std::fabs(p.z - 0.5 * std::sqrt(0.4)) < 1e-6;
        edge |= std::fabs(p.x - 0.25) < 1e-6 && std::fabs(p.y) < 1e-6 &&
                std::fabs(p.z - 0.5 * std::cos(3.14159265 / 6)) < 1e-6;
    }
    EXPECT_TRUE(inner);
    EXPECT_TRUE(edge);
}

TEST(Models, DrawnSizesWindingAndTexture) {
    buildModels();
    scaleModels();
    expectSphere(jointModel, 0, 72, V{0, 0, 0}, 0.25);
    expectClosedSphere(jointModel, 0, 0.25);
    expectSphere(bigBallModel, 0, 72, V{0, 0, 0}, 1.0);
    expectClosedSphere(bigBallModel, 0, 1.0);

    // The limb: 16 rod triangles of radius 0.125 from y = 0 to y = -1, then the
    // ball of radius 0.25 centred at the rod's end.
    int rod = 0;
    double lowest = 0.0, highest = -2.0;
    for (int t = 0; t < 88; t++) {
        V a = at(limbModel, 3 * t), b = at(limbModel, 3 * t + 1), c = at(limbModel, 3 * t + 2);
        bool onRod = true;
        for (V p : {a, b, c}) {
            onRod &= std::fabs(std::hypot(p.x, p.z) - 0.125) < 1e-5 &&
                     (std::fabs(p.y) < 1e-6 || std::fabs(p.y + 1.0) < 1e-6);
            lowest = std::min(lowest, p.y);
            highest = std::max(highest, p.y);
        }
        if (onRod) {
            rod++;
            V front = cross(sub(b, a), sub(c, a));
            V out = {(a.x + b.x + c.x) / 3, 0.0, (a.z + b.z + c.z) / 3};
            EXPECT_GT(dot(front, out), 0.0) << "rod triangle " << t << " faces the axis";
        }
    }
    EXPECT_EQ(rod, 16);
    expectSphere(limbModel, 16, 88, V{0, -1, 0}, 0.25);
    EXPECT_NEAR(highest, 0.0, 1e-6); // the rod starts at the origin, nothing above it
    EXPECT_NEAR(lowest, -1.25, 1e-6);

    const Model* all[3] = {&jointModel, &limbModel, &bigBallModel};
    const float uv[6] = {0.8125f, 0.9375f, 0.9375f, 0.9375f, 0.8125f, 0.8125f};
    for (const Model* m : all)
        for (int v = 0; v < m->vertexCount; v++) {
            ASSERT_EQ(m->texCoords[2 * v], uv[2 * (v % 3)]);
            ASSERT_EQ(m->texCoords[2 * v + 1], uv[2 * (v % 3) + 1]);
        }

    // Building again starts from the stored tables: no double scaling.
    buildModels();
    scaleModels();
    expectSphere(jointModel, 0, 72, V{0, 0, 0}, 0.25);
}

} // namespace
