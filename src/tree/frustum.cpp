#include "tree/frustum.h"

#include <bit>
#include <cmath>
#include <initializer_list>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// With finite planes and corners, the corner farthest along a plane's normal
// has the largest rounded distance of the eight: each product and each sum
// rounds monotonically, so choosing the larger coordinate wherever the normal
// is positive (the smaller where negative) can only raise the distance. An
// overflow to an infinity keeps that order; a NaN there (an infinity meeting
// its opposite) means every corner meets that same opposite infinity, so none
// is in front either. Hence "some corner above 0" is "that corner above 0".
// Infinite or NaN inputs break the order (0 times infinity, NaN corners), so
// they take the eight corners in turn.
#if defined(__SSE2__)
namespace {

// The four planes of one row: the rounded distance of each plane's farthest
// corner, as the scalar steps ((a*x + b*y) + c*z) + d would round it. Each
// product rounds monotonically in its coordinate, so the larger of the two
// products is the farther corner's product.
inline int rowInFront(const PlaneRows& r, int row, const __m128 first[3], const __m128 second[3]) {
    const __m128 a = _mm_load_ps(r.a + row);
    const __m128 b = _mm_load_ps(r.b + row);
    const __m128 c = _mm_load_ps(r.c + row);
    const __m128 x = _mm_max_ps(_mm_mul_ps(a, first[0]), _mm_mul_ps(a, second[0]));
    const __m128 y = _mm_max_ps(_mm_mul_ps(b, first[1]), _mm_mul_ps(b, second[1]));
    const __m128 z = _mm_max_ps(_mm_mul_ps(c, first[2]), _mm_mul_ps(c, second[2]));
    const __m128 distance = _mm_add_ps(_mm_add_ps(_mm_add_ps(x, y), z), _mm_load_ps(r.d + row));
    return _mm_movemask_ps(_mm_cmpgt_ps(distance, _mm_setzero_ps()));
}

}  // namespace

int boxRejectingPlane(const OtFrustum& frustum, const float* corners) {
    const __m128 va = _mm_loadu_ps(corners);        // ax ay az bx
    const __m128 tail = _mm_loadu_ps(corners + 2);  // az bx by bz
    const __m128 vb = _mm_shuffle_ps(tail, tail, _MM_SHUFFLE(3, 3, 2, 1));
    // v - v is 0 in every lane only when every coordinate is finite.
    const __m128 zero = _mm_add_ps(_mm_sub_ps(va, va), _mm_sub_ps(vb, vb));
    if (!frustum.planesFinite || (_mm_movemask_ps(_mm_cmpeq_ps(zero, _mm_setzero_ps())) & 7) != 7) {
        return boxRejectingPlaneByCorners(frustum, {corners[0], corners[1], corners[2]},
                                          {corners[3], corners[4], corners[5]});
    }
    // Either corner may be the farther one on an axis; rowInFront takes both.
    const __m128 first[3] = {_mm_shuffle_ps(va, va, 0x00), _mm_shuffle_ps(va, va, 0x55),
                             _mm_shuffle_ps(va, va, 0xAA)};
    const __m128 second[3] = {_mm_shuffle_ps(vb, vb, 0x00), _mm_shuffle_ps(vb, vb, 0x55),
                              _mm_shuffle_ps(vb, vb, 0xAA)};
    const int inFront = rowInFront(frustum.rows, 0, first, second) |
                        rowInFront(frustum.rows, 4, first, second) << 4;
    const int rejecting = ~inFront & ((1 << kPlaneCount) - 1);
    return rejecting == 0 ? kPlaneCount : std::countr_zero(static_cast<unsigned>(rejecting));
}
#else
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
