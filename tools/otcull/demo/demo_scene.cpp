#include "demo/demo_scene.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "commands/state.h"
#include "tarvo/culling.h"

namespace tarvo {
namespace {

constexpr int32_t kZone = 2;
constexpr float kWall = 0.15f;  // half the thickness of a door or window opening
constexpr float kDoorHalfWidth = 0.6f;
constexpr float kDoorHeight = 2.2f;
constexpr float kYardMargin = 26.0f;

// A small deterministic generator, so every run builds the same building.
class Random {
public:
    explicit Random(uint32_t seed) : state_(seed * 2654435761u + 1u) {}
    uint32_t next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    float uniform(float low, float high) {
        return low + (high - low) * static_cast<float>(next() % 10000) / 10000.0f;
    }
    bool chance(float p) { return uniform(0.0f, 1.0f) < p; }
    int below(int n) { return static_cast<int>(next() % static_cast<uint32_t>(n)); }

private:
    uint32_t state_;
};

class SceneBuilder {
public:
    SceneBuilder(StandInHost& host, const DemoOptions& options, DemoScene& scene)
        : host_(host), random_(options.seed), scene_(scene) {}

    void build(int rooms);

private:
    float floorY(int floor) const { return static_cast<float>(floor) * scene_.storey; }
    float cellX(int col) const { return static_cast<float>(col) * scene_.roomSize; }
    float cellZ(int row) const { return static_cast<float>(row) * scene_.roomSize; }
    int32_t newObject(const OtBodyFigures& figures);
    void hangObject(int32_t node, int32_t object);
    int32_t fitObject(int32_t parent, const OtBodyFigures& figures, bool sphere);
    void fitLimb(int32_t parent, int32_t object, int32_t limb, const OtBodyFigures& figures,
                 bool sphere);

    void layOutGrid(int rooms);
    void planRoute();
    void createRooms();
    void createRoom(const GridCell& cell);
    void furnish(int32_t room, const GridCell& cell);
    void addCabinet(int32_t room, float x, float y, float z);
    void connectRooms();
    std::set<std::pair<int, int>> spanningDoors(int floor);
    void addDoor(const GridCell& a, const GridCell& b, bool onRoute);
    void addStairs();
    void addWindows();
    void addEntrance();
    void addOutdoors();
    void addCar(float x, float z);
    bool onRoute(const GridCell& a, const GridCell& b) const;
    std::pair<int, int> doorKey(const GridCell& a, const GridCell& b) const {
        const int i = scene_.cellIndex(a);
        const int j = scene_.cellIndex(b);
        return {std::min(i, j), std::max(i, j)};
    }

    StandInHost& host_;
    Random random_;
    DemoScene& scene_;
    int32_t nextObject_ = 1;
};

OtBodyFigures figuresAt(float x, float y, float z, float halfX, float height, float halfZ) {
    OtBodyFigures f{};
    f.position[0] = x;
    f.position[1] = y;
    f.position[2] = z;
    f.boundsMin[0] = -halfX;
    f.boundsMin[1] = 0.0f;
    f.boundsMin[2] = -halfZ;
    f.boundsMax[0] = halfX;
    f.boundsMax[1] = height;
    f.boundsMax[2] = halfZ;
    f.radius = std::sqrt(halfX * halfX + height * height / 4 + halfZ * halfZ);
    return f;
}

int32_t SceneBuilder::newObject(const OtBodyFigures& figures) {
    const int32_t object = nextObject_++;
    host_.setObject(object, figures);
    return object;
}

void SceneBuilder::hangObject(int32_t node, int32_t object) {
    OT_AddObject(node, object);
    scene_.attachments.emplace_back(object, -1);
}

// A new host object with a node sized to it, which the plug-in attaches.
int32_t SceneBuilder::fitObject(int32_t parent, const OtBodyFigures& figures, bool sphere) {
    const int32_t object = newObject(figures);
    scene_.attachments.emplace_back(object, -1);
    return sphere ? OT_CreateObjectSphere2(parent, object) : OT_CreateObjectBox2(parent, object);
}

void SceneBuilder::fitLimb(int32_t parent, int32_t object, int32_t limb,
                           const OtBodyFigures& figures, bool sphere) {
    host_.setLimb(object, limb, figures);
    scene_.attachments.emplace_back(object, limb);
    if (sphere) {
        OT_CreateLimbSphere2(parent, object, limb);
    } else {
        OT_CreateLimbBox2(parent, object, limb);
    }
}

void SceneBuilder::layOutGrid(int rooms) {
    const int perFloor = std::max(2, (rooms + 1) / 2);
    scene_.cols = std::max(2, static_cast<int>(std::lround(std::sqrt(2.0 * perFloor))));
    scene_.rows = (perFloor + scene_.cols - 1) / scene_.cols;
    scene_.rows = std::max(scene_.rows, 2);
}

// Upstairs along the back row to the stairwell, down, along its column to
// the front row, and along it to the entrance.
void SceneBuilder::planRoute() {
    const int cols = scene_.cols;
    const int rows = scene_.rows;
    scene_.stairs = {cols > 2 ? 1 : 0, rows - 1, 0};
    scene_.entrance = {std::max(scene_.stairs.col, cols / 2), 0, 0};
    for (int c = cols - 1; c >= scene_.stairs.col; --c) scene_.route.push_back({c, rows - 1, 1});
    for (int r = rows - 1; r >= 0; --r) scene_.route.push_back({scene_.stairs.col, r, 0});
    for (int c = scene_.stairs.col + 1; c <= scene_.entrance.col; ++c) {
        scene_.route.push_back({c, 0, 0});
    }
}

void SceneBuilder::createRooms() {
    const float width = cellX(scene_.cols);
    const float depth = cellZ(scene_.rows);
    const float height = 2 * scene_.storey;
    scene_.building = OT_CreateBox1(0, 0.0f, 0.0f, 0.0f, width, height, depth, kZone);
    hangObject(scene_.building,
               newObject(figuresAt(width / 2, 0.0f, depth / 2, width / 2, height, depth / 2)));
    scene_.rooms.resize(static_cast<size_t>(2 * scene_.rows * scene_.cols));
    for (int f = 0; f < 2; ++f) {
        for (int r = 0; r < scene_.rows; ++r) {
            for (int c = 0; c < scene_.cols; ++c) createRoom({c, r, f});
        }
    }
}

// A room is a zone with its own shell (walls, floor, ceiling) as an object.
void SceneBuilder::createRoom(const GridCell& cell) {
    const float x0 = cellX(cell.col);
    const float z0 = cellZ(cell.row);
    const float y0 = floorY(cell.floor);
    const float half = scene_.roomSize / 2;
    const int32_t room = OT_CreateBox1(scene_.building, x0, y0, z0, cellX(cell.col + 1),
                                       floorY(cell.floor + 1), cellZ(cell.row + 1), kZone);
    scene_.rooms[static_cast<size_t>(scene_.cellIndex(cell))] = room;
    hangObject(room, newObject(figuresAt(x0 + half, y0, z0 + half, half, scene_.storey, half)));
    furnish(room, cell);
}

void SceneBuilder::furnish(int32_t room, const GridCell& cell) {
    const float x0 = cellX(cell.col);
    const float z0 = cellZ(cell.row);
    const float y = floorY(cell.floor);
    const float size = scene_.roomSize;
    const float tx = x0 + random_.uniform(2.5f, size - 2.5f);
    const float tz = z0 + random_.uniform(2.5f, size - 2.5f);
    fitObject(room, figuresAt(tx, y, tz, 0.8f, 0.75f, 0.5f), false);
    for (int chair = random_.below(3); chair > 0; --chair) {
        const float cx = tx + random_.uniform(-1.2f, 1.2f);
        const float cz = tz + (chair == 1 ? -0.9f : 0.9f);
        const int32_t node = OT_CreatePoint2(room, cx, y + 0.5f, cz);
        hangObject(node, newObject(figuresAt(cx, y, cz, 0.25f, 0.9f, 0.25f)));
    }
    addCabinet(room, x0 + random_.uniform(0.8f, size - 0.8f), y, z0 + 0.5f);
    const float lx = x0 + random_.uniform(1.0f, size - 1.0f);
    fitObject(room, figuresAt(lx, y + 1.2f, z0 + size - 0.8f, 0.3f, 0.6f, 0.3f), true);
}

// A cabinet is one object whose drawers are limbs: a group node carries the
// body, and each drawer gets a node fitted to its limb.
void SceneBuilder::addCabinet(int32_t room, float x, float y, float z) {
    const int32_t object = newObject(figuresAt(x, y, z, 0.6f, 1.4f, 0.3f));
    const int32_t group = OT_CreateBox2(room, x - 0.6f, y, z - 0.3f, x + 0.6f, y + 1.4f, z + 0.3f);
    hangObject(group, object);
    for (int32_t limb = 0; limb < 3; ++limb) {
        const float drawerY = y + 0.15f + 0.42f * static_cast<float>(limb);
        fitLimb(group, object, limb, figuresAt(x, drawerY, z - 0.05f, 0.55f, 0.38f, 0.25f), false);
    }
}

bool SceneBuilder::onRoute(const GridCell& a, const GridCell& b) const {
    for (size_t i = 1; i < scene_.route.size(); ++i) {
        const GridCell& p = scene_.route[i - 1];
        const GridCell& q = scene_.route[i];
        if ((p == a && q == b) || (p == b && q == a)) return true;
    }
    return false;
}

void SceneBuilder::addDoor(const GridCell& a, const GridCell& b, bool routeDoor) {
    const float y = floorY(a.floor);
    int32_t opening;
    if (a.row == b.row) {  // a wall between columns: the door faces east-west
        const float x = cellX(std::max(a.col, b.col));
        const float z = cellZ(a.row) + scene_.roomSize / 2;
        opening = OT_CreateBox2(scene_.building, x - kWall, y, z - kDoorHalfWidth, x + kWall,
                                y + kDoorHeight, z + kDoorHalfWidth);
    } else {
        const float x = cellX(a.col) + scene_.roomSize / 2;
        const float z = cellZ(std::max(a.row, b.row));
        opening = OT_CreateBox2(scene_.building, x - kDoorHalfWidth, y, z - kWall,
                                x + kDoorHalfWidth, y + kDoorHeight, z + kWall);
    }
    const int32_t portal =
        OT_AddPortal(scene_.rooms[static_cast<size_t>(scene_.cellIndex(a))],
                     scene_.rooms[static_cast<size_t>(scene_.cellIndex(b))], opening);
    ++scene_.doors;
    if (!routeDoor && random_.chance(0.3f)) {
        OT_DisablePortal(portal);
        ++scene_.closedDoors;
    }
}

// A random spanning tree of the floor's rooms, grown from one corner: the
// pairs of rooms that must share a door for every room to be reachable.
std::set<std::pair<int, int>> SceneBuilder::spanningDoors(int floor) {
    std::set<int> joined = {scene_.cellIndex({0, 0, floor})};
    std::vector<GridCell> frontier = {{0, 0, floor}};
    std::set<std::pair<int, int>> doors;
    while (!frontier.empty()) {
        const size_t pick = static_cast<size_t>(random_.below(static_cast<int>(frontier.size())));
        const GridCell cell = frontier[pick];
        std::vector<GridCell> open;
        for (const GridCell& n :
             {GridCell{cell.col + 1, cell.row, floor}, GridCell{cell.col - 1, cell.row, floor},
              GridCell{cell.col, cell.row + 1, floor}, GridCell{cell.col, cell.row - 1, floor}}) {
            if (n.col >= 0 && n.col < scene_.cols && n.row >= 0 && n.row < scene_.rows &&
                !joined.count(scene_.cellIndex(n))) {
                open.push_back(n);
            }
        }
        if (open.empty()) {
            frontier.erase(frontier.begin() + static_cast<std::ptrdiff_t>(pick));
            continue;
        }
        const GridCell next =
            open[static_cast<size_t>(random_.below(static_cast<int>(open.size())))];
        joined.insert(scene_.cellIndex(next));
        frontier.push_back(next);
        doors.insert(doorKey(cell, next));
    }
    return doors;
}

// Each floor gets its spanning tree of doors, plus a share of extra doors;
// the route's doors always exist.
void SceneBuilder::connectRooms() {
    for (int f = 0; f < 2; ++f) {
        const std::set<std::pair<int, int>> needed = spanningDoors(f);
        for (int r = 0; r < scene_.rows; ++r) {
            for (int c = 0; c < scene_.cols; ++c) {
                const GridCell here{c, r, f};
                for (const GridCell& other : {GridCell{c + 1, r, f}, GridCell{c, r + 1, f}}) {
                    if (other.col >= scene_.cols || other.row >= scene_.rows) continue;
                    const bool route = onRoute(here, other);
                    if (route || needed.count(doorKey(here, other)) || random_.chance(0.3f)) {
                        addDoor(here, other, route);
                    }
                }
            }
        }
    }
}

// An opening in the ceiling of the lower stair room, joining it to the room above.
void SceneBuilder::addStairs() {
    const GridCell lower = scene_.stairs;
    const GridCell upper{lower.col, lower.row, 1};
    const float x = cellX(lower.col);
    const float z = cellZ(lower.row);
    const float y = floorY(1);
    const int32_t opening =
        OT_CreateBox2(scene_.building, x + 2.0f, y - 0.2f, z + 1.0f, x + 6.0f, y + 0.2f, z + 7.0f);
    OT_AddPortal(scene_.rooms[static_cast<size_t>(scene_.cellIndex(lower))],
                 scene_.rooms[static_cast<size_t>(scene_.cellIndex(upper))], opening);
}

// A window in every outer wall of every room but the entrance's front wall:
// a portal with no zone beyond, which leads to the top level.
void SceneBuilder::addWindows() {
    for (int f = 0; f < 2; ++f) {
        const float y = floorY(f) + 1.0f;
        for (int r = 0; r < scene_.rows; ++r) {
            for (int c = 0; c < scene_.cols; ++c) {
                const GridCell cell{c, r, f};
                const int32_t room = scene_.rooms[static_cast<size_t>(scene_.cellIndex(cell))];
                const float cx = cellX(c) + scene_.roomSize / 2;
                const float cz = cellZ(r) + scene_.roomSize / 2;
                std::vector<int32_t> openings;
                if (r == 0 && !(cell == scene_.entrance)) {
                    openings.push_back(
                        OT_CreateBox2(scene_.building, cx - 1, y, -kWall, cx + 1, y + 1.2f, kWall));
                }
                if (r == scene_.rows - 1) {
                    const float z = cellZ(scene_.rows);
                    openings.push_back(OT_CreateBox2(scene_.building, cx - 1, y, z - kWall, cx + 1,
                                                     y + 1.2f, z + kWall));
                }
                if (c == 0) {
                    openings.push_back(
                        OT_CreateBox2(scene_.building, -kWall, y, cz - 1, kWall, y + 1.2f, cz + 1));
                }
                if (c == scene_.cols - 1) {
                    const float x = cellX(scene_.cols);
                    openings.push_back(OT_CreateBox2(scene_.building, x - kWall, y, cz - 1,
                                                     x + kWall, y + 1.2f, cz + 1));
                }
                for (int32_t opening : openings) OT_AddPortal(room, 0, opening);
                scene_.windows += static_cast<int>(openings.size());
            }
        }
    }
}

// The yard is a zone of its own around the building. Its front door leads in;
// a portal whose opening is the yard itself opens it to the sky, so that from
// the yard every top-level node (trees, cars, the building's shell) is culled.
void SceneBuilder::addEntrance() {
    const float width = cellX(scene_.cols);
    const float depth = cellZ(scene_.rows);
    scene_.yard = OT_CreateBox1(0, -kYardMargin, -1.0f, -kYardMargin, width + kYardMargin, 20.0f,
                                depth + kYardMargin, kZone);
    const float x = cellX(scene_.entrance.col) + scene_.roomSize / 2;
    const int32_t door =
        OT_CreateBox2(scene_.building, x - 0.9f, 0.0f, -kWall, x + 0.9f, 2.4f, kWall);
    OT_AddPortal(scene_.rooms[static_cast<size_t>(scene_.cellIndex(scene_.entrance))], scene_.yard,
                 door);
    OT_AddPortal(scene_.yard, 0, scene_.yard);
}

// Trees, parked cars (a body with four wheel limbs) and lamps, scattered
// round the building and kept off its walls.
void SceneBuilder::addOutdoors() {
    const float width = cellX(scene_.cols);
    const float depth = cellZ(scene_.rows);
    const int count = 2 * (scene_.cols + scene_.rows) + 8;
    for (int placed = 0; placed < count;) {
        const float x = random_.uniform(-kYardMargin + 2, width + kYardMargin - 2);
        const float z = random_.uniform(-kYardMargin + 2, depth + kYardMargin - 2);
        if (x > -4 && x < width + 4 && z > -4 && z < depth + 4) continue;
        ++placed;
        const int kind = placed % 4;
        if (kind <= 1) {
            fitObject(0, figuresAt(x, 0.0f, z, 2.0f, 7.0f, 2.0f), true);  // a tree
        } else if (kind == 2) {
            addCar(x, z);
        } else {
            const int32_t lamp = OT_CreatePoint2(0, x, 3.0f, z);
            hangObject(lamp, newObject(figuresAt(x, 0.0f, z, 0.2f, 3.5f, 0.2f)));
        }
    }
}

void SceneBuilder::addCar(float x, float z) {
    const int32_t car = newObject(figuresAt(x, 0.0f, z, 2.2f, 1.5f, 1.0f));
    const int32_t body = OT_CreateBox2(0, x - 2.2f, 0.0f, z - 1.0f, x + 2.2f, 1.5f, z + 1.0f);
    hangObject(body, car);
    for (int32_t wheel = 0; wheel < 4; ++wheel) {
        const float wx = x + (wheel % 2 == 0 ? -1.5f : 1.5f);
        const float wz = z + (wheel < 2 ? -0.9f : 0.9f);
        fitLimb(body, car, wheel, figuresAt(wx, 0.0f, wz, 0.35f, 0.7f, 0.15f), true);
    }
}

void SceneBuilder::build(int rooms) {
    layOutGrid(rooms);
    planRoute();
    createRooms();
    connectRooms();
    addStairs();
    addWindows();
    addEntrance();
    addOutdoors();
}

}  // namespace

DemoBinding::DemoBinding(StandInHost& host) : api_(host.api()), tree_(cullingState()) {
    resetCullingState();
    ot_bind_host(&api_);
}

DemoBinding::~DemoBinding() {
    resetCullingState();
    ot_bind_host(nullptr);
}

std::string DemoScene::roomName(int32_t node) const {
    if (node == 0) return "none";
    if (node == building) return "building";
    if (node == yard) return "yard";
    for (size_t i = 0; i < rooms.size(); ++i) {
        if (rooms[i] != node) continue;
        const int index = static_cast<int>(i);
        const int col = index % cols;
        const int row = index / cols % rows;
        const int floor = index / (cols * rows);
        return std::string(floor == 0 ? "ground" : "upper") + " r" + std::to_string(row) + "c" +
               std::to_string(col);
    }
    std::string unnamed(1, '#');  // appended: "#" + ... trips a false -Wrestrict of GCC 12
    unnamed += std::to_string(node);
    return unnamed;
}

DemoScene buildDemoScene(StandInHost& host, const DemoOptions& options) {
    DemoScene scene;
    SceneBuilder(host, options, scene).build(options.rooms);
    return scene;
}

}  // namespace tarvo
