#include "tree/frustum.h"

#include <bit>
#include <cmath>
#include <initializer_list>

namespace tarvo {
namespace {

// Element (row, column), both counted from 1, of a row-major 4x4 matrix.
inline float at(const float m[16], int row, int column) {
    return m[4 * (row - 1) + (column - 1)];
}

// Column four plus (sign +1) or minus (sign -1) the given column.
Plane combineColumns(const float m[16], int column, float sign) {
    Plane p;
    p.a = at(m, 1, 4) + sign * at(m, 1, column);
    p.b = at(m, 2, 4) + sign * at(m, 2, column);
    p.c = at(m, 3, 4) + sign * at(m, 3, column);
    p.d = at(m, 4, 4) + sign * at(m, 4, column);
    return p;
}

float normalFactor(const Plane& p) {
    const float squares = p.a * p.a + p.b * p.b + p.c * p.c;
    const float length = std::sqrt(squares);
    return 1.0f / length;
}

Plane scaled(Plane p, float factor) {
    return {p.a * factor, p.b * factor, p.c * factor, p.d * factor};
}

// x - x is 0 exactly for finite x, NaN for infinities and NaN.
bool allFinite(std::initializer_list<float> values) {
    float zero = 0.0f;
    for (float v : values) zero += v - v;
    return zero == 0.0f;
}

}  // namespace

void matrixMultiply(float out[16], const float m1[16], const float m2[16]) {
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            float sum = m1[4 * i] * m2[j];
            for (int k = 1; k < 4; ++k) sum += m1[4 * i + k] * m2[4 * k + j];
            out[4 * i + j] = sum;
        }
    }
}

void setFrustumFromCamera(OtFrustum& frustum, const OtCameraRef& camera) {
    float view[16];
    float projection[16];
    for (int i = 0; i < 16; ++i) {
        view[i] = camera.view[i];
        projection[i] = camera.projection[i];
    }
    frustum.cameraRecord = camera;
    matrixMultiply(frustum.viewProjection, view, projection);
    const float* m = frustum.viewProjection;

    // Paired planes share one factor: left takes right's, top takes bottom's.
    const Plane right = combineColumns(m, 1, -1.0f);
    const float sideFactor = normalFactor(right);
    frustum.planes[kRight] = scaled(right, sideFactor);
    frustum.planes[kLeft] = scaled(combineColumns(m, 1, 1.0f), sideFactor);

    const Plane bottom = combineColumns(m, 2, 1.0f);
    const float verticalFactor = normalFactor(bottom);
    frustum.planes[kBottom] = scaled(bottom, verticalFactor);
    frustum.planes[kTop] = scaled(combineColumns(m, 2, -1.0f), verticalFactor);

    const Plane far = combineColumns(m, 3, -1.0f);
    frustum.planes[kFar] = scaled(far, normalFactor(far));
    const Plane near = combineColumns(m, 3, 1.0f);
    frustum.planes[kNear] = scaled(near, normalFactor(near));

    frustum.planesFinite = true;
    PlaneRows& rows = frustum.rows;
    for (int i = 0; i < kPlaneCount; ++i) {
        const Plane& p = frustum.planes[i];
        frustum.planesFinite = frustum.planesFinite && allFinite({p.a, p.b, p.c, p.d});
        rows.a[i] = p.a;
        rows.b[i] = p.b;
        rows.c[i] = p.c;
        rows.d[i] = p.d;
    }
}

#if !defined(__SSE2__)
int boxRejectingPlane(const OtFrustum& frustum, const float* corners) {
    const Vec3 a = {corners[0], corners[1], corners[2]};
    const Vec3 b = {corners[3], corners[4], corners[5]};
    if (!frustum.planesFinite || !allFinite({a.x, a.y, a.z, b.x, b.y, b.z})) {
        return boxRejectingPlaneByCorners(frustum, a, b);
    }
    const Vec3 lo = {a.x < b.x ? a.x : b.x, a.y < b.y ? a.y : b.y, a.z < b.z ? a.z : b.z};
    const Vec3 hi = {a.x < b.x ? b.x : a.x, a.y < b.y ? b.y : a.y, a.z < b.z ? b.z : a.z};
    for (int i = 0; i < kPlaneCount; ++i) {
        const Plane& p = frustum.planes[i];
        const float x = p.a > 0.0f ? hi.x : lo.x;
        const float y = p.b > 0.0f ? hi.y : lo.y;
        const float z = p.c > 0.0f ? hi.z : lo.z;
        if (!(signedDistance(p, x, y, z) > 0.0f)) return i;
    }
    return kPlaneCount;
}
#endif

int boxRejectingPlaneByCorners(const OtFrustum& frustum, Vec3 a, Vec3 b) {
    for (int i = 0; i < kPlaneCount; ++i) {
        const Plane& p = frustum.planes[i];
        // x changes fastest; a corner exactly on the plane (or NaN) is behind it.
        if (signedDistance(p, a.x, a.y, a.z) > 0.0f) continue;
        if (signedDistance(p, b.x, a.y, a.z) > 0.0f) continue;
        if (signedDistance(p, a.x, b.y, a.z) > 0.0f) continue;
        if (signedDistance(p, b.x, b.y, a.z) > 0.0f) continue;
        if (signedDistance(p, a.x, a.y, b.z) > 0.0f) continue;
        if (signedDistance(p, b.x, a.y, b.z) > 0.0f) continue;
        if (signedDistance(p, a.x, b.y, b.z) > 0.0f) continue;
        if (signedDistance(p, b.x, b.y, b.z) > 0.0f) continue;
        return i;
    }
    return kPlaneCount;
}

int sphereRejectingPlane(const OtFrustum& frustum, Vec3 centre, float radius) {
    const float limit = -radius;
    for (int i = 0; i < kPlaneCount; ++i) {
        // A NaN distance compares false and so never rejects.
        if (signedDistance(frustum.planes[i], centre.x, centre.y, centre.z) <= limit) return i;
    }
    return kPlaneCount;
}

bool cameraInBox(const OtFrustum& f, Vec3 a, Vec3 b) {
    const float* p = f.cameraRecord.position;
    if (p == nullptr) return false;
    const float px = p[0], py = p[1], pz = p[2];
    return a.x < px && a.y < py && a.z < pz && px < b.x && py < b.y && pz < b.z;
}

bool cameraInSphere(const OtFrustum& f, Vec3 centre, float radius) {
    const float* p = f.cameraRecord.position;
    if (p == nullptr) return false;
    const float dx = p[0] - centre.x;
    const float dy = p[1] - centre.y;
    const float dz = p[2] - centre.z;
    const float squares = dx * dx + dy * dy + dz * dz;
    return radius > std::sqrt(squares);
}

}  // namespace tarvo
