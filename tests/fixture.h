// A fresh plug-in bound to a fresh stand-in host for every test.
#pragma once

#include <gtest/gtest.h>

#include <bit>
#include <string>
#include <vector>

#include "commands/state.h"
#include "host/standin_host.h"
#include "tarvo/culling.h"

namespace tarvo {

class PluginTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetCullingState();
        api_ = host.api();
        ot_bind_host(&api_);
    }
    void TearDown() override {
        resetCullingState();
        ot_bind_host(nullptr);
    }

    // The switches made since the last call, formatted as the host log prints them.
    std::vector<std::string> calls() {
        std::vector<std::string> out;
        for (const HostCall& c : host.takeCalls()) out.push_back(formatHostCall(c));
        return out;
    }

    static float asFloat(int32_t bits) { return std::bit_cast<float>(bits); }

    // A camera at eye looking along +z with a symmetric 90-degree frustum.
    void lookAlongZ(int32_t number, float ex, float ey, float ez, float zn = 1.0f,
                    float zf = 100.0f) {
        StandInCamera& c = host.camera(number);
        const float view[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -ex, -ey, -ez, 1};
        const float q = zf / (zf - zn);
        const float projection[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, q, 1, 0, 0, -zn * q, 0};
        for (int i = 0; i < 16; ++i) {
            c.view[i] = view[i];
            c.projection[i] = projection[i];
        }
        c.position[0] = ex;
        c.position[1] = ey;
        c.position[2] = ez;
    }

    StandInHost host;

private:
    OtHostApi api_{};
};

using Calls = std::vector<std::string>;

}  // namespace tarvo
