// The view frustum and the volume tests. All arithmetic is single precision,
// each step rounded before the next uses it; the tests return as soon as the
// answer is known.
#pragma once

#include <cstdint>

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

// The first plane (in index order) with every box corner on or behind it, or
// kPlaneCount when there is none (the box counts as in view).
// corners holds six floats: corner A's x, y, z, then corner B's.
int boxRejectingPlane(const OtFrustum& frustum, const float* corners);
// The same answer found by trying the eight corners in order, the first with a
// distance above 0 settling each plane. boxRejectingPlane gets there sooner.
int boxRejectingPlaneByCorners(const OtFrustum& frustum, Vec3 a, Vec3 b);
// The first plane at or beyond -radius from the centre, or kPlaneCount.
int sphereRejectingPlane(const OtFrustum& frustum, Vec3 centre, float radius);

inline int boxRejectingPlane(const OtFrustum& f, Vec3 a, Vec3 b) {
    const float corners[6] = {a.x, a.y, a.z, b.x, b.y, b.z};
    return boxRejectingPlane(f, corners);
}
inline bool testBoxInFrustum(const OtFrustum& f, Vec3 a, Vec3 b) {
    return boxRejectingPlane(f, a, b) == kPlaneCount;
}
inline bool testSphereInFrustum(const OtFrustum& f, Vec3 centre, float radius) {
    return sphereRejectingPlane(f, centre, radius) == kPlaneCount;
}

// Camera-inside tests read the position from the camera record now; false
// while there is no camera.
bool cameraInBox(const OtFrustum& f, Vec3 a, Vec3 b);
bool cameraInSphere(const OtFrustum& f, Vec3 centre, float radius);

}  // namespace tarvo
