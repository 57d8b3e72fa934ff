// The view frustum and the volume tests. All arithmetic is single precision,
// each step rounded before the next uses it; the tests return as soon as the
// answer is known.
#pragma once

#include <bit>
#include <cstdint>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "tarvo/host_api.h"
#include "tree/records.h"

namespace tarvo {

struct Plane {
    float a, b, c, d;
};

enum PlaneIndex { kRight = 0, kLeft, kBottom, kTop, kFar, kNear, kPlaneCount };

// The planes again, four to a row by component, for testing a box against
// four planes at once; the two spare lanes hold a plane every point is in
// front of.
struct alignas(16) PlaneRows {
    float a[8], b[8], c[8], d[8];
};

struct OtFrustum {
    float viewProjection[16] = {};
    Plane planes[kPlaneCount] = {};  // all zero until the first update
    OtCameraRef cameraRecord = {};   // position is null until the first update
    bool planesFinite = true;        // lets box tests take the one-corner path
    PlaneRows rows = {{}, {}, {}, {0, 0, 0, 0, 0, 0, 1, 1}};
};

void matrixMultiply(float out[16], const float m1[16], const float m2[16]);

// Forms viewProjection = view x projection and the six scaled planes.
void setFrustumFromCamera(OtFrustum& frustum, const OtCameraRef& camera);

inline float signedDistance(const Plane& p, float x, float y, float z) {
    return p.a * x + p.b * y + p.c * z + p.d;
}

// The same answer found by trying the eight corners in order, the first with a
// distance above 0 settling each plane. boxRejectingPlane gets there sooner.
int boxRejectingPlaneByCorners(const OtFrustum& frustum, Vec3 a, Vec3 b);

// The first plane (in index order) with every box corner on or behind it, or
// kPlaneCount when there is none (the box counts as in view).
// corners holds six floats: corner A's x, y, z, then corner B's.
//
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
namespace frustum_detail {

struct BoxLanes {
    __m128 first[3];
    __m128 second[3];
};

// The four planes of one row: the rounded distance of each plane's farthest
// corner, as the scalar steps ((a*x + b*y) + c*z) + d would round it. Each
// product rounds monotonically in its coordinate, so the larger of the two
// products is the farther corner's product.
inline int rowInFront(const PlaneRows& r, int row, const BoxLanes& box) {
    const __m128* first = box.first;
    const __m128* second = box.second;
    const __m128 a = _mm_load_ps(r.a + row);
    const __m128 b = _mm_load_ps(r.b + row);
    const __m128 c = _mm_load_ps(r.c + row);
    const __m128 x = _mm_max_ps(_mm_mul_ps(a, first[0]), _mm_mul_ps(a, second[0]));
    const __m128 y = _mm_max_ps(_mm_mul_ps(b, first[1]), _mm_mul_ps(b, second[1]));
    const __m128 z = _mm_max_ps(_mm_mul_ps(c, first[2]), _mm_mul_ps(c, second[2]));
    const __m128 distance = _mm_add_ps(_mm_add_ps(_mm_add_ps(x, y), z), _mm_load_ps(r.d + row));
    return _mm_movemask_ps(_mm_cmpgt_ps(distance, _mm_setzero_ps()));
}

// Both corners' coordinates, each broadcast to four lanes; false when a plane
// or a coordinate is not finite, and the corners must be taken in turn.
inline bool loadFiniteBox(const OtFrustum& frustum, const float* corners, BoxLanes& out) {
    const __m128 va = _mm_loadu_ps(corners);        // ax ay az bx
    const __m128 tail = _mm_loadu_ps(corners + 2);  // az bx by bz
    const __m128 vb = _mm_shuffle_ps(tail, tail, _MM_SHUFFLE(3, 3, 2, 1));
    // v - v is 0 in every lane only when every coordinate is finite.
    const __m128 zero = _mm_add_ps(_mm_sub_ps(va, va), _mm_sub_ps(vb, vb));
    if (!frustum.planesFinite || (_mm_movemask_ps(_mm_cmpeq_ps(zero, _mm_setzero_ps())) & 7) != 7) {
        return false;
    }
    // Either corner may be the farther one on an axis; rowInFront takes both.
    out = {
        {_mm_shuffle_ps(va, va, 0x00), _mm_shuffle_ps(va, va, 0x55), _mm_shuffle_ps(va, va, 0xAA)},
        {_mm_shuffle_ps(vb, vb, 0x00), _mm_shuffle_ps(vb, vb, 0x55), _mm_shuffle_ps(vb, vb, 0xAA)}};
    return true;
}

}  // namespace frustum_detail

static_assert(kFar == 4 && kPlaneCount == 6, "row 0: the four sides; row 1: far, near");

// Inline: the pass tests every node it meets.
inline int boxRejectingPlane(const OtFrustum& frustum, const float* corners) {
    frustum_detail::BoxLanes box;
    if (!frustum_detail::loadFiniteBox(frustum, corners, box)) {
        return boxRejectingPlaneByCorners(frustum, {corners[0], corners[1], corners[2]},
                                          {corners[3], corners[4], corners[5]});
    }
    // The side planes come first: when one of them rejects, far and near
    // cannot be the first to. The pass branches on the answer anyway.
    const unsigned sides = ~frustum_detail::rowInFront(frustum.rows, 0, box) & 0xFu;
    if (sides != 0) return std::countr_zero(sides);
    const unsigned depth = ~frustum_detail::rowInFront(frustum.rows, 4, box) & 0x3u;
    return depth == 0 ? kPlaneCount : 4 + std::countr_zero(depth);
}

// In view or not, without a branch on which plane: a script's test of many
// boxes keeps its loop free of unpredictable jumps.
inline bool boxInView(const OtFrustum& frustum, const float* corners) {
    frustum_detail::BoxLanes box;
    if (!frustum_detail::loadFiniteBox(frustum, corners, box)) {
        return boxRejectingPlaneByCorners(frustum, {corners[0], corners[1], corners[2]},
                                          {corners[3], corners[4], corners[5]}) == kPlaneCount;
    }
    const int inFront = frustum_detail::rowInFront(frustum.rows, 0, box) |
                        frustum_detail::rowInFront(frustum.rows, 4, box) << 4;
    return (inFront & 0x3F) == 0x3F;
}
#else
int boxRejectingPlane(const OtFrustum& frustum, const float* corners);
inline bool boxInView(const OtFrustum& frustum, const float* corners) {
    return boxRejectingPlane(frustum, corners) == kPlaneCount;
}
#endif

// The first plane at or beyond -radius from the centre, or kPlaneCount.
int sphereRejectingPlane(const OtFrustum& frustum, Vec3 centre, float radius);

inline int boxRejectingPlane(const OtFrustum& f, Vec3 a, Vec3 b) {
    const float corners[6] = {a.x, a.y, a.z, b.x, b.y, b.z};
    return boxRejectingPlane(f, corners);
}
inline bool testBoxInFrustum(const OtFrustum& f, Vec3 a, Vec3 b) {
    const float corners[6] = {a.x, a.y, a.z, b.x, b.y, b.z};
    return boxInView(f, corners);
}
inline bool testSphereInFrustum(const OtFrustum& f, Vec3 centre, float radius) {
    return sphereRejectingPlane(f, centre, radius) == kPlaneCount;
}

// Camera-inside tests read the position from the camera record now; false
// while there is no camera.
bool cameraInBox(const OtFrustum& f, Vec3 a, Vec3 b);
bool cameraInSphere(const OtFrustum& f, Vec3 centre, float radius);

}  // namespace tarvo
