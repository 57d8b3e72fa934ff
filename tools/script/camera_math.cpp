#include "camera_math.h"

#include <cmath>
#include <numbers>

namespace tarvo::script {
namespace {

struct Vec {
    double x, y, z;
};

Vec minus(Vec a, Vec b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
double dot(Vec a, Vec b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
Vec cross(Vec a, Vec b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
Vec normalize(Vec v) {
    const double length = std::sqrt(dot(v, v));
    return {v.x / length, v.y / length, v.z / length};
}

void store(float out[16], const double in[16]) {
    for (int i = 0; i < 16; ++i) out[i] = static_cast<float>(in[i]);
}

}  // namespace

CameraMatrices lookAtMatrices(const LookAt& setup) {
    const Vec eye{setup.eye[0], setup.eye[1], setup.eye[2]};
    const Vec target{setup.target[0], setup.target[1], setup.target[2]};
    const Vec z = normalize(minus(target, eye));
    const Vec x = normalize(cross({0.0, 1.0, 0.0}, z));
    const Vec y = cross(z, x);
    const double view[16] = {x.x,          y.x,          z.x,          0.0,  //
                             x.y,          y.y,          z.y,          0.0,  //
                             x.z,          y.z,          z.z,          0.0,  //
                             -dot(x, eye), -dot(y, eye), -dot(z, eye), 1.0};

    const double ys = 1.0 / std::tan(setup.fovDegrees / 2.0 * (std::numbers::pi / 180.0));
    const double xs = ys / setup.aspect;
    const double range = setup.zFar - setup.zNear;
    const double projection[16] = {xs,  0.0, 0.0,
                                   0.0,  //
                                   0.0, ys,  0.0,
                                   0.0,  //
                                   0.0, 0.0, setup.zFar / range,
                                   1.0,  //
                                   0.0, 0.0, -setup.zNear * setup.zFar / range,
                                   0.0};
    CameraMatrices out{};
    store(out.view, view);
    store(out.projection, projection);
    return out;
}

}  // namespace tarvo::script
