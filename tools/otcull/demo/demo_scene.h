// The demo's building: two floors of rooms (zones) joined by doors, some
// closed, furnished with fitted nodes and limbs, windows that lead out to the
// top level, a stairwell, and a yard with trees, cars and lamps. Built through
// the plug-in's own commands, on a stand-in host that holds the objects.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/standin_host.h"

namespace tarvo {

class Tree;

struct DemoOptions {
    int rooms = 64;
    uint32_t seed = 20261208;
};

struct GridCell {
    int col, row, floor;
    bool operator==(const GridCell&) const = default;
};

struct DemoScene {
    int cols = 0;
    int rows = 0;
    float roomSize = 8.0f;
    float storey = 3.5f;
    int32_t building = 0;
    int32_t yard = 0;
    std::vector<int32_t> rooms;  // node handles, by cellIndex
    GridCell stairs{};           // the lower room of the stairwell
    GridCell entrance{};
    std::vector<GridCell> route;  // the rooms the walk goes through, in order
    std::vector<std::pair<int32_t, int32_t>> attachments;  // every (object, limb) hung on a node
    int doors = 0;
    int closedDoors = 0;
    int windows = 0;

    int cellIndex(const GridCell& c) const { return (c.floor * rows + c.row) * cols + c.col; }
    std::string roomName(int32_t node) const;
};

DemoScene buildDemoScene(StandInHost& host, const DemoOptions& options);

// The plug-in bound to a demo host, on a fresh culling state, for as long as
// this lives.
class DemoBinding {
public:
    explicit DemoBinding(StandInHost& host);
    ~DemoBinding();
    DemoBinding(const DemoBinding&) = delete;
    DemoBinding& operator=(const DemoBinding&) = delete;

    // The tree the plug-in's commands act on while bound.
    Tree& tree() const { return tree_; }

private:
    OtHostApi api_;
    Tree& tree_;  // the plug-in's one culling state
};

}  // namespace tarvo
