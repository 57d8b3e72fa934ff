// Benchmark scenes, built through the script commands so that any
// implementation of them (the core, or a plain reference) can be measured on
// exactly the same input.
#pragma once

#include <bit>
#include <cstdint>
#include <functional>
#include <span>
#include <string_view>
#include <vector>

namespace tarvo::bench {

// Runs one command by its export name with 32-bit argument slots.
using CommandCall = std::function<int32_t(std::string_view exportName, std::span<const uint32_t>)>;

struct CameraSetup {
    float view[16];
    float projection[16];
    float position[3];
};

class SceneBuilder {
public:
    explicit SceneBuilder(CommandCall call) : call_(std::move(call)) {}

    template <typename... Args>
    int32_t run(std::string_view exportName, Args... args) {
        const uint32_t slots[] = {toSlot(args)..., 0};
        return call_(exportName, std::span<const uint32_t>(slots, sizeof...(Args)));
    }

    int32_t box(int32_t parent, float xa, float ya, float za, float xb, float yb, float zb,
                int32_t role = 1) {
        ++boxes_;
        return run("OT_CreateBox1", parent, xa, ya, za, xb, yb, zb, role);
    }
    int boxCount() const { return boxes_; }

private:
    static uint32_t toSlot(float v) { return std::bit_cast<uint32_t>(v); }
    static uint32_t toSlot(int32_t v) { return static_cast<uint32_t>(v); }

    CommandCall call_;
    int boxes_ = 0;
};

// A camera at eye looking along +z with the given horizontal and vertical
// half-angle tangent, near 1 and far 2000.
CameraSetup cameraLookingAlongZ(float ex, float ey, float ez, float halfAngleTangent);

// S1: top-level Normal boxes with one attachment each, about a third in view.
// Returns the corners of every box, for the floor loop.
struct BoxSet {
    std::vector<float> ax, ay, az, bx, by, bz;
};
BoxSet buildOpenField(SceneBuilder& scene, int count);
CameraSetup openFieldCamera();

// S2: a grid of rooms (zones) with furniture, doors to the neighbours (some
// closed) and windows to the outside; the camera stands in one room.
struct Building {
    std::vector<int32_t> rooms;  // row by row
    struct Item {
        int32_t node;
        float x, y, z;  // centre
    };
    std::vector<Item> items;  // 16 per room, room by room
    int32_t nextObject = 1;   // the first object number not yet used
};
Building buildBuilding(SceneBuilder& scene, int side);
CameraSetup buildingCamera(int side);

// S3: an 8-ary tree of nested boxes, about `count` nodes, no zones.
void buildDeepScene(SceneBuilder& scene, int count);
CameraSetup deepSceneCamera();

enum class Scene { kOpenField, kBuilding, kDeep };

// Builds one of the three pass scenes at its benchmark size; its camera.
void buildScene(SceneBuilder& builder, Scene scene);
CameraSetup cameraFor(Scene scene);

// Copies a camera set-up into any host's camera record.
template <typename Camera>
void copyCamera(const CameraSetup& setup, Camera& camera) {
    for (int i = 0; i < 16; ++i) {
        camera.view[i] = setup.view[i];
        camera.projection[i] = setup.projection[i];
    }
    for (int i = 0; i < 3; ++i) camera.position[i] = setup.position[i];
}

}  // namespace tarvo::bench
