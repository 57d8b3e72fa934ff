// The canned cameras both hosts can hold, built as look-at views with
// perspective or orthographic projections.
#include <cmath>
#include <cstring>

#include "differential/differential.h"

namespace tarvo::reliability {
namespace {

using reference::Camera;

struct V3 {
    float x, y, z;
};

V3 sub(V3 a, V3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
V3 cross(V3 a, V3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float dot(V3 a, V3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
V3 normalised(V3 a) {
    const float l = std::sqrt(dot(a, a));
    return {a.x / l, a.y / l, a.z / l};
}

// Row vectors: world point x view gives camera space, +z ahead.
void lookAt(float out[16], V3 eye, V3 at, V3 up) {
    const V3 z = normalised(sub(at, eye));
    const V3 x = normalised(cross(up, z));
    const V3 y = cross(z, x);
    const float m[16] = {x.x, y.x, z.x, 0, x.y,          y.y,          z.y,          0,
                         x.z, y.z, z.z, 0, -dot(x, eye), -dot(y, eye), -dot(z, eye), 1};
    std::memcpy(out, m, sizeof m);
}

// w is the view depth; clip depth 0 at zn and w at zf.
void perspective(float out[16], float xScale, float yScale, float zn, float zf, float offX) {
    const float q = zf / (zf - zn);
    const float m[16] = {xScale, 0, 0, 0, 0, yScale, 0, 0, offX, 0, q, 1, 0, 0, -q * zn, 0};
    std::memcpy(out, m, sizeof m);
}

void orthographic(float out[16], float halfWidth, float zn, float zf) {
    const float m[16] = {
        1 / halfWidth,   0, 0, 0, 0, 1 / halfWidth, 0, 0, 0, 0, 1 / (zf - zn), 0, 0, 0,
        -zn / (zf - zn), 1};
    std::memcpy(out, m, sizeof m);
}

Camera makeCamera(V3 eye, V3 at, V3 up) {
    Camera c;
    lookAt(c.view, eye, at, up);
    perspective(c.projection, 1.0f, 1.3333334f, 0.5f, 200.0f, 0.0f);
    c.position[0] = eye.x;
    c.position[1] = eye.y;
    c.position[2] = eye.z;
    return c;
}

}  // namespace

Camera cannedCamera(int which) {
    switch (which % kCannedCameraCount) {
        case 0:
            return makeCamera({0, 0, 0}, {0, 0, 1}, {0, 1, 0});
        case 1:
            return makeCamera({0, 0, 0}, {-1, 0, 0}, {0, 1, 0});
        case 2:
            return makeCamera({5, 1, 5}, {0, 0, 0}, {0, 1, 0});
        case 3:
            return makeCamera({-10, 2, 3}, {10, 0, 3}, {0, 1, 0});
        case 4:
            return makeCamera({0, 20, 0}, {0, 0, 0.001f}, {0, 0, 1});
        case 5: {
            Camera c = makeCamera({1, 1, 1}, {1, 1, 9}, {0, 1, 0});
            perspective(c.projection, 1.5f, 1.0f, 1.0f, 50.0f, 0.4f);
            return c;
        }
        case 6: {
            Camera c = makeCamera({2, 0, -6}, {2, 0, 0}, {0, 1, 0});
            orthographic(c.projection, 8.0f, 0.0f, 40.0f);
            return c;
        }
        default:
            return Camera{};
    }
}

}  // namespace tarvo::reliability
