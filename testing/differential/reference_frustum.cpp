// The frustum the model builds from a host camera, and what it tests against
// it: boxes, spheres, points, nodes, and whether the camera is inside a node.
#include <cmath>

#include "differential/reference_model.h"

namespace tarvo::reference {
namespace {

// Every step is a separate statement so each intermediate is a float.
float distanceTo(const float plane[4], float x, float y, float z) {
    float s = plane[0] * x;
    s = s + plane[1] * y;
    s = s + plane[2] * z;
    s = s + plane[3];
    return s;
}

}  // namespace

void Model::updateFrustum1() {
    host_.link();
    updateFromCamera(host_.currentCamera());
}

void Model::updateFrustum2(int32_t camera) {
    host_.link();
    updateFromCamera(camera);
}

void Model::updateFromCamera(int32_t camera) {
    const Camera* c = host_.findCamera(camera);
    if (c == nullptr) return;
    // view x projection: the world-to-clip matrix, so the planes come out in world space.
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            float sum = c->view[i * 4 + 0] * c->projection[0 * 4 + j];
            for (int k = 1; k < 4; ++k) sum = sum + c->view[i * 4 + k] * c->projection[k * 4 + j];
            viewProjection_[i * 4 + j] = sum;
        }
    }
    auto column = [this](int col, int row) { return viewProjection_[row * 4 + col]; };
    // (column 4 +/- column k), planes in the order right, left, bottom, top, far, near.
    const int partner[6] = {0, 0, 1, 1, 2, 2};
    const float sign[6] = {-1.0f, 1.0f, 1.0f, -1.0f, -1.0f, 1.0f};
    float factor = 0.0f;
    for (int p = 0; p < 6; ++p) {
        float plane[4];
        for (int row = 0; row < 4; ++row) {
            const float w = column(3, row);
            const float k = column(partner[p], row);
            plane[row] = sign[p] > 0 ? w + k : w - k;
        }
        // The left and top planes reuse the factor of the plane before them.
        if (p != 1 && p != 3) {
            float squares = plane[0] * plane[0];
            squares = squares + plane[1] * plane[1];
            squares = squares + plane[2] * plane[2];
            const float length = std::sqrt(squares);
            factor = 1.0f / length;
        }
        for (int row = 0; row < 4; ++row) planes_[p][row] = plane[row] * factor;
    }
    hasCamera_ = true;
    cameraNumber_ = camera;
}

bool Model::boxInFrustum(const float a[3], const float b[3]) const {
    for (const auto& plane : planes_) {
        bool someCornerInFront = false;
        for (int corner = 0; corner < 8 && !someCornerInFront; ++corner) {
            const float x = (corner & 1) ? b[0] : a[0];
            const float y = (corner & 2) ? b[1] : a[1];
            const float z = (corner & 4) ? b[2] : a[2];
            if (distanceTo(plane, x, y, z) > 0.0f) someCornerInFront = true;
        }
        if (!someCornerInFront) return false;
    }
    return true;
}

bool Model::sphereInFrustum(const float c[3], float radius) const {
    const float n = -radius;
    for (const auto& plane : planes_) {
        if (distanceTo(plane, c[0], c[1], c[2]) <= n) return false;
    }
    return true;
}

bool Model::testBox(float xa, float ya, float za, float xb, float yb, float zb) const {
    const float a[3] = {xa, ya, za};
    const float b[3] = {xb, yb, zb};
    return boxInFrustum(a, b);
}

bool Model::testSphere(float x, float y, float z, float radius) const {
    const float c[3] = {x, y, z};
    return sphereInFrustum(c, radius);
}

bool Model::testPoint(float x, float y, float z) const {
    return testSphere(x, y, z, 0.0f);
}

const float* Model::cameraPosition() const {
    if (!hasCamera_) return nullptr;
    const Camera* c = host_.findCamera(cameraNumber_);
    return c == nullptr ? nullptr : c->position;
}

bool Model::inFrustum(const Node* n) const {
    switch (n->kind) {
        case kBoxKind:
            return boxInFrustum(n->cornerA, n->cornerB);
        case kSphereKind:
            return sphereInFrustum(n->cornerA, n->radius);
        case kPointKind:
            return sphereInFrustum(n->cornerA, 0.0f);
        default:
            return true;
    }
}

bool Model::testCameraInside(Node* n) {
    bool inside = false;
    const float* p = cameraPosition();
    if (p != nullptr && n->kind == kBoxKind) {
        inside = n->cornerA[0] < p[0] && n->cornerA[1] < p[1] && n->cornerA[2] < p[2] &&
                 p[0] < n->cornerB[0] && p[1] < n->cornerB[1] && p[2] < n->cornerB[2];
    } else if (p != nullptr && n->kind == kSphereKind) {
        const float dx = p[0] - n->cornerA[0];
        const float dy = p[1] - n->cornerA[1];
        const float dz = p[2] - n->cornerA[2];
        float squares = dx * dx;
        squares = squares + dy * dy;
        squares = squares + dz * dz;
        const float distance = std::sqrt(squares);
        inside = n->radius > distance;
    }
    n->cameraInside = inside;
    return inside;
}

}  // namespace tarvo::reference
