// The demo camera's walk: along the route through the building's rooms and
// doors, down the stairwell, out of the front door into the yard, and round
// to look back in through the front door.
#pragma once

#include <vector>

#include "demo/demo_scene.h"

namespace tarvo {

struct CameraPose {
    double eye[3];
    double target[3];
};

// The demo camera at the pose: its matrices (70 degrees, 16:9, near 0.1,
// far 150) and position.
void placeDemoCamera(StandInCamera& camera, const CameraPose& pose);

class DemoWalk {
public:
    explicit DemoWalk(const DemoScene& scene);

    // fraction runs from 0 (the start) to 1 (the end of the walk).
    CameraPose at(double fraction) const;

private:
    struct Waypoint {
        double p[3];
    };

    void add(double x, double y, double z);
    void pointAt(double distance, double out[3]) const;
    size_t segmentAt(double distance) const;

    std::vector<Waypoint> points_;
    std::vector<double> distances_;  // walked distance at each waypoint
};

// The demo's building on a stand-in host of its own, with the plug-in bound
// to it for as long as this lives, and the walk through it.
struct DemoWorld {
    explicit DemoWorld(int rooms)
        : scene(buildDemoScene(host, DemoOptions{.rooms = rooms})), walk(scene) {}

    StandInHost host;
    DemoBinding binding{host};
    DemoScene scene;
    DemoWalk walk;
};

}  // namespace tarvo
