#include "scenes.h"

#include <cmath>
#include <random>

namespace tarvo::bench {

CameraSetup cameraLookingAlongZ(float ex, float ey, float ez, float halfAngleTangent) {
    const float zn = 1.0f, zf = 2000.0f;
    const float s = 1.0f / halfAngleTangent;
    const float q = zf / (zf - zn);
    return {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -ex, -ey, -ez, 1},
            {s, 0, 0, 0, 0, s, 0, 0, 0, 0, q, 1, 0, 0, -zn * q, 0},
            {ex, ey, ez}};
}

CameraSetup openFieldCamera() {
    return cameraLookingAlongZ(0, 0, 0, std::sqrt(3.0f));
}

BoxSet buildOpenField(SceneBuilder& scene, int count) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> angle(0.0f, 6.2831853f);
    std::uniform_real_distribution<float> distance(10.0f, 900.0f);
    BoxSet boxes;
    for (int i = 0; i < count; ++i) {
        const float a = angle(random), d = distance(random);
        const float x = d * std::sin(a), z = d * std::cos(a);
        const int32_t n = scene.box(0, x - 1, -1, z - 1, x + 1, 1, z + 1);
        scene.run("OT_AddObject", n, i + 1);
        boxes.ax.push_back(x - 1);
        boxes.ay.push_back(-1);
        boxes.az.push_back(z - 1);
        boxes.bx.push_back(x + 1);
        boxes.by.push_back(1);
        boxes.bz.push_back(z + 1);
    }
    return boxes;
}

namespace {
constexpr float kRoom = 10.0f;
}

CameraSetup buildingCamera(int side) {
    const float centre = (side / 2 + 0.5f) * kRoom;
    return cameraLookingAlongZ(centre, 1.5f, centre, 1.0f);
}

Building buildBuilding(SceneBuilder& scene, int side) {
    Building building;
    std::vector<int32_t>& rooms = building.rooms;
    rooms.resize(static_cast<size_t>(side * side));
    int32_t& object = building.nextObject;
    for (int gz = 0; gz < side; ++gz) {
        for (int gx = 0; gx < side; ++gx) {
            const float x0 = gx * kRoom, z0 = gz * kRoom;
            const int32_t room = scene.box(0, x0, 0, z0, x0 + kRoom, 4, z0 + kRoom, 2);
            rooms[static_cast<size_t>(gz * side + gx)] = room;
            for (int f = 0; f < 16; ++f) {
                const float fx = x0 + 1 + (f % 4) * 2.2f, fz = z0 + 1 + (f / 4) * 2.2f;
                const int32_t item = scene.box(room, fx, 0, fz, fx + 1, 1, fz + 1);
                scene.run("OT_AddObject", item, object++);
                building.items.push_back({item, fx + 0.5f, 0.5f, fz + 0.5f});
            }
        }
    }
    int doorCount = 0;
    for (int gz = 0; gz < side; ++gz) {
        for (int gx = 0; gx < side; ++gx) {
            const int32_t room = rooms[static_cast<size_t>(gz * side + gx)];
            const float x0 = gx * kRoom, z0 = gz * kRoom;
            if (gx + 1 < side) {
                const float x = x0 + kRoom;
                const int32_t door = scene.box(room, x - 0.2f, 0, z0 + 4, x + 0.2f, 3, z0 + 6);
                const int32_t p = scene.run("OT_AddPortal", room,
                                            rooms[static_cast<size_t>(gz * side + gx + 1)], door);
                if (++doorCount % 5 == 0) scene.run("OT_DisablePortal", p);
            }
            if (gz + 1 < side) {
                const float z = z0 + kRoom;
                const int32_t door = scene.box(room, x0 + 4, 0, z - 0.2f, x0 + 6, 3, z + 0.2f);
                const int32_t p = scene.run("OT_AddPortal", room,
                                            rooms[static_cast<size_t>((gz + 1) * side + gx)], door);
                if (++doorCount % 5 == 0) scene.run("OT_DisablePortal", p);
            }
            if (gx == 0 || gz == 0 || gx == side - 1 || gz == side - 1) {
                const int32_t window = scene.box(room, x0 + 3, 1, z0 - 0.2f, x0 + 7, 3, z0 + 0.2f);
                scene.run("OT_AddPortal", room, 0, window);
            }
        }
    }
    // The outdoor area: a row of trees along the far side.
    for (int t = 0; t < side * 4; ++t) {
        const float x = t * kRoom / 4, z = side * kRoom + 20;
        const int32_t tree = scene.box(0, x, 0, z, x + 1, 6, z + 1);
        scene.run("OT_AddObject", tree, object++);
    }
    return building;
}

CameraSetup deepSceneCamera() {
    return cameraLookingAlongZ(0, 0, -10, 1.0f);
}

// Each level splits its parent's box into eight octants, breadth first.
void buildDeepScene(SceneBuilder& scene, int count) {
    struct Pending {
        int32_t parent;
        float x0, y0, z0, size;
    };
    std::vector<Pending> queue{{0, -1000, -1000, 0, 2000}};
    int made = 0;
    for (size_t i = 0; i < queue.size() && made < count; ++i) {
        const Pending p = queue[i];
        const int32_t n =
            scene.box(p.parent, p.x0, p.y0, p.z0, p.x0 + p.size, p.y0 + p.size, p.z0 + p.size);
        scene.run("OT_AddObject", n, made + 1);
        ++made;
        const float h = p.size * 0.5f;
        for (int o = 0; o < 8 && queue.size() < static_cast<size_t>(count); ++o) {
            queue.push_back(
                {n, p.x0 + (o & 1) * h, p.y0 + ((o >> 1) & 1) * h, p.z0 + ((o >> 2) & 1) * h, h});
        }
    }
}

}  // namespace tarvo::bench

namespace tarvo::bench {

void buildScene(SceneBuilder& builder, Scene scene) {
    switch (scene) {
        case Scene::kOpenField:
            buildOpenField(builder, 100'000);
            return;
        case Scene::kBuilding:
            buildBuilding(builder, 32);
            return;
        case Scene::kDeep:
            buildDeepScene(builder, 1'000'000);
            return;
    }
}

CameraSetup cameraFor(Scene scene) {
    switch (scene) {
        case Scene::kOpenField:
            return openFieldCamera();
        case Scene::kBuilding:
            return buildingCamera(32);
        case Scene::kDeep:
            break;
    }
    return deepSceneCamera();
}

}  // namespace tarvo::bench
