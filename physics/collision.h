// collision.h: queries against the whole (endlessly repeating) world, and the
// terrain brush.
#pragma once

// Pushes a sphere out of every terrain, block and falling-block triangle of
// the chunks its square overlaps; true when anything moved it.
bool collideSphereWithWorld(float& x, float& y, float& z, float radius);

// Pulls the end back to the first surface crossed on the way from start;
// true on a hit, end unchanged otherwise.
bool clipSegmentToWorld(float startX, float startY, float startZ, float& endX, float& endY,
                        float& endZ);

// Distance (world units) from the point to the nearest terrain, block or
// falling-block triangle, on either side of it; `limit` when none is nearer
// than that (0 .. 50). Points that are not usable give `limit`.
float nearestSurfaceDistance(float x, float y, float z, float limit);

// Whether the line through (x1, z1) and (x2, z2), seen from above, passes
// through the cell xmin..xmax by zmin..zmax (world units).
bool lineTouchesCell(float x1, float z1, float x2, float z2, float xmin, float zmax, float xmax,
                     float zmin);
// The z of the line through (x1, z1) and (x2, z2) at x, and the x at z.
// A line parallel to the axis asked along (x2 == x1, or z2 == z1) has its
// second point moved 0.001 world units along that axis first, so the slope
// is steep but finite.
float lineZAtX(float x, float x1, float z1, float x2, float z2);
float lineXAtZ(float z, float x1, float z1, float x2, float z2);

// Spherical brush: raises the floor and lowers the ceiling samples inside the
// sphere by (r - h) * amount (a negative amount carves), clamped to
// [0.25, 34.75], and marks the chunks it passes over dirty.
void shapeTerrain(float x, float y, float z, float radius, float amount);
