// frustum.cpp: the scene camera's matrices and frustum culling as pure maths.
// The camera code loads exactly these matrices into GL, so the planes derived
// here are those of the picture that is drawn, and tests need no display.
#include "render/frustum.h"

#include <cmath>

static const float RADIANS_TO_DEGREES = 57.2957795f;
static const double PI_DOUBLE = 3.14159265358979323846;

// Column-major storage: element (row r, column c) lives at [4 c + r].
static void setIdentity(float m[16]) {
    for (int i = 0; i < 16; i++) {
        m[i] = (i % 5 == 0) ? 1.0f : 0.0f;
    }
}

// out = a * b, all column-major; out may not alias a or b.
static void multiplyMatrices(float out[16], const float a[16], const float b[16]) {
    for (int c = 0; c < 4; c++) {
        for (int r = 0; r < 4; r++) {
            float sum = 0.0f;
            for (int k = 0; k < 4; k++) {
                sum += a[4 * k + r] * b[4 * c + k];
            }
            out[4 * c + r] = sum;
        }
    }
}

// m = m * R, R the rotation glRotatef builds for `degrees` about the unit axis
// (ax, ay, az).
static void rotateMatrix(float m[16], float degrees, float ax, float ay, float az) {
    const double angle = degrees * PI_DOUBLE / 180.0;
    const float c = (float)std::cos(angle);
    const float s = (float)std::sin(angle);
    const float t = 1.0f - c;
    float r[16];
    setIdentity(r);
    r[0] = ax * ax * t + c;
    r[1] = ay * ax * t + az * s;
    r[2] = ax * az * t - ay * s;
    r[4] = ax * ay * t - az * s;
    r[5] = ay * ay * t + c;
    r[6] = ay * az * t + ax * s;
    r[8] = ax * az * t + ay * s;
    r[9] = ay * az * t - ax * s;
    r[10] = az * az * t + c;
    float product[16];
    multiplyMatrices(product, m, r);
    for (int i = 0; i < 16; i++) {
        m[i] = product[i];
    }
}

// Same numbers as gluPerspective, which works in double precision.
void perspectiveMatrix(float out[16], float fovYDegrees, float aspect, float zNear, float zFar) {
    const double halfAngle = fovYDegrees * 0.5 * PI_DOUBLE / 180.0;
    const double cotangent = std::cos(halfAngle) / std::sin(halfAngle);
    const double depth = (double)zFar - (double)zNear;
    for (int i = 0; i < 16; i++) {
        out[i] = 0.0f;
    }
    out[0] = (float)(cotangent / aspect);
    out[5] = (float)cotangent;
    out[10] = (float)(-((double)zFar + (double)zNear) / depth);
    out[11] = -1.0f;
    out[14] = (float)(-2.0 * (double)zNear * (double)zFar / depth);
}

// Pitch about x, then yaw about y, then roll about z, then the move to the
// eye: the glRotatef / glTranslatef sequence the scene was designed around.
void cameraModelviewMatrix(float out[16], const CameraPose& camera) {
    setIdentity(out);
    rotateMatrix(out, camera.pitch * RADIANS_TO_DEGREES, 1.0f, 0.0f, 0.0f);
    rotateMatrix(out, camera.yaw * RADIANS_TO_DEGREES, 0.0f, 1.0f, 0.0f);
    rotateMatrix(out, camera.roll * RADIANS_TO_DEGREES, 0.0f, 0.0f, 1.0f);
    // m = m * T(-p): only the last column changes.
    const float tx = -camera.position.x;
    const float ty = -camera.position.y;
    const float tz = -camera.position.z;
    for (int r = 0; r < 4; r++) {
        out[12 + r] = out[r] * tx + out[4 + r] * ty + out[8 + r] * tz + out[12 + r];
    }
}

void normalizePlane(int plane, ViewFrustum& frustum) {
    float* p = frustum.planes[plane];
    const float length = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
    // A degenerate matrix (zero-sized view) gives a zero normal; leaving the
    // plane as it is avoids filling the frustum with NaN.
    if (length <= 0.0f) {
        return;
    }
    for (int i = 0; i < 4; i++) {
        p[i] /= length;
    }
}

// Clip matrix C = P * M; its rows give the planes (Gribb and Hartmann).
void frustumFromMatrices(ViewFrustum& frustum, const float projection[16],
                         const float modelview[16]) {
    float clip[16];
    for (int r = 0; r < 4; r++) {
        for (int c = 0; c < 4; c++) {
            float sum = 0.0f;
            for (int k = 0; k < 4; k++) {
                sum += modelview[4 * r + k] * projection[4 * k + c];
            }
            clip[4 * r + c] = sum;
        }
    }
    // Row j of the clip matrix, element i: clip[4 i + j].
    static const int rowOf[6] = {0, 0, 1, 1, 2, 2};
    static const float signOf[6] = {-1.0f, 1.0f, 1.0f, -1.0f, -1.0f, 1.0f};
    for (int plane = 0; plane < 6; plane++) {
        for (int i = 0; i < 4; i++) {
            frustum.planes[plane][i] = clip[4 * i + 3] + signOf[plane] * clip[4 * i + rowOf[plane]];
        }
        normalizePlane(plane, frustum);
    }
}

bool cubeInFrustum(const ViewFrustum& frustum, float x, float y, float z, float s) {
    for (int plane = 0; plane < 6; plane++) {
        const float* p = frustum.planes[plane];
        bool anyInside = false;
        for (int corner = 0; corner < 8 && !anyInside; corner++) {
            const float cx = (corner & 1) ? x + s : x - s;
            const float cy = (corner & 2) ? y + s : y - s;
            const float cz = (corner & 4) ? z + s : z - s;
            anyInside = p[0] * cx + p[1] * cy + p[2] * cz + p[3] > 0.0f;
        }
        if (!anyInside) {
            return false;
        }
    }
    return true;
}
