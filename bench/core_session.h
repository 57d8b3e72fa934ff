// The core behind the exports, bound to a stand-in host that only counts,
// for the benchmarks of the core itself.
#pragma once

#include "commands/command_table.h"
#include "commands/invoke.h"
#include "commands/state.h"
#include "host/standin_host.h"
#include "scenes.h"
#include "tarvo/culling.h"

namespace tarvo::bench {

struct CoreSession {
    StandInHost host;
    OtHostApi api{};

    CoreSession() {
        resetCullingState();
        host.setLogging(false);
        api = host.api();
        ot_bind_host(&api);
    }
    ~CoreSession() {
        resetCullingState();
        ot_bind_host(nullptr);
    }
    SceneBuilder builder() {
        return SceneBuilder([](std::string_view name, std::span<const uint32_t> slots) {
            return invokeCommand(findCommandByExport(name)->id, slots);
        });
    }
    void useCamera(const CameraSetup& setup) {
        copyCamera(setup, host.camera(0));
        OT_UpdateFrustum1();
    }
    void cullAll() { OT_CullAll(); }
};

}  // namespace tarvo::bench
