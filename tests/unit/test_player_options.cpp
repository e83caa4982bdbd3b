// test_player_options.cpp: the trailing camera kept clear of surfaces, and the player's figure
// faded when that camera comes near it; comforts behind their own settings key.

#include "game_fixture.h"
#include "physics/collision.h"

namespace {

double segmentDistance(Point p, Point a, Point b) {
    const double t = std::clamp((p - a).dot(b - a) / (b - a).dot(b - a), 0.0, 1.0);
    return (p - (a + (b - a) * t)).norm();
}

// Brute force: the plane when p projects inside (each edge sees the projection on the same side as
// the triangle), else the nearest edge.
double nearestSurface(Point p, const std::vector<Tri>& tris) {
    double best = 1e30;
    for (const Tri& t : tris) {
        if ((p - t.a).norm() - t.size >= best)
            continue; // too far to be nearer
        const Point n = (t.b - t.a).cross(t.c - t.a), q = p - n * ((p - t.a).dot(n) / n.dot(n));
        const bool inside = (t.b - t.a).cross(q - t.a).dot(n) >= 0 &&
                            (t.c - t.b).cross(q - t.b).dot(n) >= 0 &&
                            (t.a - t.c).cross(q - t.c).dot(n) >= 0;
        best = std::min({best, inside ? (p - q).norm() : 1e30, segmentDistance(p, t.a, t.b),
                         segmentDistance(p, t.b, t.c), segmentDistance(p, t.c, t.a)});
    }
    return best;
}

// Random bodies in the open air of generated caves (half of them near a wall), looking any way,
// over either shoulder, coming from any earlier reach and at any rate. Every tick the camera either
// looks from the eye (no room at all) or stands on the line from the point above the body to its
// trailing place, at least half a unit out, with no surface between that point and it and none
// within the reach of the near plane's corners. With room for it, it eases all the way out.
TEST(CameraCollision, NearPlaneAndLineToTheBodyKeptClear) {
    Rng random(11);
    auto unit = [&] { return random.uniform(0.0f, 1.0f); };
    int poses = 0, pulled = 0, eye = 0, free = 0;
    for (unsigned int cave = 1; cave <= 3; ++cave) {
        freshWorld(cave * 7919, false);
        setWindow(cave == 2 ? 450.0f : 1280.0f, cave == 2 ? 660.0f : 720.0f);
        mouseInWindow = false;
        thirdPersonView = true, viewBlend = 1.0f;
        // The eye to a corner of the near plane: 0.1 ahead, 50 degrees high, the window's shape.
        const double h = 0.1 * std::tan(25 * 3.14159265358979 / 180),
                     reach = std::sqrt(0.01 + h * h * (1 + aspectRatio * aspectRatio));
        for (int pose = 0; pose < 300; ++pose) {
            const Vector3 body = {50 * unit(), 1.5f + 22 * unit(), 50 * unit()};
            const Point pivot = {body.x, body.y + 1.0, body.z};
            const std::vector<Tri> tris = trianglesNear(pivot, 7.0);
            const double room = nearestSurface(Point::of(body), tris);
            // The physics' own distance agrees with the brute force, a repeat away as well.
            ASSERT_NEAR(nearestSurfaceDistance(body.x - 50, body.y, body.z + 50, 3.0f),
                        std::min(room, 3.0), 1e-4);
            // Clear of surfaces by 1.25, the nearest height samples tell the cave from the rock.
            const int x = (int)std::lround(body.x) % 50, z = (int)std::lround(body.z) % 50;
            if (room < 1.25 || !(floorHeight[x][z] < body.y && body.y < ceilingHeight[x][z]) ||
                blocks[(int)body.x][(int)body.y][(int)body.z] || (pose % 2 && room > 3))
                continue; // in rock; or, every other pose, far from any wall
            poses++;
            player.position = player.head = body;
            player.head.y += 1.65f;
            thirdPersonCamera.pitch = player.pitch = (unit() * 2 - 1) * 1.13f;
            player.yaw = (unit() * 2 - 1) * 10;
            thirdPersonCamera.yaw = player.yaw - 1.570796325f;
            cameraSide = unit() < 0.5f, cameraSideBlend = cameraSide ? 1.0f : 0.0f;
            cameraCollision = false;
            updateCameraRig(1.0f);
            const Point trailing = Point::of(viewCamera.position);
            cameraCollision = true;
            cameraReach = unit();
            const float rate = unit() < 0.5f ? 1.0f : 0.25f + 2 * unit();
            for (int tick = 0; tick < 60; ++tick) {
                updateCameraRig(tick < 5 ? rate : 1.0f);
                if ((Point::of(viewCamera.position) - Point::of(player.head)).norm() == 0) {
                    eye += tick == 59;
                    continue;
                }
                const Point c = Point::of(viewCamera.position);
                ASSERT_GT(nearestSurface(c, tris), reach) << "cave " << cave << " pose " << pose;
                ASSERT_FALSE(firstCrossing(pivot, c, tris) <= 1)
                    << "cave " << cave << " pose " << pose;
                ASSERT_NEAR((c - pivot).norm() + (trailing - c).norm(), (trailing - pivot).norm(),
                            1e-4);
                ASSERT_GE((c - pivot).norm(), 0.5 - 1e-5);
            }
            const Point c = Point::of(viewCamera.position);
            if (nearestSurface(trailing, tris) > reach + 0.3 &&
                firstCrossing(pivot, trailing, tris) > 1) {
                free++;
                EXPECT_LT((c - trailing).norm(), 1e-4) << "cave " << cave << " pose " << pose;
            } else {
                pulled++;
            }
        }
    }
    cameraCollision = false;
    EXPECT_GT(pulled, poses / 10);
    EXPECT_GT(free, poses / 3);
    EXPECT_LT(eye, poses / 25) << "the eye only when there is no room at all";
}

// Far off, or seen from the eye, the figure is opaque; nearer than its own size to a trailing
// camera it fades, the more the nearer.
TEST(CameraCollision, FigureFadesWhenTheCameraComesNearIt) {
    float last = 0.0f;
    for (float d = 0.0f; d < 3.0f; d += 0.125f) {
        const float o = figureOpacity(d, 1.0f), half = figureOpacity(d, 0.5f);
        EXPECT_TRUE(d < 2 ? o > last && o < half && half < 1 : o == 1 && half == 1) << d;
        EXPECT_EQ(figureOpacity(d, 0.0f), 1.0f) << "first person, " << d;
        last = o;
    }
    EXPECT_EQ(figureOpacity(1e9f, 1.0f), 1.0f);
}

} // namespace
