#include "demo/demo_walk.h"

#include <algorithm>
#include <cmath>

#include "camera_math.h"

namespace tarvo {
namespace {

constexpr double kEyeHeight = 1.7;
constexpr double kLookAhead = 4.0;
constexpr double kFieldOfView = 70.0;
constexpr double kAspect = 16.0 / 9.0;
constexpr double kNear = 0.1;
constexpr double kFar = 150.0;

}  // namespace

void placeDemoCamera(StandInCamera& camera, const CameraPose& pose) {
    script::LookAt setup{};
    std::copy(std::begin(pose.eye), std::end(pose.eye), setup.eye);
    std::copy(std::begin(pose.target), std::end(pose.target), setup.target);
    setup.fovDegrees = kFieldOfView;
    setup.aspect = kAspect;
    setup.zNear = kNear;
    setup.zFar = kFar;
    const script::CameraMatrices m = script::lookAtMatrices(setup);
    std::copy(std::begin(m.view), std::end(m.view), camera.view);
    std::copy(std::begin(m.projection), std::end(m.projection), camera.projection);
    for (int i = 0; i < 3; ++i) camera.position[i] = static_cast<float>(pose.eye[i]);
}

DemoWalk::DemoWalk(const DemoScene& scene) {
    const double size = scene.roomSize;
    const double storey = scene.storey;
    for (size_t i = 0; i < scene.route.size(); ++i) {
        const GridCell& cell = scene.route[i];
        const double x = cell.col * size + size / 2;
        const double z = cell.row * size + size / 2;
        const double y = cell.floor * storey + kEyeHeight;
        const bool stairTop =
            cell.floor == 1 && i + 1 < scene.route.size() && scene.route[i + 1].floor == 0;
        const bool stairBottom = cell.floor == 0 && i > 0 && scene.route[i - 1].floor == 1;
        // Down the flight westwards, through the opening in the ceiling of
        // the room below, then round to that room's south door.
        if (stairTop) {
            add(x + 2.8, y, z);
        } else if (stairBottom) {
            add(x - 2.8, y, z);
            add(x, y, z - 2.5);
        } else {
            add(x, y, z);
        }
    }
    const double doorX = scene.entrance.col * size + size / 2;
    add(doorX, kEyeHeight, -6.0);
    add(doorX + 8.0, kEyeHeight, -14.0);
    add(doorX + 18.0, kEyeHeight, -16.0);
    // Round, to look back at the front door and through it.
    add(doorX + 12.0, kEyeHeight, -9.0);
}

void DemoWalk::add(double x, double y, double z) {
    if (points_.empty()) {
        distances_.push_back(0.0);
    } else {
        const double* q = points_.back().p;
        distances_.push_back(distances_.back() + std::hypot(x - q[0], y - q[1], z - q[2]));
    }
    points_.push_back({{x, y, z}});
}

size_t DemoWalk::segmentAt(double distance) const {
    const auto after = std::upper_bound(distances_.begin(), distances_.end(), distance);
    const size_t index = static_cast<size_t>(after - distances_.begin());
    return std::clamp<size_t>(index, 1, points_.size() - 1);
}

// Beyond the last waypoint the walk goes on in the last segment's direction.
void DemoWalk::pointAt(double distance, double out[3]) const {
    const size_t segment = segmentAt(distance);
    const double* a = points_[segment - 1].p;
    const double* b = points_[segment].p;
    const double length = distances_[segment] - distances_[segment - 1];
    const double t = length > 0 ? (distance - distances_[segment - 1]) / length : 0.0;
    for (int i = 0; i < 3; ++i) out[i] = a[i] + t * (b[i] - a[i]);
}

CameraPose DemoWalk::at(double fraction) const {
    const double distance = std::clamp(fraction, 0.0, 1.0) * distances_.back();
    CameraPose pose{};
    pointAt(distance, pose.eye);
    // Look where the walk goes, but level enough that the line of sight is
    // never vertical, not even at a turn on the stairs.
    double ahead[3];
    pointAt(distance + kLookAhead, ahead);
    double dx = ahead[0] - pose.eye[0];
    double dz = ahead[2] - pose.eye[2];
    if (std::hypot(dx, dz) < 0.5) {
        const size_t segment = segmentAt(distance);
        dx = points_[segment].p[0] - points_[segment - 1].p[0];
        dz = points_[segment].p[2] - points_[segment - 1].p[2];
    }
    const double across = std::hypot(dx, dz);
    pose.target[0] = pose.eye[0] + dx / across * kLookAhead;
    pose.target[1] = pose.eye[1] + std::clamp(ahead[1] - pose.eye[1], -2.0, 2.0);
    pose.target[2] = pose.eye[2] + dz / across * kLookAhead;
    return pose;
}

}  // namespace tarvo
